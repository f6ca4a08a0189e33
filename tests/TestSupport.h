#pragma once

// Shared set-up for every test program: German number texts, no access to the
// user's real files, and (for widget tests) the program's own application
// object so the general error handler is in place.

#include <QLocale>
#include <QStandardPaths>
#include <QtTest/QtTest>

namespace TestSupport {

inline void prepareProcess()
{
    QStandardPaths::setTestModeEnabled(true);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
}

} // namespace TestSupport

#if defined(QT_WIDGETS_LIB) && __has_include("platform/Application.h")
#include "platform/Application.h"

#define TIRASO_TEST_MAIN(TestObject)                                  \
    int main(int argc, char* argv[])                                  \
    {                                                                 \
        TestSupport::prepareProcess();                                \
        TApplication app(argc, argv);                                 \
        app.setAttribute(Qt::AA_Use96Dpi, true);                      \
        TestObject tc;                                                \
        QTEST_SET_MAIN_SOURCE_PATH                                    \
        return QTest::qExec(&tc, argc, argv);                         \
    }
#else
#define TIRASO_TEST_MAIN(TestObject)                                  \
    int main(int argc, char* argv[])                                  \
    {                                                                 \
        TestSupport::prepareProcess();                                \
        QCoreApplication app(argc, argv);                             \
        TestObject tc;                                                \
        QTEST_SET_MAIN_SOURCE_PATH                                    \
        return QTest::qExec(&tc, argc, argv);                         \
    }
#endif

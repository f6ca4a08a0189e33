// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

// One recomputation of the main window, offscreen, with the synchronous
// repaint of the background it includes; and, as its peer, the model's part
// of it alone (the arithmetic and the seven texts).

#include "controls/Accessibility.h"
#include "controls/RUVButton.h"
#include "controls/SpezialSpin.h"
#include "main/tirasomain.h"
#include "model/Interpolation.h"
#include "platform/Application.h"

#include <QStandardPaths>
#include <QtTest/QtTest>

class bench_Aktualisieren : public QObject
{
    Q_OBJECT

private slots:
    // The program's start-up, so that a screen reader's bridge, when one
    // runs, meets the same interfaces.
    void initTestCase()
    {
        TRUVButton::ModuleStartup();
        TSpezialSpin::ModuleStartup();
        ControlsAccessibilityStartup();
        TForm1::ModuleStartup();
    }
    void cleanupTestCase()
    {
        TForm1::ModuleShutdown();
        ControlsAccessibilityShutdown();
        TSpezialSpin::ModuleShutdown();
        TRUVButton::ModuleShutdown();
    }

    void aktualisieren_data()
    {
        QTest::addColumn<bool>("alternate");
        QTest::newRow("same inputs") << false;
        QTest::newRow("layout changes every time") << true;
    }

    void aktualisieren()
    {
        QFETCH(bool, alternate);
        TForm1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        bool falling = false;
        QBENCHMARK {
            if (alternate) {
                falling = !falling;
                form.spin_y2->setValueReal(falling ? -1 : 1);
            }
            form.Aktualisieren();
        }
    }

    void recompute_data() { aktualisieren_data(); }

    void recompute()
    {
        QFETCH(bool, alternate);
        Interpolation::Inputs in = Interpolation::StartInputs;
        qsizetype length = 0; // keeps the texts from being optimised away
        QBENCHMARK {
            if (alternate)
                in.y2 = in.y2 > 0 ? -1 : 1;
            length += Interpolation::Recompute(in, 3, true).captions.Neig.size();
        }
        QVERIFY(length > 0);
    }
};

int main(int argc, char* argv[])
{
    QStandardPaths::setTestModeEnabled(true);
    TApplication application(argc, argv);
    bench_Aktualisieren benchmark;
    return QTest::qExec(&benchmark, argc, argv);
}

#include "bench_Aktualisieren.moc"

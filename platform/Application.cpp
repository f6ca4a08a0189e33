// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/Application.h"

#include "platform/Dialogs.h"

#include <QFile>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QPointer>
#include <QProxyStyle>
#include <QTranslator>
#include <QWidget>

namespace {

QString applicationTitle = QStringLiteral("Tiraso");
int hintPause = 500;
bool marlettRegistered = false;
QPointer<QWidget> mainWindow;

// The tool-tip delay is a style hint in Qt, so it is set through a proxy
// around whatever style the desktop chose.
class HintDelayStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == QStyle::SH_ToolTip_WakeUpDelay)
            return hintPause;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

TApplication::TApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
    registerFonts();
    loadTranslations();
}

TApplication::~TApplication() = default;

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        HandleException(error);
    }
    return false;
}

QString TApplication::Title()
{
    return applicationTitle;
}

void TApplication::SetTitle(const QString& title)
{
    // Kept to ourselves: Qt's display name would be appended to every
    // window caption on some desktops.
    applicationTitle = title;
    SetDialogCaption(title);
}

void TApplication::SetHintPause(int milliseconds)
{
    hintPause = milliseconds;
    if (!dynamic_cast<HintDelayStyle*>(QApplication::style()))
        QApplication::setStyle(new HintDelayStyle);
}

int TApplication::HintPause()
{
    return hintPause;
}

void TApplication::HandleException(const std::exception& error)
{
    ShowErrorMessage(QString::fromUtf8(error.what()));
}

void TApplication::SetMainWindow(QWidget* window)
{
    mainWindow = window;
    SetDialogOwner(window);
}

QWidget* TApplication::MainWindow()
{
    return mainWindow;
}

bool TApplication::HasMarlett()
{
    return marlettRegistered;
}

void TApplication::registerFonts()
{
    // Metric-compatible faces from the Debian package fonts-wine. Without them
    // the face falls back to the default sans font and the spin editor draws
    // its arrows as triangles.
    static const char* const folder = "/usr/share/wine/fonts/";
    for (const char* file : {"tahoma.ttf", "tahomabd.ttf"}) {
        const QString path = QString::fromLatin1(folder) + QLatin1String(file);
        if (QFile::exists(path))
            QFontDatabase::addApplicationFont(path);
    }
    const QString marlett = QString::fromLatin1(folder) + QLatin1String("marlett.ttf");
    marlettRegistered = QFile::exists(marlett) && QFontDatabase::addApplicationFont(marlett) >= 0;
}

void TApplication::loadTranslations()
{
    // The program speaks German whatever the desktop's language, and so do
    // Qt's standard dialogs (file dialog, button texts).
    auto* translator = new QTranslator(this);
    if (translator->load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(translator);
    else
        delete translator;
}

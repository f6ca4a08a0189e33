// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QApplication>

#include <exception>
#include <utility>

// The application object: the general error handler, the title shown in
// message boxes, the tool-tip delay, German standard dialogs and the fonts
// the controls are drawn with.
class TApplication : public QApplication
{
    Q_OBJECT
public:
    TApplication(int& argc, char** argv);
    ~TApplication() override;

    // Last line of defence: an exception that reaches the event loop is shown
    // in the error box and the program goes on. Code that can throw catches at
    // its own boundary through RunGuarded; this only catches what slipped by.
    bool notify(QObject* receiver, QEvent* event) override;

    static QString Title();
    static void SetTitle(const QString& title);

    // Time from resting the pointer on a control to its tool-tip.
    static void SetHintPause(int milliseconds);
    static int HintPause();

    // Shows the exception's message (UTF-8) in the general error box.
    static void HandleException(const std::exception& error);

    // The window that dialogs without a parent of their own belong to, so
    // that the window manager keeps them above it and they open centred on
    // it. Kept only while the window lives.
    static void SetMainWindow(QWidget* window);
    static QWidget* MainWindow();

    // True when the symbol font with the arrow glyphs could be registered.
    static bool HasMarlett();

private:
    static void registerFonts();
    void loadTranslations();
};

// Runs an action whose exceptions belong to the general error handler
// rather than to the caller, and keeps them from crossing Qt's own frames.
template<typename Action>
void RunGuarded(Action&& action)
{
    try {
        std::forward<Action>(action)();
    } catch (const std::exception& error) {
        TApplication::HandleException(error);
    }
}

// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QString>

class QWidget;

// The standard dialogs of the program, as real Qt dialogs so that tests can
// find them with QApplication::activeModalWidget() and press their buttons.
// Each is owned by a window, which keeps it above that window and centred on
// it: the given parent, else the modal dialog open at the time, else the
// owner set below. The main window stays on top of everything, and a dialog
// that is not its own would open behind it.

// What the dialogs take from the program, passed on by the application
// object (TApplication::SetTitle, TApplication::SetMainWindow): the caption
// of the message boxes, "Tiraso" until set, and the window that owns a
// dialog without a parent of its own, kept only while that window lives.
void SetDialogCaption(const QString& caption);
void SetDialogOwner(QWidget* window);

// Prompt with a caption, a prompt text, one line edit and the buttons "OK"
// and "Abbrechen". Returns true and the edited text when confirmed; value is
// untouched on cancel.
bool InputQuery(const QString& caption, const QString& prompt, QString& value, QWidget* parent = nullptr);

// Message box with the application title as caption and one "OK" button.
// Lines may be separated by CR LF, as the program's texts are written.
void ShowMessage(const QString& text, QWidget* parent = nullptr);

// Question-mark box with the given caption and a single "OK" button.
void ShowConfirmation(const QString& caption, const QString& text, QWidget* parent = nullptr);

// The general error box: application title, stop symbol, "OK".
void ShowErrorMessage(const QString& text, QWidget* parent = nullptr);

// Question box with the application title and the buttons "Ja" and "Nein";
// true only when "Ja" was pressed. "Nein" is the default, so that Enter,
// Escape and closing the box all say no.
bool AskYesNo(const QString& text, QWidget* parent = nullptr);

// The open-file dialog of the window description.
class TOpenDialog : public QObject
{
    Q_OBJECT
public:
    enum Option {
        ofHideReadOnly = 0x1,
        ofNoChangeDir = 0x2,
        ofEnableSizing = 0x4,
        // Lists files whose names begin with "." as well.
        ofForceShowHidden = 0x8,
    };
    Q_DECLARE_FLAGS(TOpenOptions, Option)

    explicit TOpenDialog(QObject* owner = nullptr);

    QString Title;
    // "Description|pattern" pairs separated by "|", as the description stores them.
    QString Filter;
    QString DefaultExt;
    QString InitialDir;
    QString FileName;
    TOpenOptions Options = TOpenOptions(ofHideReadOnly) | ofEnableSizing;

    // Shows the dialog modally; true with FileName set when a file was chosen.
    // The process's current directory is never changed.
    bool Execute(QWidget* parent = nullptr);

    // The filter in Qt's form ("Description (*.ext)"), one entry per pair.
    QStringList NameFilters() const;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TOpenDialog::TOpenOptions)

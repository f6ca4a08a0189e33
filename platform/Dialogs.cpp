// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/Dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QWindow>

namespace {

QString boxCaption = QStringLiteral("Tiraso");
QPointer<QWidget> fallbackOwner;

QWidget* dialogParent(QWidget* parent)
{
    if (parent)
        return parent;
    // A dialog without a parent is a window of its own, transient on X11 only
    // for Qt's hidden group leader: the window manager stacks it below the
    // main window, which stays on top, and centres it on the screen. It
    // belongs to the dialog it interrupts, else to the main window.
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    if (fallbackOwner && fallbackOwner->isVisible())
        return fallbackOwner;
    return QApplication::activeWindow();
}

// Puts a dialog that is about to appear in the middle of its owner's window,
// title bars included, and on the owner's screen. Qt centres a dialog on its
// parent by itself, but on X11 it puts the dialog's client area where it
// meant the frame to go, a title bar's height too high.
void centreOnOwner(QWidget* dialog)
{
    QWidget* owner = dialog->parentWidget() ? dialog->parentWidget()->window() : nullptr;
    if (!owner || !owner->isVisible())
        return;
    const QRect ownerFrame = owner->frameGeometry();
    // The dialog is not framed yet: its frame is taken to be the owner's.
    const QSize outer = dialog->size() + (ownerFrame.size() - owner->size());
    QPoint topLeft(ownerFrame.x() + (ownerFrame.width() - outer.width()) / 2,
                   ownerFrame.y() + (ownerFrame.height() - outer.height()) / 2);
    if (const QScreen* screen = owner->screen()) {
        const QRect available = screen->availableGeometry();
        topLeft.setX(qMax(available.left(), qMin(topLeft.x(), available.right() + 1 - outer.width())));
        topLeft.setY(qMax(available.top(), qMin(topLeft.y(), available.bottom() + 1 - outer.height())));
    }
    // As for the main window: the widget knows its place at once, and a
    // window manager is asked to put the frame there. The native window is
    // given the dialog's size first: showing it would otherwise set its
    // geometry once more and place the client area there after all.
    dialog->move(topLeft);
    if (QWindow* window = dialog->windowHandle()) {
        window->setGeometry(QRect(topLeft, dialog->size()));
        window->setFramePosition(topLeft);
    }
}

// A standard dialog that opens centred on its owner.
template<class Dialog>
class OwnedDialog : public Dialog
{
public:
    using Dialog::Dialog;

protected:
    void showEvent(QShowEvent* event) override
    {
        // After the dialog's own handler, which gives it its final size; the
        // window is mapped only after this returns.
        Dialog::showEvent(event);
        if (!event->spontaneous())
            centreOnOwner(this);
    }
};

// QLabel shows a bare CR as a glyph of its own; the program's texts use CR LF.
QString displayText(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text;
}

void setUpBox(QMessageBox& box, QMessageBox::Icon icon, const QString& caption, const QString& text)
{
    box.setIcon(icon);
    box.setWindowTitle(caption);
    box.setTextFormat(Qt::PlainText);
    box.setText(displayText(text));
}

void showBox(QMessageBox::Icon icon, const QString& caption, const QString& text, QWidget* parent)
{
    OwnedDialog<QMessageBox> box(dialogParent(parent));
    setUpBox(box, icon, caption, text);
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
}

} // namespace

void SetDialogCaption(const QString& caption)
{
    boxCaption = caption;
}

void SetDialogOwner(QWidget* window)
{
    fallbackOwner = window;
}

bool InputQuery(const QString& caption, const QString& prompt, QString& value, QWidget* parent)
{
    OwnedDialog<QInputDialog> dialog(dialogParent(parent));
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(caption);
    dialog.setLabelText(prompt);
    dialog.setTextValue(value);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Abbrechen"));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    value = dialog.textValue();
    return true;
}

void ShowMessage(const QString& text, QWidget* parent)
{
    showBox(QMessageBox::NoIcon, boxCaption, text, parent);
}

void ShowConfirmation(const QString& caption, const QString& text, QWidget* parent)
{
    showBox(QMessageBox::Question, caption, text, parent);
}

void ShowErrorMessage(const QString& text, QWidget* parent)
{
    showBox(QMessageBox::Critical, boxCaption, text, parent);
}

bool AskYesNo(const QString& text, QWidget* parent)
{
    OwnedDialog<QMessageBox> box(dialogParent(parent));
    setUpBox(box, QMessageBox::Question, boxCaption, text);
    QPushButton* yes = box.addButton(QStringLiteral("Ja"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("Nein"), QMessageBox::NoRole);
    // Enter, Escape and closing the box all keep what is there.
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

TOpenDialog::TOpenDialog(QObject* owner)
    : QObject(owner)
{
}

QStringList TOpenDialog::NameFilters() const
{
    QStringList result;
    const QStringList parts = Filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts.at(i);
        const QString& patterns = parts.at(i + 1);
        // Qt reads the patterns from the parentheses of the entry; the
        // description usually carries them already.
        const QString inParentheses
            = QLatin1Char('(') + QString(patterns).replace(QLatin1Char(';'), QLatin1Char(' ')) + QLatin1Char(')');
        result << (description.contains(inParentheses) ? description : description + QLatin1Char(' ') + inParentheses);
    }
    return result;
}

bool TOpenDialog::Execute(QWidget* parent)
{
    OwnedDialog<QFileDialog> dialog(dialogParent(parent), Title, InitialDir);
    // Qt's own dialog: the same on every desktop, German through the loaded
    // translations, and reachable from tests.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(NameFilters());
    dialog.setDefaultSuffix(DefaultExt);
    dialog.setSizeGripEnabled(Options.testFlag(ofEnableSizing));
    if (Options.testFlag(ofForceShowHidden))
        dialog.setFilter(dialog.filter() | QDir::Hidden);
    if (!FileName.isEmpty())
        dialog.selectFile(FileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    FileName = dialog.selectedFiles().constFirst();
    return true;
}

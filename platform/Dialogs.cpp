#include "platform/Dialogs.h"

#include "platform/Application.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

QWidget* dialogParent(QWidget* parent)
{
    return parent ? parent : QApplication::activeWindow();
}

// QLabel shows a bare CR as a glyph of its own; the program's texts use CR LF.
QString displayText(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text;
}

void showBox(QMessageBox::Icon icon, const QString& caption, const QString& text, QWidget* parent)
{
    QMessageBox box(dialogParent(parent));
    box.setIcon(icon);
    box.setWindowTitle(caption);
    box.setTextFormat(Qt::PlainText);
    box.setText(displayText(text));
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
}

} // namespace

bool InputQuery(const QString& caption, const QString& prompt, QString& value, QWidget* parent)
{
    QInputDialog dialog(dialogParent(parent));
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
    showBox(QMessageBox::NoIcon, TApplication::Title(), text, parent);
}

void ShowConfirmation(const QString& caption, const QString& text, QWidget* parent)
{
    showBox(QMessageBox::Question, caption, text, parent);
}

void ShowErrorMessage(const QString& text, QWidget* parent)
{
    showBox(QMessageBox::Critical, TApplication::Title(), text, parent);
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
        const QString inParentheses = QLatin1Char('(') + QString(patterns).replace(QLatin1Char(';'), QLatin1Char(' ')) + QLatin1Char(')');
        result << (description.contains(inParentheses) ? description : description + QLatin1Char(' ') + inParentheses);
    }
    return result;
}

bool TOpenDialog::Execute(QWidget* parent)
{
    QFileDialog dialog(dialogParent(parent), Title, InitialDir);
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

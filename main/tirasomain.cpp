// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "main/tirasomain.h"

#include "ReleaseInfo.h"
#include "calc/FloatErrors.h"
#include "calc/NumberFormat.h"
#include "calc/RUVTaRe.h"
#include "calc/TypedNumber.h"
#include "platform/Application.h"
#include "platform/Canvas.h"
#include "platform/Dialogs.h"
#include "platform/Font.h"
#include "platform/Shell.h"
#include "storage/LastValuesFile.h"
#include "storage/ValueSetFile.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QMoveEvent>
#include <QPainter>
#include <QScopedValueRollback>

#include <optional>
#include <stdexcept>
#include <utility>

namespace {

const QString InvalidEntryMessage = QStringLiteral("Bitte eine gültige Zahl oder Rechenformel eingeben!");
const QString ExtrapolationMessage = QStringLiteral("Eine extrapolation ist nicht vorgesehen!");

// What a text typed into a result field gave.
struct Evaluation {
    enum Kind : quint8 {
        Value,   // `value` holds it
        Invalid, // not a number or formula: the user is told
        Failed,  // an arithmetic fault of the formula: dropped without a word
    };
    Kind kind = Failed;
    long double value = 0;
};

// `prefilled`: what the prompt showed; confirmed unchanged, its "." group thousands.
Evaluation evaluateEntry(TRUVTaRe& calculator, const QString& text, const QString& prefilled)
{
    TRechenErgebnis result{};
    try {
        result = TypedNumber::Read(calculator, text, TypedNumber::Rule::Prompt, prefilled);
    } catch (const ECalcError&) {
        // The calculator reports an overflow or "2)+(3" by throwing; for an
        // entry that is a failed step like any other, not a message.
        return {Evaluation::Failed, 0};
    }
    if (result.Fehler != 0)
        return {Evaluation::Invalid, 0};
    return {Evaluation::Value, result.Wert};
}

std::runtime_error fileError(const QString& message, const QString& path)
{
    return std::runtime_error(message.arg(QDir::toNativeSeparators(path)).toStdString());
}

// The storage folder's path with a trailing separator, whether or not it
// exists or can be made.
QString storageFolderPath()
{
    QString path = LocalAppDataFolder();
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path + QStringLiteral("tiraso/");
}

} // namespace

TPaintBox::TPaintBox(QWidget* parent)
    : QWidget(parent)
{
}

void TPaintBox::paintEvent(QPaintEvent*)
{
    if (!OnPaint)
        return;
    QPainter painter(this);
    OnPaint(painter);
}

void TPaintBox::contextMenuEvent(QContextMenuEvent* event)
{
    if (PopupMenu)
        PopupMenu->popup(event->globalPos());
}

TForm1::TForm1(const QStringList& parameters, QWidget* parent)
    : QWidget(parent,
              Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                  | Qt::WindowCloseButtonHint)
    , m_parameters(parameters)
{
    setAttribute(Qt::WA_QuitOnClose, true);
    // Error boxes that reach the general handler with no window of their own
    // open above this one.
    TApplication::SetMainWindow(this);
    m_clock.start();
    CreateFromDescription();
    DescribeForKeyboardAndAccess();
    FormCreate(this);
}

TForm1::~TForm1() = default;

void TForm1::FormCreate(QObject*)
{
    TApplication::SetHintPause(50);
}

void TForm1::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Restoring a minimised window is a spontaneous show; only showing the
    // window from the program runs the start-up.
    if (!event->spontaneous())
        FormShow(this);
}

void TForm1::closeEvent(QCloseEvent* event)
{
    FormClose(this);
    QWidget::closeEvent(event);
}

void TForm1::FormShow(QObject*)
{
    Layout = lsRising;
    Movables[0] = {spin_y1, {QPoint(45, 11), QPoint(45, 92), QPoint(45, 49)}, true};
    Movables[1] = {spin_y2, {QPoint(320, 92), QPoint(320, 11), QPoint(320, 49)}, true};
    Movables[2] = {lbl_xH, {QPoint(125, 111), QPoint(252, 111), QPoint(252, 111)}, true};
    Movables[3] = {lbl_Hges, {QPoint(8, 90), QPoint(384, 90), QPoint(384, 90)}, true};
    Decimals = Interpolation::StartDecimals;
    WriteInputs(ReadInputs(), Interpolation::StartInputs);
    m_placement.Place(m_parameters, DesignPosition);
    LoadLastValues();
    Aktualisieren(this);
    // What the window starts with is no change to undo.
    m_history.Clear();
    UpdateUndoCommands();
}

void TForm1::FormClose(QObject*)
{
    // Whatever goes wrong while saving, the window still closes.
    try {
        CommitTypedInput();
        SaveLastValues();
    } catch (...) {
    }
}

int TForm1::TextToIntDef(const QString& text, int fallback)
{
    return NumberFormat::TextToIntDef(text, fallback);
}

int TForm1::ParameterInteger(const QString& text)
{
    return Placement::ParameterInteger(text);
}

std::optional<QPoint> TForm1::PlacementFromParameter(const QString& parameter)
{
    return Placement::FromParameter(parameter);
}

QPoint TForm1::CentredPosition(const QSize& monitor, const QSize& outer)
{
    return Placement::CentredPosition(monitor, outer);
}

bool TForm1::IsFinishedFrame(const QRect& frame, const QRect& window)
{
    return Placement::IsFinishedFrame(frame, window);
}

void TForm1::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    m_placement.Moved();
}

bool TForm1::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        m_placement.Activated();
    return QWidget::event(event);
}

void TForm1::PaintBox1Paint(QPainter& painter)
{
    const TRUVBMPMerker* holder = Layout == lsFalling ? BMP_L : Layout == lsRising ? BMP_R : BMP_E;
    if (holder) {
        // Through the canvas, which draws the picture's drawing on a dense screen.
        TCanvas canvas(painter);
        canvas.Draw(0, 0, *holder->Bitmap());
    }
}

void TForm1::spin_y1DelayedChange(QObject* Sender)
{
    // The notches of one turn of the wheel make one step; every other change
    // of an editor (a commit, a key, a whole hold) is one by itself.
    const auto* spin = qobject_cast<TSpezialSpin*>(Sender);
    m_gesture = spin && spin->WheelStepping() ? quintptr(spin) : 0;
    if (m_committingInput) {
        m_recomputeAfterCommit = true;
        return;
    }
    Aktualisieren(Sender);
}

void TForm1::CommitTypedInput()
{
    // A commit recomputes, and the recomputation reads every editor, which
    // drops what is still typed into the others: all editors are committed
    // first, then the window is recomputed once.
    {
        const QScopedValueRollback committing(m_committingInput, true);
        for (const InputEditor& editor : m_inputEditors)
            editor.spin->CommitPendingText();
    }
    if (m_committingInput)
        return;
    // A formula that raised keeps the value typed before it, as a rejected
    // one does, and reports nothing; the command's read of the editors then
    // shows that value, so the results must follow it too.
    Interpolation::Inputs held;
    for (const InputEditor& editor : m_inputEditors)
        held.*editor.input = editor.spin->CurrentValue();
    const bool stale = m_shown && !Interpolation::SameInputs(held, m_shown->inputs);
    if (std::exchange(m_recomputeAfterCommit, false) || stale)
        Aktualisieren(this);
}

void TForm1::lbl_infoClick(QObject*)
{
    PM_1->popup(MenuPosition(lbl_info));
}

void TForm1::Aktualisieren(QObject*)
{
    // Reading the editors drops text typed into them and not yet committed.
    const Interpolation::Inputs inputs = ReadInputs();
    const Interpolation::Recomputation recomputed = Interpolation::Recompute(inputs, Decimals, cb_PRZT->Checked());
    const Interpolation::WindowState state = ShownState(inputs);
    if (m_shown && !m_restoring)
        m_history.Record(*m_shown, state, m_gesture, m_clock.elapsed());
    m_gesture = 0;
    m_shown = state;
    UpdateUndoCommands();
    Layout = recomputed.results.Layout;
    // The background of the new layout is drawn before anything moves.
    PaintBox1->repaint();

    Movables[2].Visible = Layout != lsLevel;
    Movables[3].Visible = Layout != lsLevel;

    const auto applyTop = [this](int index) {
        QWidget* control = Movables[index].Control;
        control->move(control->x(), Movables[index].Positions[Layout].y());
    };
    const auto applyLeft = [this](int index) {
        QWidget* control = Movables[index].Control;
        control->move(Movables[index].Positions[Layout].x(), control->y());
    };
    switch (Layout) {
    case lsFalling:
    case lsRising: {
        applyTop(0);
        applyTop(1);
        applyLeft(2);
        applyLeft(3);
        const Qt::Alignment alignment = (Layout == lsFalling ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop;
        lbl_xH->setAlignment(alignment);
        lbl_Hges->setAlignment(alignment);
        break;
    }
    case lsLevel:
        applyTop(0);
        applyTop(1);
        break;
    }
    for (const TMovableControl& movable : Movables)
        movable.Control->setVisible(movable.Visible);

    const Interpolation::Captions& shown = recomputed.captions;
    lbl_LLi->setCaption(shown.LLi);
    lbl_LRe->setCaption(shown.LRe);
    lbl_LGes->setCaption(shown.LGes);
    lbl_xH->setText(shown.xH);
    lbl_Hges->setText(shown.Hges);
    lbl_YErg->setCaption(shown.YErg);
    lbl_Neig->setCaption(shown.Neig);
}

Interpolation::WindowState TForm1::ShownState(const Interpolation::Inputs& inputs) const
{
    return {inputs, Decimals, spin_x1->NachkommaStellen(), cb_PRZT->Checked()};
}

void TForm1::RestoreState(const Interpolation::WindowState& state)
{
    const QScopedValueRollback restoring(m_restoring, true);
    if (state.EditorDecimals != spin_x1->NachkommaStellen())
        SetEditorDecimals(state.EditorDecimals);
    Decimals = state.Decimals;
    WriteInputs(ReadInputs(), state.inputs);
    cb_PRZT->SetCheckedSilent(state.Percent);
    Aktualisieren(this);
}

void TForm1::UpdateUndoCommands()
{
    PM_Undo->setEnabled(m_history.CanUndo());
    PM_Redo->setEnabled(m_history.CanRedo());
}

void TForm1::PM_UndoClick(QObject*)
{
    // Typed text not committed yet is a change too: committed, it is the
    // step taken back, and a redo brings it again.
    CommitTypedInput();
    if (!m_shown)
        return;
    if (const std::optional<Interpolation::WindowState> state = m_history.Undo(*m_shown))
        RestoreState(*state);
}

void TForm1::PM_RedoClick(QObject*)
{
    CommitTypedInput();
    if (!m_shown)
        return;
    if (const std::optional<Interpolation::WindowState> state = m_history.Redo(*m_shown))
        RestoreState(*state);
}

TSpezialSpin* TForm1::EditorOf(double Interpolation::Inputs::*input) const
{
    for (const InputEditor& editor : m_inputEditors) {
        if (editor.input == input)
            return editor.spin;
    }
    return nullptr;
}

Interpolation::Inputs TForm1::ReadInputs()
{
    Interpolation::Inputs in;
    for (const InputEditor& editor : m_inputEditors)
        in.*editor.input = editor.spin->ValueReal();
    return in;
}

void TForm1::WriteInputs(const Interpolation::Inputs& before, const Interpolation::Inputs& after)
{
    // Only the inputs that changed, bit for bit: writing an editor also drops
    // what is typed into it.
    for (const InputEditor& editor : m_inputEditors) {
        if (!Interpolation::SameBits(before.*editor.input, after.*editor.input))
            editor.spin->setValueReal(after.*editor.input);
    }
}

void TForm1::SetEditorDecimals(int decimals)
{
    for (const InputEditor& editor : m_inputEditors)
        editor.spin->setNachkommaStellen(decimals);
}

void TForm1::EnterResult(const QString& prompt, const QString& prefilled, const EntryRule& enter)
{
    // A refused or failed entry changes nothing and says nothing; the window
    // is recomputed in every case.
    QString text = prefilled;
    if (InputQuery(QStringLiteral("Wert eingeben"), prompt, text, this)) {
        const Evaluation typed = evaluateEntry(*RUVRechner, text, prefilled);
        if (typed.kind == Evaluation::Invalid) {
            ShowMessage(InvalidEntryMessage, this);
        } else if (typed.kind == Evaluation::Value) {
            const Interpolation::Inputs before = ReadInputs();
            const Interpolation::Entry entry = enter(before, typed.value);
            if (entry.outcome == Interpolation::Entry::Changed)
                WriteInputs(before, entry.inputs);
        }
    }
    Aktualisieren(this);
}

void TForm1::lbl_LGesClick(QObject*)
{
    CommitTypedInput();
    EnterResult(QStringLiteral("Neue Gesamtlänge:"), lbl_LGes->Caption(), Interpolation::EnterTotalLength);
}

void TForm1::lbl_HgesClick(QObject*)
{
    CommitTypedInput();
    EnterResult(QStringLiteral("Neue Gesamthöhe:"), Interpolation::HeightNumber(lbl_Hges->text()),
                Interpolation::EnterTotalHeight);
}

void TForm1::lbl_LLiClick(QObject*)
{
    CommitTypedInput();
    EnterResult(QStringLiteral("Neue Teillänge:"), lbl_LLi->Caption(), Interpolation::EnterLeftLength);
}

void TForm1::lbl_LReClick(QObject*)
{
    CommitTypedInput();
    EnterResult(QStringLiteral("Neue Teillänge:"), lbl_LRe->Caption(), Interpolation::EnterRightLength);
}

void TForm1::lbl_NeigClick(QObject*)
{
    CommitTypedInput();
    const QString prompt = cb_PRZT->Checked() ? QStringLiteral("Neue Neigung (in Prozent):")
                                              : QStringLiteral("Neue Neigung (in Grad [deg]):");
    EnterResult(prompt, Interpolation::SlopeNumber(lbl_Neig->Caption()),
                [this](const Interpolation::Inputs& in, long double typed) {
                    // The mode may have changed while the prompt was open.
                    return Interpolation::EnterSlope(in, typed, cb_PRZT->Checked());
                });
}

void TForm1::lbl_YErgClick(QObject*)
{
    CommitTypedInput();
    const QString prefilled = lbl_YErg->Caption();
    QString text = prefilled;
    if (!InputQuery(QStringLiteral("Rückrechnung"), QStringLiteral("Neue Höhe zwischen y1 und y2:"), text, this))
        return;
    const Evaluation typed = evaluateEntry(*RUVRechner, text, prefilled);
    if (typed.kind == Evaluation::Invalid)
        ShowMessage(InvalidEntryMessage, this);
    if (typed.kind != Evaluation::Value)
        return;
    // Only a position found is recomputed; a refusal says why, a level line
    // or a failure says nothing.
    const Interpolation::Inputs before = ReadInputs();
    const Interpolation::Entry entry = Interpolation::BackCalculate(before, typed.value);
    switch (entry.outcome) {
    case Interpolation::Entry::Changed:
        WriteInputs(before, entry.inputs);
        Aktualisieren(this);
        break;
    case Interpolation::Entry::Extrapolation:
        ShowMessage(ExtrapolationMessage, this);
        break;
    case Interpolation::Entry::NearZero:
    case Interpolation::Entry::LevelLine:
    case Interpolation::Entry::Failure:
        break;
    }
}

QString TForm1::StorageFolder()
{
    const QString path = storageFolderPath();
    return ForceDirectories(path) ? path : QString();
}

void TForm1::LoadLastValues()
{
    const QString folder = StorageFolder();
    if (folder.isEmpty())
        return;
    // The values up to the first that is missing or unsound; the rest keep
    // the values the window has.
    const ValueFiles::LastValues shown{ReadInputs(), Decimals, cb_PRZT->Checked()};
    const ValueFiles::LastValues last = ValueFiles::LoadLastValues(folder).AppliedTo(shown);
    WriteInputs(shown.inputs, last.inputs);
    Decimals = last.Decimals;
    cb_PRZT->SetCheckedSilent(last.Percent);
}

void TForm1::SaveLastValues()
{
    const QString folder = StorageFolder();
    if (folder.isEmpty())
        return; // nowhere to write to at close
    const ValueFiles::LastValues values{ReadInputs(), Decimals, cb_PRZT->Checked()};
    // A failure here is not reported: closing must not be held up by it,
    // and the previous file stays as it was.
    ValueFiles::SaveLastValues(folder, values, DiskFree(folder));
}

void TForm1::btn_SaveClick(QObject*)
{
    CommitTypedInput();
    const QString stamp = ValueFiles::TimeStamp(QDateTime::currentDateTime());
    QString name = stamp;
    if (!InputQuery(QStringLiteral("Name der Daten"), QStringLiteral("Dateiname:"), name, this))
        return;
    if (!ValueFiles::FileNameIsValid(name)) {
        ShowMessage(QStringLiteral("Der Dateiname enthält ungültige Zeichen !\r\n"
                                   "\r\n"
                                   "NICHT erlaubt sind folgende Zeichen:\r\n"
                                   "\\:*?\"<>|/"),
                    this);
        return;
    }
    // Without a usable storage folder nothing is written: a set saved
    // anywhere else would never show in the load dialog.
    const QString path = storageFolderPath() + name + QStringLiteral(".dat");
    const bool folderUsable = !StorageFolder().isEmpty();
    // A folder of that name is no set to lose; writing then fails and says so.
    const QFileInfo existing(path);
    if (folderUsable && existing.exists() && !existing.isDir()
        && !AskYesNo(QStringLiteral("Datei %1 existiert bereits. Überschreiben?").arg(QDir::toNativeSeparators(path)),
                     this))
        return;
    if (!folderUsable
        || !ValueFiles::SaveValueSet(path, stamp, ReadInputs(), lbl_LGes->Caption(), lbl_LLi->Caption(),
                                     NumberFormat::kDecimalSeparator))
        TApplication::HandleException(fileError(QStringLiteral("Datei %1 kann nicht erstellt werden"), path));
}

void TForm1::btn_loadClick(QObject*)
{
    CommitTypedInput();
    QString folder = StorageFolder();
    folder.chop(1);
    // A storage folder that cannot be used holds no sets; the dialog then
    // starts at home, not wherever the program happened to be started.
    OpenDialog1->InitialDir = folder.isEmpty() ? QDir::homePath() : folder;
    if (!OpenDialog1->Execute(this))
        return;
    const QString path = OpenDialog1->FileName;
    // A file that cannot be read as a whole changes nothing.
    const ValueFiles::ValueSetLoad loaded = ValueFiles::LoadValueSet(path);
    if (loaded.failed) {
        TApplication::HandleException(fileError(QStringLiteral("Datei %1 kann nicht geöffnet werden"), path));
        return;
    }

    // The numbers up to the first missing or unreadable line are taken; the
    // two captions only when all five came through.
    const ValueFiles::ValueSetRead& read = loaded.read;
    const Interpolation::Inputs before = ReadInputs();
    WriteInputs(before, read.AppliedTo(before));
    if (read.lengthCaption)
        lbl_LGes->setCaption(*read.lengthCaption);
    if (read.leftCaption)
        lbl_LLi->setCaption(*read.leftCaption);
    Aktualisieren(this);

    // A set that stopped early is never taken for a complete one, nor a value
    // the editors raised for the one in the file: what was read stays, and
    // the user learns where it stopped and what changed.
    const QString notes = ValueFiles::LoadNotes(path, read);
    if (!notes.isEmpty())
        ShowMessage(notes, this);
}

void TForm1::PM_NKDefClick(QObject*)
{
    CommitTypedInput();
    QString text = QString::number(Decimals);
    if (InputQuery(QStringLiteral("Neuer Wert"), QStringLiteral("Nachkommastellen:"), text, this)) {
        Decimals = NumberFormat::TextToIntDef(text, Decimals);
        SetEditorDecimals(Decimals);
    }
    Aktualisieren(this);
}

void TForm1::PM_ResetClick(QObject*)
{
    CommitTypedInput();
    WriteInputs(ReadInputs(), Interpolation::ResetInputs);
    cb_PRZT->SetCheckedSilent(Interpolation::StartPercent);
    Aktualisieren(this);
}

void TForm1::pm_MirrorClick(QObject*)
{
    CommitTypedInput();
    const Interpolation::Inputs before = ReadInputs();
    Interpolation::Inputs mirrored = before;
    std::swap(mirrored.y1, mirrored.y2);
    WriteInputs(before, mirrored);
    Aktualisieren(this);
}

QImage TForm1::ResultPicture()
{
    // The window as a plain screen shows it, whatever the density of this
    // one: 470 x 270 pixels, crisp, rather than a dense picture shrunk.
    QImage picture(ClientWidth, ClientHeight, QImage::Format_RGB32);
    picture.fill(Qt::white);
    {
        // Text that Qt draws itself follows the screen's density, not the
        // picture's; for the picture it takes the plain screen's face.
        struct PlainScreenFonts {
            QWidget* window;
            explicit PlainScreenFonts(QWidget* w)
                : window(w)
            {
                ApplyScreenFonts(window, 1);
            }
            ~PlainScreenFonts() { ApplyScreenFonts(window); }
        } plainFonts(this);
        render(&picture, QPoint(), QRegion(0, 0, ClientWidth, ClientHeight));
    }
    picture = picture.convertToFormat(QImage::Format_RGB888);
    if (picture.width() > 0) {
        // The file buttons, the info line and the copy button do not belong
        // in the result picture.
        QPainter painter(&picture);
        const QRect client(0, 0, ClientWidth, ClientHeight);
        painter.fillRect(QRect(btn_load->geometry().topLeft(), client.bottomRight()), Qt::white);
        painter.fillRect(QRect(QPoint(0, lbl_info->y()), QPoint(lbl_info->geometry().right(), client.bottom())),
                         Qt::white);
        painter.fillRect(btn_copy1->geometry().adjusted(1, 0, 0, 0), Qt::white);
    }
    return picture;
}

void TForm1::PM_CopyBMPClick(QObject*)
{
    CommitTypedInput();
    QGuiApplication::clipboard()->setImage(ResultPicture());
}

QMimeData* TForm1::ResultsAsText()
{
    // The inputs as their editors show them, the results as their fields do.
    using In = Interpolation::Inputs;
    QList<Interpolation::NamedText> rows;
    for (const auto& [name, input] : {std::pair{"x1", &In::x1}, std::pair{"y1", &In::y1}, std::pair{"x2", &In::x2},
                                      std::pair{"y2", &In::y2}, std::pair{"X", &In::X}})
        rows.append({QLatin1String(name), EditorOf(input)->ValueText()});
    rows += Interpolation::ResultTexts(Interpolation::Recompute(ReadInputs(), Decimals, cb_PRZT->Checked()).captions);

    QString text;
    // A spreadsheet that takes the table keeps the numbers right-aligned and
    // the names as text; the charset keeps "Höhe" intact in mail programs.
    QString html = QStringLiteral("<html><head><meta charset=\"utf-8\"></head><body><table>\n");
    for (const Interpolation::NamedText& row : std::as_const(rows)) {
        text += row.name + QLatin1Char('\t') + row.text + QLatin1Char('\n');
        html += QStringLiteral("<tr><td>%1</td><td align=\"right\">%2</td></tr>\n")
                    .arg(row.name.toHtmlEscaped(), row.text.toHtmlEscaped());
    }
    html += QStringLiteral("</table></body></html>\n");

    auto* data = new QMimeData;
    data->setText(text);
    data->setHtml(html);
    return data;
}

void TForm1::PM_CopyResultsClick(QObject*)
{
    CommitTypedInput();
    QGuiApplication::clipboard()->setMimeData(ResultsAsText());
}

void TForm1::PM_InfoClick(QObject*)
{
    CommitTypedInput();
    ShowConfirmation(QStringLiteral("Bestätigung"),
                     QStringLiteral("Tiraso\tPravenda\r\n"
                                    "\r\n"
                                    "Autor\tTiraso-Projekt\r\n"
                                    "Kontakt\twww.tiraso.example\r\n"
                                    "\r\n"
                                    "Version\t%1 - %2")
                         .arg(QLatin1String(ReleaseInfo::Version), QLatin1String(ReleaseInfo::Month)),
                     this);
}

void TForm1::btn_copy1Click(QObject*)
{
    CommitTypedInput();
    const QString caption = lbl_YErg->Caption();
    if (!caption.isEmpty())
        QGuiApplication::clipboard()->setText(caption);
}

void TForm1::btn_copy1ShiftClick(QObject*)
{
    CommitTypedInput();
    // The caption is rounded and German; a spreadsheet or a script wants
    // every digit of the value and a decimal point.
    const Interpolation::Results results = Interpolation::Compute(ReadInputs());
    QGuiApplication::clipboard()->setText(NumberFormat::RoundTrip(results.Y));
}

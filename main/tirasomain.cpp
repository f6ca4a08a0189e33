#include "main/tirasomain.h"

#include "calc/NumberFormat.h"
#include "calc/RUVTaRe.h"
#include "drawing/kavriBasic.h"
#include "main/ValueFiles.h"
#include "platform/Application.h"
#include "platform/Canvas.h"
#include "platform/Dialogs.h"
#include "platform/Font.h"
#include "platform/Shell.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QMoveEvent>
#include <QScopedValueRollback>
#include <QScreen>
#include <QWindow>

#include <cmath>
#include <limits>
#include <numbers>
#include <optional>
#include <stdexcept>
#include <utility>

namespace {

const QString InvalidEntryMessage = QStringLiteral("Bitte eine gültige Zahl oder Rechenformel eingeben!");
const QString ExtrapolationMessage = QStringLiteral("Eine extrapolation ist nicht vorgesehen!");

// The result-field handlers treat an arithmetic result that is not finite as
// a failure of the step that produced it, so it never reaches an editor.
struct ArithmeticFailure : std::runtime_error {
    ArithmeticFailure()
        : std::runtime_error("arithmetic failure")
    {
    }
};

double checkedFinite(double value)
{
    if (!std::isfinite(value))
        throw ArithmeticFailure();
    return value;
}

double divide(double dividend, double divisor)
{
    if (divisor == 0.0)
        throw ArithmeticFailure();
    return checkedFinite(dividend / divisor);
}

QString numberText(int decimals, long double value)
{
    return NumberFormat::FormatN(decimals, value);
}

// An extended result as the double the editors hold; one beyond the double
// range (the calculator's own range is far wider) fails like any other step.
double narrowed(long double value)
{
    if (!(std::fabs(value) <= static_cast<long double>(std::numeric_limits<double>::max())))
        throw ArithmeticFailure();
    return static_cast<double>(value);
}

// The prompts are pre-filled with grouped results ("1.234,500"), which must
// be accepted unchanged; the calculator alone would read that "." as a
// decimal point and refuse the number.
void evaluateEntry(TRUVTaRe& calculator, const QString& text, TRechenErgebnis& result)
{
    calculator.Berechnen(NumberFormat::RemoveGroupingDots(text), result);
}

std::runtime_error fileError(const QString& message, const QString& path)
{
    return std::runtime_error(message.arg(QDir::toNativeSeparators(path)).toStdString());
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

TPlainLabel::TPlainLabel(QWidget* parent)
    : QLabel(parent)
{
}

void TPlainLabel::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->button() == Qt::LeftButton;
}

void TPlainLabel::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click && OnClick)
        OnClick(this);
}

TForm1::TForm1(const QStringList& parameters, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint)
    , m_parameters(parameters)
{
    Q_INIT_RESOURCE(tiraso);
    setAttribute(Qt::WA_QuitOnClose, true);
    CreateFromDescription();
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
    Decimals = 3;
    spin__X->setValueReal(0.33);
    PlaceWindow();
    LoadSaveLastValues(true);
    Aktualisieren(this);
}

void TForm1::FormClose(QObject*)
{
    // Whatever goes wrong while saving, the window still closes.
    try {
        CommitTypedInput();
        LoadSaveLastValues(false);
    } catch (...) {
    }
}

int TForm1::TextToIntDef(const QString& text, int fallback)
{
    // Leading blanks, an optional sign, then decimal digits or "$" / "0x"
    // and hex digits; anything else, trailing blanks included, is not an
    // integer, and neither is a value outside 32 bits.
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+')))
        negative = text.at(i++) == QLatin1Char('-');
    int base = 10;
    if (i < text.size() && text.at(i) == QLatin1Char('$')) {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text.at(i) == QLatin1Char('0') && text.at(i + 1).toLower() == QLatin1Char('x')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size())
        return fallback;
    constexpr qint64 Limit = qint64(std::numeric_limits<qint32>::max()) + 1;
    qint64 magnitude = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        int digit = -1;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        if (digit < 0)
            return fallback;
        magnitude = magnitude * base + digit;
        if (magnitude > Limit)
            return fallback;
    }
    const qint64 result = negative ? -magnitude : magnitude;
    if (result > std::numeric_limits<qint32>::max())
        return fallback;
    return int(result);
}

int TForm1::ParameterInteger(const QString& text)
{
    return TextToIntDef(text, 100);
}

std::optional<QPoint> TForm1::PlacementFromParameter(const QString& parameter)
{
    const qsizetype bar = parameter.indexOf(QLatin1Char('|'));
    if (bar < 0)
        return std::nullopt;
    return QPoint(ParameterInteger(parameter.left(bar)), ParameterInteger(parameter.mid(bar + 1, 255)));
}

QPoint TForm1::CentredPosition(const QSize& monitor, const QSize& outer)
{
    return QPoint((monitor.width() - outer.width()) / 2, (monitor.height() - outer.height()) / 2);
}

void TForm1::PlaceWindow()
{
    m_centreWhenFramed = false;
    if (m_parameters.isEmpty()) {
        const QList<QScreen*> screens = QGuiApplication::screens();
        if (screens.isEmpty())
            return;
        // A window manager's frame is known only once the window is framed,
        // which comes after this; it is centred again then (moveEvent).
        PlaceFrameAt(CentredPosition(screens.constFirst()->geometry().size(), frameGeometry().size()));
        m_centreWhenFramed = true;
        return;
    }
    const auto position = PlacementFromParameter(m_parameters.constFirst());
    PlaceFrameAt(position ? *position : DesignPosition);
}

void TForm1::PlaceFrameAt(const QPoint& position)
{
    // The position is that of the outer window, title bar and borders
    // included, as on the desktop the positions were written for. Asked of
    // the native window, a window manager puts its frame there; without one
    // the window itself goes there. The widget is moved too, so that it
    // knows its place before the window system has answered.
    move(position);
    if (QWindow* window = windowHandle())
        window->setFramePosition(position);
}

void TForm1::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    if (m_centreWhenFramed && frameGeometry().size() != size()) {
        m_centreWhenFramed = false;
        const QList<QScreen*> screens = QGuiApplication::screens();
        if (!screens.isEmpty())
            PlaceFrameAt(CentredPosition(screens.constFirst()->geometry().size(), frameGeometry().size()));
    }
}

bool TForm1::event(QEvent* event)
{
    // Once the window is up, a frame that turns up later (a window manager
    // started afterwards) moves nothing: the user may have placed it by then.
    if (event->type() == QEvent::WindowActivate)
        m_centreWhenFramed = false;
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
        for (TSpezialSpin* spin : {spin_x1, spin_x2, spin__X, spin_y1, spin_y2})
            spin->CommitPendingText();
    }
    if (!m_committingInput && std::exchange(m_recomputeAfterCommit, false))
        Aktualisieren(this);
}

void TForm1::lbl_infoClick(QObject*)
{
    PM_1->popup(QCursor::pos());
}

TLayoutState TForm1::ChooseLayout()
{
    const double x1 = spin_x1->ValueReal();
    const double x2 = spin_x2->ValueReal();
    const double X = spin__X->ValueReal();
    const double y1 = spin_y1->ValueReal();
    const double y2 = spin_y2->ValueReal();

    TLayoutState direction = lsLevel;
    if (y2 > y1)
        direction = lsRising;
    if (y2 < y1)
        direction = lsFalling;

    double width = 0;
    if (x2 > x1)
        width = x2 - x1;
    else if (x2 < x1)
        width = x1 - x2;
    // An interval too narrow for single precision counts as none.
    if (IsNearZero(static_cast<float>(x2 - x1)))
        width = 0;
    if (IsNearZero(width))
        return lsLevel;
    if (x1 >= X)
        return lsLevel;
    return x2 > X ? direction : lsLevel;
}

void TForm1::Aktualisieren(QObject*)
{
    Layout = ChooseLayout();
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

    const double x1 = spin_x1->ValueReal();
    const double x2 = spin_x2->ValueReal();
    const double X = spin__X->ValueReal();
    const double y1 = spin_y1->ValueReal();
    const double y2 = spin_y2->ValueReal();

    const double LGes = x2 - x1;
    const double LLi = X - x1;
    const double LRe = LGes - LLi;
    const double Hges = y2 - y1;

    double Y = y1;
    if (Layout == lsFalling)
        Y = y1 - (y1 - y2) / (x2 - x1) * (X - x1);
    else if (Layout == lsRising)
        Y = y1 + (y2 - y1) / (x2 - x1) * (X - x1);
    const double HX = Y - y1;

    lbl_LLi->setCaption(numberText(Decimals, LLi));
    lbl_LRe->setCaption(numberText(Decimals, LRe));
    lbl_LGes->setCaption(numberText(Decimals, LGes));
    lbl_xH->setText(QStringLiteral("H=") + numberText(Decimals, HX));
    lbl_Hges->setText(QStringLiteral("H=") + numberText(Decimals, Hges));
    lbl_YErg->setCaption(numberText(Decimals, Y));

    double percent = 0;
    long double degrees = 0;
    if (!IsNearZero(LGes) && !IsNearZero(Hges)) {
        const double r = Hges / LGes;
        percent = r * 100;
        degrees = std::atan(static_cast<long double>(r)) * (180.0L / std::numbers::pi_v<long double>);
    }
    if (cb_PRZT->Checked())
        lbl_Neig->setCaption(numberText(Decimals, percent) + QLatin1Char('%'));
    else
        lbl_Neig->setCaption(numberText(Decimals, degrees) + QChar(0x00B0));
}

void TForm1::KeepXLeftOfX2()
{
    const double X = spin__X->ValueReal();
    const double x2 = spin_x2->ValueReal();
    if (x2 < X)
        spin__X->setValueReal(x2);
}

void TForm1::EnterResult(const QString& prompt, const QString& prefilled, const std::function<void(double)>& apply)
{
    // Any failure inside keeps what was written before it; the window is
    // recomputed in every case.
    try {
        QString text = prefilled;
        if (InputQuery(QStringLiteral("Wert eingeben"), prompt, text, this)) {
            TRechenErgebnis result{};
            evaluateEntry(*RUVRechner, text, result);
            if (result.Fehler != 0) {
                ShowMessage(InvalidEntryMessage, this);
            } else {
                const double v = narrowed(result.Wert);
                // A zero length, height or slope cannot be entered.
                if (!IsNearZero(v))
                    apply(v);
            }
        }
    } catch (...) {
    }
    Aktualisieren(this);
}

void TForm1::lbl_LGesClick(QObject*)
{
    CommitTypedInput();
    EnterResult(QStringLiteral("Neue Gesamtlänge:"), lbl_LGes->Caption(), [this](double v) {
        spin_x2->setValueReal(checkedFinite(spin_x1->ValueReal() + v));
        KeepXLeftOfX2();
    });
}

void TForm1::lbl_HgesClick(QObject*)
{
    CommitTypedInput();
    EnterResult(QStringLiteral("Neue Gesamthöhe:"), lbl_Hges->text().mid(2), [this](double v) {
        spin_y2->setValueReal(checkedFinite(spin_y1->ValueReal() + v));
    });
}

void TForm1::lbl_LLiClick(QObject*)
{
    CommitTypedInput();
    EnterResult(QStringLiteral("Neue Teillänge:"), lbl_LLi->Caption(), [this](double v) {
        spin__X->setValueReal(checkedFinite(spin_x1->ValueReal() + v));
        KeepXLeftOfX2();
    });
}

void TForm1::lbl_LReClick(QObject*)
{
    CommitTypedInput();
    EnterResult(QStringLiteral("Neue Teillänge:"), lbl_LRe->Caption(), [this](double v) {
        spin__X->setValueReal(checkedFinite(spin_x2->ValueReal() - v));
        KeepXLeftOfX2();
    });
}

void TForm1::lbl_NeigClick(QObject*)
{
    CommitTypedInput();
    const QString prompt = cb_PRZT->Checked() ? QStringLiteral("Neue Neigung (in Prozent):")
                                              : QStringLiteral("Neue Neigung (in Grad [deg]):");
    EnterResult(prompt, lbl_Neig->Caption().chopped(qMin<qsizetype>(1, lbl_Neig->Caption().size())), [this](double v) {
        const double x1 = spin_x1->ValueReal();
        const double x2 = spin_x2->ValueReal();
        const double y1 = spin_y1->ValueReal();
        // The mode may have changed while the prompt was open.
        if (cb_PRZT->Checked()) {
            spin_y2->setValueReal(checkedFinite(y1 + checkedFinite(checkedFinite(x2 - x1) * (v / 100))));
            return;
        }
        // In extended precision, so that 45 degrees rise by exactly the
        // length: the double tangent of the double pi/4 is 0.9999999999999999.
        const long double rise = std::tan(static_cast<long double>(v) * (std::numbers::pi_v<long double> / 180));
        const long double y2 = static_cast<long double>(y1) + static_cast<long double>(checkedFinite(x2 - x1)) * rise;
        spin_y2->setValueReal(narrowed(y2));
    });
}

void TForm1::lbl_YErgClick(QObject*)
{
    CommitTypedInput();
    QString text = lbl_YErg->Caption();
    if (!InputQuery(QStringLiteral("Rückrechnung"), QStringLiteral("Neue Höhe zwischen y1 und y2:"), text, this))
        return;
    try {
        TRechenErgebnis result{};
        evaluateEntry(*RUVRechner, text, result);
        if (result.Fehler != 0) {
            ShowMessage(InvalidEntryMessage, this);
            return;
        }
        const double Yn = narrowed(result.Wert);
        const double x1 = spin_x1->ValueReal();
        const double x2 = spin_x2->ValueReal();
        const double y1 = spin_y1->ValueReal();
        const double y2 = spin_y2->ValueReal();
        const double L = std::abs(checkedFinite(x2 - x1));
        const double H = std::abs(checkedFinite(y2 - y1));
        if (y2 > y1) {
            if (Yn <= y1 || Yn >= y2) {
                ShowMessage(ExtrapolationMessage, this);
            } else {
                const double m = divide(H, L);
                const double d = divide(checkedFinite(Yn - y1), m);
                spin__X->setValueReal(checkedFinite(x1 + std::abs(d)));
                Aktualisieren(this);
            }
        }
        if (y2 < y1) {
            if (Yn >= y1 || Yn <= y2) {
                ShowMessage(ExtrapolationMessage, this);
            } else {
                const double m = divide(H, L);
                const double d = divide(checkedFinite(Yn - y2), m);
                spin__X->setValueReal(checkedFinite(checkedFinite(x1 + L) - std::abs(d)));
                Aktualisieren(this);
            }
        }
    } catch (...) {
    }
}

QString TForm1::StorageFolder()
{
    QString path = LocalAppDataFolder();
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    path += QStringLiteral("tiraso");
    if (!ForceDirectories(path))
        return {};
    return path + QLatin1Char('/');
}

void TForm1::LoadSaveLastValues(bool load)
{
    const QString folder = StorageFolder();
    if (folder.isEmpty())
        return; // nowhere to read from, and nowhere to write to at close
    const QString path = folder + QLatin1String(ValueFiles::kLastValuesFileName);

    if (load) {
        // Anything but a regular file, a file that cannot be opened and one
        // that fails while being read count as missing. The format holds at
        // most 61 bytes; a longer file is read no further.
        const std::optional<QByteArray> data = ValueFiles::ReadRegularFile(path, 64);
        if (!data)
            return;
        const ValueFiles::LastValuesRead read = ValueFiles::ReadLastValues(*data);
        // A float that does not fit a double (or is no number) ends the
        // reading as a failed conversion would; what came before stays.
        TSpezialSpin* const editors[] = {spin_x1, spin__X, spin_x2, spin_y1, spin_y2};
        for (int i = 0; i < read.count && i < 5; ++i) {
            if (!std::isfinite(read.floats[i]))
                return;
            editors[i]->setValueReal(read.floats[i]);
        }
        if (read.count > 5)
            Decimals = read.Decimals;
        if (read.count > 6)
            cb_PRZT->SetCheckedSilent(read.Percent);
        return;
    }

    if (!ValueFiles::EnoughRoomForLastValues(DiskFree(folder)))
        return;
    ValueFiles::LastValues values;
    values.x1 = spin_x1->ValueReal();
    values.X = spin__X->ValueReal();
    values.x2 = spin_x2->ValueReal();
    values.y1 = spin_y1->ValueReal();
    values.y2 = spin_y2->ValueReal();
    values.Decimals = Decimals;
    values.Percent = cb_PRZT->Checked();
    // A failure here is not reported: closing must not be held up by it,
    // and the previous file stays as it was.
    ValueFiles::WriteFileAtomically(path, ValueFiles::WriteLastValues(values));
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
    const QByteArray data = ValueFiles::WriteValueSet(
        stamp, spin_y1->ValueReal(), spin_y2->ValueReal(), spin_x1->ValueReal(), spin_x2->ValueReal(),
        spin__X->ValueReal(), lbl_LGes->Caption(), lbl_LLi->Caption(), NumberFormat::kDecimalSeparator);
    // Without a storage folder the file goes to the current directory.
    const QString path = StorageFolder() + name + QStringLiteral(".dat");
    if (!ValueFiles::WriteFileAtomically(path, data))
        TApplication::HandleException(fileError(QStringLiteral("Datei %1 kann nicht erstellt werden"), path));
}

void TForm1::btn_loadClick(QObject*)
{
    CommitTypedInput();
    QString folder = StorageFolder();
    folder.chop(1);
    OpenDialog1->InitialDir = folder;
    if (!OpenDialog1->Execute(this))
        return;
    const QString path = OpenDialog1->FileName;
    // Only a regular file is read: a FIFO or a device chosen in the dialog
    // would block the window or never end. A file that fails while being
    // read changes nothing either.
    QFile file(path);
    ValueFiles::ValueSetLines text;
    if (ValueFiles::OpenRegularFile(file))
        text = ValueFiles::ReadValueSetLines(file);
    if (!file.isOpen() || text.readError) {
        TApplication::HandleException(fileError(QStringLiteral("Datei %1 kann nicht geöffnet werden"), path));
        return;
    }
    file.close();

    // The numbers up to the first missing or unreadable line are taken; the
    // two captions only when all five came through.
    const ValueFiles::ValueSetRead read = ValueFiles::ParseValueSet(text);
    if (!text.lines.isEmpty()) {
        TSpezialSpin* const editors[] = {spin_y1, spin_y2, spin_x1, spin_x2, spin__X};
        for (int i = 0; i < read.count && i < 5; ++i)
            editors[i]->setValueReal(read.values[i]);
        if (read.count == 5 && text.lines.size() > 7) {
            lbl_LGes->setCaption(text.lines.at(7));
            if (text.lines.size() > 8)
                lbl_LLi->setCaption(text.lines.at(8));
        }
    }
    Aktualisieren(this);

    // A set that stopped early is never taken for a complete one: what was
    // read stays, and the user learns where it stopped.
    if (read.stop != ValueFiles::ValueSetRead::Complete) {
        static const char* const valueNames[] = {"Y1", "Y2", "X1", "X2", "X"};
        const QString reason = read.stop == ValueFiles::ValueSetRead::Missing
            ? QStringLiteral("Zeile %1 (%2) fehlt.")
            : QStringLiteral("Zeile %1 (%2) ist keine gültige Zahl.");
        const QString what = read.count > 0 ? QStringLiteral("Datei %1 wurde nur teilweise geladen:\r\n")
                                            : QStringLiteral("Datei %1 wurde nicht geladen:\r\n");
        ShowMessage(what.arg(QDir::toNativeSeparators(path))
                        + reason.arg(read.stopLine + 1).arg(QLatin1String(valueNames[read.stopLine - 2])),
                    this);
    }
}

void TForm1::PM_NKDefClick(QObject*)
{
    CommitTypedInput();
    QString text = QString::number(Decimals);
    if (InputQuery(QStringLiteral("Neuer Wert"), QStringLiteral("Nachkommastellen:"), text, this)) {
        Decimals = TextToIntDef(text, Decimals);
        for (TSpezialSpin* spin : {spin_x1, spin_x2, spin__X, spin_y1, spin_y2})
            spin->setNachkommaStellen(Decimals);
    }
    Aktualisieren(this);
}

void TForm1::PM_ResetClick(QObject*)
{
    CommitTypedInput();
    spin_x1->setValueReal(0);
    spin_x2->setValueReal(1);
    spin__X->setValueReal(0.5);
    spin_y1->setValueReal(0);
    spin_y2->setValueReal(1);
    cb_PRZT->SetCheckedSilent(true);
    Aktualisieren(this);
}

void TForm1::pm_MirrorClick(QObject*)
{
    CommitTypedInput();
    const double y1 = spin_y1->ValueReal();
    const double y2 = spin_y2->ValueReal();
    spin_y1->setValueReal(y2);
    spin_y2->setValueReal(y1);
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

void TForm1::PM_InfoClick(QObject*)
{
    CommitTypedInput();
    ShowConfirmation(QStringLiteral("Bestätigung"),
                     QStringLiteral("Tiraso\tPravenda\r\n"
                                    "\r\n"
                                    "Autor\tTiraso-Projekt\r\n"
                                    "Kontakt\twww.tiraso.example\r\n"
                                    "\r\n"
                                    "Version\t3.0 - 05/2024"),
                     this);
}

void TForm1::btn_copy1Click(QObject*)
{
    CommitTypedInput();
    const QString caption = lbl_YErg->Caption();
    if (!caption.isEmpty())
        QGuiApplication::clipboard()->setText(caption);
}

// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "controls/SpezialSpin.h"

#include "calc/FloatErrors.h"
#include "calc/NumberFormat.h"
#include "calc/RUVTaRe.h"
#include "calc/TypedNumber.h"
#include "controls/AccessibilityNotices.h"
#include "platform/Application.h"
#include "platform/Canvas.h"
#include "platform/Font.h"
#include "platform/VirtualKeys.h"

#include <QApplication>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QWheelEvent>

#include <bit>
#include <cmath>
#include <limits>
#include <string>

namespace {

TRUVTaRe* sharedCalculator = nullptr;

// A held arrow cell steps every 250 ms: a 100 ms pause per step plus a
// 150 ms wait for the release, run by a timer so the event loop goes on.
constexpr int kHoldCycleMs = 250;

constexpr QChar kPlusMinus(0x00B1);

// Powers of ten as literals, so each is the double nearest to the decimal step.
constexpr double kStepSizes[9] = {1, 0.1, 0.01, 0.001, 0.0001, 1e-5, 1e-6, 1e-7, 1e-8};

QFont SymbolFont(int pixelSize)
{
    TFont font;
    font.setName(QStringLiteral("Marlett"));
    font.setHeight(-pixelSize);
    return font.toQFont();
}

bool IsBlankOrControl(QChar c)
{
    return c.unicode() <= 0x20;
}

// The calculator works in extended precision; a result beyond the double's
// range must not turn into infinity silently.
double NarrowToDouble(long double value)
{
    if (std::isfinite(value) && std::fabs(value) > static_cast<long double>(std::numeric_limits<double>::max()))
        throw EOverflow();
    return static_cast<double>(value);
}

// Only a "." that groups thousands the way the text is shown goes; a typed
// "2.5" is a decimal point and keeps its meaning.
TypedNumber::Rule typingRule(bool grouped)
{
    return grouped ? TypedNumber::Rule::GroupingEditor : TypedNumber::Rule::Formula;
}

bool SameBits(double a, double b)
{
    return std::bit_cast<quint64>(a) == std::bit_cast<quint64>(b);
}

// A key by what the keyboard sends: a press and its release agree on the
// scan code even when the modifiers between them change the key's meaning
// (Shift let go before the 2 it made an @ of). Synthetic events have none.
quint64 KeyIdentity(const QKeyEvent& event)
{
    if (event.nativeScanCode() != 0)
        return (quint64(1) << 32) | event.nativeScanCode();
    return quint64(quint32(event.key()));
}

int SaturatedInt(double whole)
{
    if (std::isnan(whole))
        return 0;
    if (whole >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (whole <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return int(whole);
}

} // namespace

// Module start-up and shut-down ------------------------------------------

void TSpezialSpin::ModuleStartup()
{
    if (!sharedCalculator)
        sharedCalculator = new TRUVTaRe(nullptr);
}

void TSpezialSpin::ModuleShutdown()
{
    delete sharedCalculator;
    sharedCalculator = nullptr;
}

TRUVTaRe* TSpezialSpin::SharedCalculator()
{
    return sharedCalculator;
}

quint16 TSpezialSpin::VirtualKeyCode(int qtKey, Qt::KeyboardModifiers modifiers)
{
    return VirtualKey::FromQtKey(qtKey, modifiers);
}

// Construction ------------------------------------------------------------

TSpezialSpin::TSpezialSpin(QWidget* parent)
    : QWidget(parent)
    , m_font(new TFont(this))
{
    resize(120, 20);
    m_font->setName(QStringLiteral("Tahoma"));
    m_font->setColor(clBtnText);

    m_innerEdit = new QLineEdit(this);
    m_innerEdit->setObjectName(QStringLiteral("InnerEdit"));
    m_innerEdit->setText(QStringLiteral("0"));
    m_innerEdit->setFrame(false);
    m_innerEdit->installEventFilter(this);
    ApplyEditorPalette();

    m_delayTimer = new QTimer(this);
    m_delayTimer->setObjectName(QStringLiteral("DelayTimer"));
    m_delayTimer->setSingleShot(true);
    m_delayTimer->setInterval(m_changeDelay);
    connect(m_delayTimer, &QTimer::timeout, this, [this] { RunGuarded([this] { CommitText(); }); });

    m_repeatTimer = new QTimer(this);
    m_repeatTimer->setObjectName(QStringLiteral("RepeatTimer"));
    m_repeatTimer->setTimerType(Qt::PreciseTimer);
    m_repeatTimer->setInterval(kHoldCycleMs);
    connect(m_repeatTimer, &QTimer::timeout, this, [this] { HoldCycle(); });

    connect(m_font, &TFont::changed, this, [this] { FontChanged(); });

    // setFocus() on the control lands in the edit.
    setFocusProxy(m_innerEdit);
    setFocusPolicy(Qt::ClickFocus);
    m_innerEdit->setFocusPolicy(Qt::ClickFocus);

    SetScreenFont(m_innerEdit, m_font->toQFont());
    LayoutParts();
}

TSpezialSpin::~TSpezialSpin()
{
    m_delayTimer->stop();
    m_repeatTimer->stop();
    // The edit would otherwise report its focus loss to a half-destroyed control.
    m_innerEdit->removeEventFilter(this);
    delete m_innerEdit;
    m_innerEdit = nullptr;
}

// Value model -------------------------------------------------------------

void TSpezialSpin::UpdateText()
{
    m_delayTimer->stop();
    if (m_maxValue > 0 && m_currentValue > m_maxValue)
        m_currentValue = m_maxValue;
    // Written this way round so that not-a-number falls to the minimum too.
    if (!(m_currentValue >= m_minValue))
        m_currentValue = m_minValue;

    const double whole = std::trunc(m_currentValue);
    // Beyond the int range the whole part saturates; the fraction stays the
    // value's own.
    m_wholePart = SaturatedInt(whole);
    m_fractionPart = std::isfinite(m_currentValue) ? m_currentValue - whole : 0.0;

    QString prefix;
    if (m_plusZeichenPositiveWerte) {
        if (m_currentValue == 0)
            prefix = kPlusMinus;
        else if (m_currentValue > 0)
            prefix = QStringLiteral("+");
    }
    const QString text = prefix
        + (m_tausenderZeichen ? NumberFormat::FormatN(m_nachkommaStellen, m_currentValue)
                              : NumberFormat::FormatF(m_nachkommaStellen, m_currentValue));
    // Only a real change replaces the text, so a read of the value while the
    // user edits does not move the caret; a replaced text starts at its
    // beginning, as an edit box shows new text.
    if (m_innerEdit->text() != text) {
        m_innerEdit->setText(text);
        m_innerEdit->setCursorPosition(0);
        Accessibility::ValueChanged(this, m_currentValue);
    }
    m_writtenText = text;
    m_writtenValue = m_currentValue;
}

double TSpezialSpin::QuickValue() const
{
    // The editor's own text is never read back: it is rounded, and the value
    // it was written for keeps its full precision, also when the user types
    // that very text again.
    return HasTypedText() ? ParseTypedText(m_innerEdit->text()) : m_writtenValue;
}

double TSpezialSpin::ParseTypedText(const QString& typed) const
{
    const double fallback = m_currentValue;

    qsizetype first = 0;
    qsizetype last = typed.size();
    while (first < last && IsBlankOrControl(typed.at(first)))
        ++first;
    while (last > first && IsBlankOrControl(typed.at(last - 1)))
        --last;
    QString text = WithoutGroupingDots(typed.mid(first, last - first));
    text.remove(QLatin1Char('+'));
    text.remove(kPlusMinus);

    if (text.isEmpty() || text == QLatin1String(" ") || text == QLatin1String("-"))
        return 0.0;
    // A "." left over is a decimal point, as the calculator reads it at the
    // commit; the quick value must not differ from the committed one, since
    // a recomputation before the commit keeps it.
    text.replace(QLatin1Char('.'), NumberFormat::kDecimalSeparator);
    double value = 0.0;
    if (!NumberFormat::TextToFloat(text, NumberFormat::kDecimalSeparator, value))
        return fallback;
    return value;
}

QString TSpezialSpin::WithoutGroupingDots(const QString& text) const
{
    return TypedNumber::Ungrouped(text, typingRule(m_tausenderZeichen));
}

void TSpezialSpin::CommitText()
{
    // Stopped before evaluating: a formula that raises would otherwise raise
    // again with every tick of the delay.
    m_delayTimer->stop();

    const bool typed = HasTypedText();
    QString text = m_innerEdit->text();
    if (m_plusZeichenPositiveWerte) {
        text.remove(kPlusMinus);
        if (text.size() >= 2 && text.startsWith(QLatin1Char('+')))
            text.remove(0, 1);
    }

    if (typed && !text.isEmpty()) {
        TRUVTaRe* calculator = SharedCalculator();
        if (!calculator) {
            // Start-up was skipped (a tool or test that does not run the
            // module start-up); the module still owns the instance.
            ModuleStartup();
            calculator = SharedCalculator();
        }
        const TRechenErgebnis result = TypedNumber::Read(*calculator, text, typingRule(m_tausenderZeichen));
        if (result.Fehler == 0)
            m_currentValue = NarrowToDouble(result.Wert);
    }

    UpdateText();
    m_delayTimer->stop();

    QPointer<TSpezialSpin> self(this);
    if (TakeCommitted() && OnDelayedChange) {
        OnDelayedChange(this);
        if (!self)
            return;
    }

    QCoreApplication::processEvents();
    if (!self)
        return;
    if (m_innerEdit->hasFocus())
        m_innerEdit->selectAll();
    else
        m_innerEdit->setCursorPosition(int(m_innerEdit->text().size()));
    QCoreApplication::processEvents();
}

bool TSpezialSpin::TakeCommitted()
{
    const bool changed = !m_hasCommitted || !SameBits(m_currentValue, m_committedValue);
    m_committedValue = m_currentValue;
    m_hasCommitted = true;
    return changed;
}

void TSpezialSpin::CommitPendingText()
{
    if (m_innerEdit->text() == m_writtenText)
        return;
    RunGuarded([this] { CommitText(); });
}

void TSpezialSpin::StepByKey(bool up)
{
    m_runningIncrement = 0;
    if (up)
        StepUp();
    else
        StepDown();
    CommitText();
}

void TSpezialSpin::EnterValue(double value)
{
    m_delayTimer->stop();
    m_currentValue = value;
    UpdateText();
    if (TakeCommitted() && OnDelayedChange)
        OnDelayedChange(this);
}

bool TSpezialSpin::HasTypedText() const
{
    return m_innerEdit->text() != m_writtenText;
}

void TSpezialSpin::StepUp()
{
    m_runningIncrement += m_stepSize;
    m_currentValue += m_runningIncrement;
    UpdateText();
}

void TSpezialSpin::StepDown()
{
    m_runningIncrement += m_stepSize;
    m_currentValue -= m_runningIncrement;
    UpdateText();
}

// Value properties ----------------------------------------------------------

void TSpezialSpin::setNachkommaStellen(int value)
{
    // Never compared: even the same decimals rewrite the text, typed text included.
    m_nachkommaStellen = qBound(0, value, 8);
    m_stepSize = kStepSizes[m_nachkommaStellen];
    UpdateText();
}

double TSpezialSpin::ValueReal()
{
    UpdateText();
    // What the owner reads it knows; the next commit reports against it.
    TakeCommitted();
    return m_currentValue;
}

void TSpezialSpin::setValueReal(double value)
{
    // Never compared: a write always replaces typed text. The program knows
    // what it wrote; a later commit of the same value is no change, and one
    // of any other value is, whatever the text shows.
    m_delayTimer->stop();
    m_currentValue = value;
    UpdateText();
    TakeCommitted();
}

int TSpezialSpin::Value()
{
    UpdateText();
    TakeCommitted();
    return m_wholePart;
}

void TSpezialSpin::setValue(int value)
{
    // Never compared, as ValueReal: a write always replaces typed text.
    m_delayTimer->stop();
    m_currentValue = value;
    UpdateText();
    TakeCommitted();
}

double TSpezialSpin::ValuePrec()
{
    UpdateText();
    TakeCommitted();
    return m_fractionPart;
}

QString TSpezialSpin::ValueText()
{
    UpdateText();
    TakeCommitted();
    return m_innerEdit->text();
}

void TSpezialSpin::setMaxValue(double value)
{
    // Never compared: like a value write, it bounds the value and replaces typed text.
    m_maxValue = value;
    UpdateText();
}

void TSpezialSpin::setMinValue(double value)
{
    // Never compared: like a value write, it bounds the value and replaces typed text.
    m_minValue = value;
    UpdateText();
}

void TSpezialSpin::setTausenderZeichen(bool value)
{
    // Never compared: like a value write, it replaces typed text.
    m_tausenderZeichen = value;
    UpdateText();
}

void TSpezialSpin::setPlusZeichenPositiveWerte(bool value)
{
    // Stored only: takes effect with the next text update, not at once.
    m_plusZeichenPositiveWerte = value;
}

// Behaviour and look --------------------------------------------------------

void TSpezialSpin::setChangeDelay(int value)
{
    const int delay = value <= 0 ? 400 : value;
    if (delay == m_changeDelay)
        return;
    m_changeDelay = delay;
    m_delayTimer->setInterval(m_changeDelay);
}

void TSpezialSpin::setEditorEnabled(bool value)
{
    if (value == m_editorEnabled)
        return;
    m_editorEnabled = value;
    m_innerEdit->setReadOnly(!value);
}

void TSpezialSpin::setAllowArrowKeyChange(bool value)
{
    // Stored only: the next step key reads it.
    m_allowArrowKeyChange = value;
}

void TSpezialSpin::setTextCenter(bool value)
{
    if (value == m_textCenter)
        return;
    m_textCenter = value;
    m_innerEdit->setAlignment((value ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
    m_innerEdit->update();
    update();
}

void TSpezialSpin::setColor(TColor value)
{
    if (value == m_color)
        return;
    m_color = value;
    m_innerEdit->update();
    update();
}

void TSpezialSpin::setParentColor(bool value)
{
    if (value == m_parentColor)
        return;
    m_parentColor = value;
    update();
}

void TSpezialSpin::setBorderWidth(int value)
{
    const int clamped = qBound(0, value, 2);
    if (clamped == m_borderWidth)
        return;
    m_borderWidth = clamped;
    LayoutParts();
    update();
}

void TSpezialSpin::setBorderColWidth1(TColor value)
{
    if (value == m_borderColWidth1)
        return;
    m_borderColWidth1 = value;
    update();
}

void TSpezialSpin::setArrowSize(int value)
{
    const int clamped = qBound(6, value, 72);
    if (clamped == m_arrowSize)
        return;
    m_arrowSize = clamped;
    update();
}

void TSpezialSpin::setArrowColor(TColor value)
{
    if (value == m_arrowColor)
        return;
    m_arrowColor = value;
    update();
}

void TSpezialSpin::setTextBefore(const QString& value)
{
    if (value == m_textBefore)
        return;
    m_textBefore = value;
    MeasureTexts();
    LayoutParts();
    update();
}

void TSpezialSpin::setTextAfter(const QString& value)
{
    if (value == m_textAfter)
        return;
    m_textAfter = value;
    MeasureTexts();
    LayoutParts();
    update();
}

void TSpezialSpin::setTextSpacing(int value)
{
    if (value == m_textSpacing)
        return;
    m_textSpacing = value;
    LayoutParts();
    update();
}

void TSpezialSpin::setMarginTop(int value)
{
    if (value == m_marginTop)
        return;
    m_marginTop = value;
    LayoutParts();
}

void TSpezialSpin::setEditorColor(TColor value)
{
    if (value == m_editorColor)
        return;
    m_editorColor = value;
    ApplyEditorPalette();
    m_innerEdit->update();
}

void TSpezialSpin::setTextBeforeSubScriptcCount(int value)
{
    if (value == m_textBeforeSubScriptcCount)
        return;
    m_textBeforeSubScriptcCount = value;
    update();
}

void TSpezialSpin::setTabStop(bool value)
{
    if (value == m_tabStop)
        return;
    m_tabStop = value;
    // Tab moves into the edit itself; the control only forwards its focus.
    const Qt::FocusPolicy policy = value ? Qt::StrongFocus : Qt::ClickFocus;
    setFocusPolicy(policy);
    m_innerEdit->setFocusPolicy(policy);
}

void TSpezialSpin::ApplyEditorPalette()
{
    QPalette palette = m_innerEdit->palette();
    palette.setColor(QPalette::Base, Qt::white);
    const QColor text = ToQColor(m_editorColor);
    palette.setColor(QPalette::Active, QPalette::Text, text);
    palette.setColor(QPalette::Inactive, QPalette::Text, text);
    palette.setColor(QPalette::Disabled, QPalette::Text, ToQColor(clGrayText));
    m_innerEdit->setPalette(palette);
}

void TSpezialSpin::FontChanged()
{
    SetScreenFont(m_innerEdit, m_font->toQFont());
    MeasureTexts();
    LayoutParts();
    update();
}

// Layout --------------------------------------------------------------------

void TSpezialSpin::MeasureTexts()
{
    const QFontMetrics metrics(m_font->toQFont());
    m_prefixWidth = metrics.horizontalAdvance(m_textBefore);
    m_suffixWidth = metrics.horizontalAdvance(m_textAfter);
}

void TSpezialSpin::LayoutParts()
{
    const int boxLeft = m_prefixWidth + m_textSpacing;
    const int boxRight = width() - m_textSpacing - m_suffixWidth;
    const int boxWidth = boxRight - boxLeft;
    const int boxHeight = height();
    m_boxRect = RectLTRB(boxLeft, 0, boxRight, boxHeight);

    SetScreenFont(m_innerEdit, m_font->toQFont());

    // The edit box is as high as the font, at least 16; the arrow cells are
    // as wide as it is high.
    const int s = qMax(16, std::abs(m_font->Height()));
    const int editWidth = boxWidth - 2 * m_borderWidth - s - 8;
    const int editTop = qMax((boxHeight - s) / 2, m_borderWidth) + m_marginTop;
    m_innerEdit->setGeometry(boxLeft + m_borderWidth + 2, editTop, qMax(0, editWidth), s);

    const int r = boxRight - m_borderWidth - 1;
    m_upArrowRect = RectLTRB(r - s, m_borderWidth, r, boxHeight / 2);
    m_downArrowRect = RectLTRB(r - s, boxHeight / 2, r, boxHeight - m_borderWidth);
    m_textArea = RectLTRB(boxLeft + m_borderWidth, m_borderWidth, r - s - 1, boxHeight - m_borderWidth);
}

void TSpezialSpin::resizeEvent(QResizeEvent*)
{
    LayoutParts();
    update();
}

// Painting ------------------------------------------------------------------

QSize TSpezialSpin::ArrowGlyphExtent(int pixelSize, bool symbolFont)
{
    if (!symbolFont)
        return QSize(pixelSize, pixelSize); // the symbol font's cells are square
    const QFontMetrics metrics(SymbolFont(pixelSize));
    return QSize(metrics.horizontalAdvance(QStringLiteral("5")), metrics.height());
}

void TSpezialSpin::DrawArrowGlyph(TCanvas& canvas, int x, int y, bool up, int pixelSize, TColor color, bool symbolFont)
{
    if (symbolFont) {
        canvas.SetFont(SymbolFont(pixelSize));
        canvas.SetFontColor(color);
        canvas.SetBrushStyle(TBrushStyle::bsClear);
        canvas.SetTextAlign(TA_LEFT | TA_TOP);
        canvas.TextOut(x, y, up ? QStringLiteral("5") : QStringLiteral("6"));
        return;
    }
    // Proportions of the symbol font's triangles: a right-angled apex, about
    // 0.3 of the cell high, centred, the down one a row lower than the up one.
    const int k = pixelSize * 3 / 10;
    const int centre = x + (pixelSize - 1) / 2;
    const int top = y + (pixelSize - k - 1) / 2 + (up ? 0 : 1);
    const TBrushStyle brushStyle = canvas.BrushStyle();
    const TColor brushColor = canvas.BrushColor();
    canvas.SetBrushColor(color);
    if (canvas.PixelRatio() > 1) {
        // The same triangle as a shape, so a dense screen gets smooth edges
        // instead of the rows below enlarged into steps.
        const qreal apex = centre + 0.5;
        const qreal tip = up ? top : top + k + 1;
        const qreal base = up ? top + k + 1 : top;
        canvas.FillPolygon(QPolygonF({QPointF(apex, tip), QPointF(centre + k + 1, base), QPointF(centre - k, base)}));
    } else {
        for (int row = 0; row <= k; ++row) {
            const int half = up ? row : k - row;
            canvas.FillRect(QRect(centre - half, top + row, 2 * half + 1, 1));
        }
    }
    canvas.SetBrushColor(brushColor);
    canvas.SetBrushStyle(brushStyle);
}

void TSpezialSpin::PaintBorder(TCanvas& canvas) const
{
    const int L = m_boxRect.x();
    const int R = m_boxRect.x() + m_boxRect.width();
    const int T = 0;
    const int H = m_boxRect.height();
    canvas.SetPenStyle(TPenStyle::psSolid);
    switch (m_borderWidth) {
    case 1:
        canvas.SetPenColor(isEnabled() ? m_borderColWidth1 : clBtnShadow);
        canvas.Polyline({{L, H}, {L, T}, {R, T}});
        canvas.Polyline({{L + 1, H - 1}, {R - 1, H - 1}, {R - 1, T}});
        break;
    case 2:
        canvas.SetPenColor(clBtnShadow);
        canvas.Polyline({{L, H}, {L, T}, {R, T}});
        canvas.SetPenColor(cl3DDkShadow);
        canvas.Polyline({{L + 1, H}, {L + 1, T + 1}, {R, T + 1}});
        canvas.SetPenColor(clBtnHighlight);
        canvas.Polyline({{L + 1, H - 1}, {R - 1, H - 1}, {R - 1, T}});
        canvas.SetPenColor(clBtnFace);
        canvas.Polyline({{L + 2, H - 2}, {R - 2, H - 2}, {R - 2, T + 1}});
        break;
    default:
        break;
    }
}

void TSpezialSpin::PaintArrowCell(TCanvas& canvas, const QRect& cell, bool pressed, bool up) const
{
    const int L = cell.x();
    const int T = cell.y();
    const int R = cell.x() + cell.width();
    const int B = cell.y() + cell.height();
    const int w = R - L;
    const int h = B - T;

    if (m_borderWidth == 1) {
        canvas.SetPenColor(clWhite);
        canvas.SetBrushColor(clBtnFace);
        canvas.Rectangle(L, T, R + 1, B);
        // Separates the cell from the text area and from the cell above.
        canvas.SetPenColor(m_borderColWidth1);
        canvas.Polyline({{L - 1, B}, {L - 1, T - 1}});
        canvas.Polyline({{L, T - 1}, {R + 2, T - 1}});
    } else {
        canvas.SetPenColor(pressed ? clBtnShadow : clBtnHighlight);
        canvas.Polyline({{L, B - 1}, {L, T}, {R + 1, T}});
        canvas.SetPenColor(pressed ? clBtnHighlight : clBtnShadow);
        canvas.Polyline({{L, B - 1}, {R, B - 1}, {R, T}});
    }
    canvas.SetBrushStyle(TBrushStyle::bsClear);

    const bool symbolFont = TApplication::HasMarlett();
    const int pixelSize = TFont::PixelsForPoints(m_arrowSize);
    const QSize glyph = ArrowGlyphExtent(pixelSize, symbolFont);
    const int x = (w - glyph.width()) / 2 + L + 1;
    if (isEnabled()) {
        int y = (h - glyph.height()) / 2 + T - 1;
        if (pressed)
            y += up ? -1 : 1;
        DrawArrowGlyph(canvas, x, y, up, pixelSize, pressed ? clHighlight : m_arrowColor, symbolFont);
    } else {
        const int y = (h - glyph.height()) / 2 + T;
        DrawArrowGlyph(canvas, x, y, up, pixelSize, clBtnHighlight, symbolFont);
    }
}

void TSpezialSpin::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    TCanvas canvas(painter, event->rect());

    canvas.SetBrushStyle(TBrushStyle::bsSolid);
    if (!m_parentColor) {
        canvas.SetBrushColor(m_color);
        canvas.FillRect(rect());
    }
    canvas.SetBrushColor(clWhite);
    canvas.FillRect(m_textArea);

    PaintBorder(canvas);
    PaintArrowCell(canvas, m_upArrowRect, m_upPressed, true);
    PaintArrowCell(canvas, m_downArrowRect, m_downPressed, false);

    canvas.SetFont(m_font->toQFont());
    canvas.SetFontColor(m_font->Color());
    canvas.SetBrushStyle(TBrushStyle::bsClear);
    canvas.SetTextAlign(TA_LEFT | TA_TOP);

    const int y = m_innerEdit->y();
    const bool lowered = m_textBeforeSubScriptcCount > 0;
    const QString head = lowered ? m_textBefore.left(m_textBeforeSubScriptcCount) : QString();
    const QString tail = lowered ? m_textBefore.mid(m_textBeforeSubScriptcCount, 255) : QString();
    const QSize headExtent = canvas.TextExtent(head);
    const int suffixX = m_boxRect.x() + m_boxRect.width() + m_textSpacing;

    // The tail sits a third of the text height lower, like a subscript.
    auto drawTexts = [&](int dx, int dy) {
        if (lowered) {
            canvas.TextOut(dx, y + dy, head);
            canvas.TextOut(headExtent.width() + dx, y + headExtent.height() / 3 + dy, tail);
        } else {
            canvas.TextOut(dx, y + dy, m_textBefore);
        }
        canvas.TextOut(suffixX + dx, y + dy, m_textAfter);
    };
    if (isEnabled())
        drawTexts(0, 0);
    else
        canvas.Engraved(clWindow, clBtnShadow, drawTexts);
}

void TSpezialSpin::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange) {
        if (!isEnabled())
            CancelHold();
        repaint();
        m_innerEdit->setEnabled(isEnabled());
        m_innerEdit->update();
    }
    QWidget::changeEvent(event);
}

bool TSpezialSpin::event(QEvent* event)
{
    if (event->type() == QEvent::WindowDeactivate) {
        // The release will go to whatever took the activation (a message
        // box, another program), never here.
        QPointer<TSpezialSpin> self(this);
        LoseMouse();
        if (!self)
            return true;
    }
    return QWidget::event(event);
}

void TSpezialSpin::hideEvent(QHideEvent* event)
{
    CancelHold();
    QWidget::hideEvent(event);
}

// Mouse -----------------------------------------------------------------------

void TSpezialSpin::mousePressEvent(QMouseEvent* event)
{
    // Taken here and not passed on: the control raises no press of its own.
    event->accept();
    BeginHold(event->position().toPoint());
}

void TSpezialSpin::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click steps like any other.
    event->accept();
    BeginHold(event->position().toPoint());
}

void TSpezialSpin::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    EndHold();
}

void TSpezialSpin::wheelEvent(QWheelEvent* event)
{
    // Taken even when nothing steps, so the window behind never scrolls.
    event->accept();
    if (!isEnabled() || !m_allowArrowKeyChange || m_mouseHeld)
        return;
    // High-resolution wheels and touchpads send parts of a notch; they add up
    // to whole notches, and a turn the other way drops what was left over.
    const int delta = event->angleDelta().y();
    if ((delta > 0 && m_wheelRemainder < 0) || (delta < 0 && m_wheelRemainder > 0))
        m_wheelRemainder = 0;
    m_wheelRemainder += delta;
    QPointer<TSpezialSpin> self(this);
    // One notch, one step, however fast the wheel turns: the user can count.
    while (self && (m_wheelRemainder >= 120 || m_wheelRemainder <= -120)) {
        const bool up = m_wheelRemainder > 0;
        m_wheelRemainder += up ? -120 : 120;
        WheelStep(up);
    }
}

void TSpezialSpin::WheelStep(bool up)
{
    // Exactly what the release of an arrow key does, typed text included.
    QPointer<TSpezialSpin> self(this);
    m_wheelStepping = true;
    RunGuarded([&] {
        if (m_editorEnabled)
            m_currentValue = QuickValue();
        StepByKey(up);
    });
    if (self)
        m_wheelStepping = false;
}

void TSpezialSpin::BeginHold(const QPoint& pos)
{
    m_mouseHeld = true;
    m_delayTimer->stop();
    m_upPressed = m_upArrowRect.contains(pos);
    m_downPressed = m_downArrowRect.contains(pos);
    repaint();
    m_innerEdit->setFocus(Qt::MouseFocusReason);

    // The first step belongs to the press itself; the timer then repeats the
    // cycle until the release, with the event loop running in between.
    m_repeatTimer->stop();
    HoldCycle();
    if (m_mouseHeld)
        m_repeatTimer->start();
}

void TSpezialSpin::HoldCycle()
{
    if (!m_mouseHeld) {
        m_repeatTimer->stop();
        return;
    }
    if (!HoldOwnsMouse()) {
        LoseMouse();
        return;
    }
    m_innerEdit->setCursorPosition(0);
    if (m_upPressed)
        StepUp();
    if (m_downPressed)
        StepDown();
}

void TSpezialSpin::EndHold()
{
    m_mouseHeld = false;
    m_upPressed = false;
    m_downPressed = false;
    m_repeatTimer->stop();
    m_delayTimer->stop();
    m_runningIncrement = 0;
    repaint();
    // Every release on the control reports, changed or not; the window
    // recomputes from it.
    TakeCommitted();
    if (OnDelayedChange)
        OnDelayedChange(this);
}

bool TSpezialSpin::HoldOwnsMouse() const
{
    // Not every platform deactivates the window for these, so the hold looks
    // before each step: a modal box over the window, an open popup or a grab
    // of another widget takes the release away from this control.
    const QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal != window())
        return false;
    if (QApplication::activePopupWidget())
        return false;
    const QWidget* grabber = QWidget::mouseGrabber();
    return !grabber || grabber == this;
}

void TSpezialSpin::LoseMouse()
{
    // Ends the hold as the release would have: the value has moved with
    // every step, and the window only learns of it from the report.
    if (m_mouseHeld)
        EndHold();
}

void TSpezialSpin::CancelHold()
{
    // Hidden or disabled while held: Qt will not deliver the release here, so
    // the repetition must not outlive the press.
    if (!m_mouseHeld)
        return;
    m_mouseHeld = false;
    m_upPressed = false;
    m_downPressed = false;
    m_repeatTimer->stop();
    m_runningIncrement = 0;
    update();
}

// Keyboard and focus ------------------------------------------------------------

bool TSpezialSpin::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_innerEdit)
        return QWidget::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::Wheel:
        // Taken here rather than left to propagate: Qt passes only the
        // wheel events of the window system on to a parent.
        wheelEvent(static_cast<QWheelEvent*>(event));
        return true;
    case QEvent::ShortcutOverride:
        if (!EditTakesShortcut(*static_cast<QKeyEvent*>(event))) {
            event->ignore();
            return true;
        }
        break;
    case QEvent::KeyPress: {
        // Key down and character alike; the edit then handles the key.
        m_delayTimer->stop();
        const auto* key = static_cast<QKeyEvent*>(event);
        m_keysDown.insert(KeyIdentity(*key));
        const bool leaving = (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
            && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        // Leaving by Tab commits typed text as Enter does, since the key
        // press has just cancelled the delayed commit. Text nobody typed is
        // left alone: committing it would round the value to the shown
        // decimals just for passing through.
        if (leaving) {
            QPointer<TSpezialSpin> self(this);
            CommitPendingText();
            if (!self)
                return true;
        }
        break;
    }
    case QEvent::KeyRelease: {
        auto* key = static_cast<QKeyEvent*>(event);
        // On Windows a held key repeats only its press; a repeated release
        // would step and commit with every repetition.
        if (key->isAutoRepeat() || !m_keysDown.remove(KeyIdentity(*key)))
            break;
        QPointer<TSpezialSpin> self(this);
        InnerEditKeyReleased(*key);
        if (!self)
            return true;
        break;
    }
    case QEvent::FocusIn: {
        m_keysDown.clear();
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && OnEnter)
            OnEnter(this);
        break;
    }
    case QEvent::FocusOut: {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && OnExit)
            OnExit(this);
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

bool TSpezialSpin::EditTakesShortcut(const QKeyEvent& event) const
{
    const Qt::KeyboardModifiers modifiers = event.modifiers()
        & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const bool ctrl = modifiers == Qt::ControlModifier;
    const bool ctrlShift = modifiers == (Qt::ControlModifier | Qt::ShiftModifier);
    if (event.matches(QKeySequence::Undo) || (ctrl && event.key() == Qt::Key_Z))
        return HasTypedText() && m_innerEdit->isUndoAvailable();
    if (event.matches(QKeySequence::Redo) || (ctrl && event.key() == Qt::Key_Y)
        || (ctrlShift && event.key() == Qt::Key_Z))
        return m_innerEdit->isRedoAvailable();
    return true;
}

void TSpezialSpin::InnerEditKeyReleased(const QKeyEvent& event)
{
    quint16 key = VirtualKeyCode(event.key(), event.modifiers());
#ifdef Q_OS_WIN
    // The desktop's own code, which also knows the keyboard layout.
    if (event.nativeVirtualKey() != 0)
        key = quint16(event.nativeVirtualKey());
#endif
    const Qt::KeyboardModifiers shift = event.modifiers() & (Qt::ShiftModifier | Qt::AltModifier | Qt::ControlModifier);
    QPointer<TSpezialSpin> self(this);

    // A calculator failure ends the handling of this key in the general
    // error handler; OnArrowKeyChanged is then not raised either.
    RunGuarded([&] {
        if (m_editorEnabled) {
            m_currentValue = QuickValue();
            m_delayTimer->start();
        }

        switch (key) {
        case VirtualKey::Return:
            CommitText();
            if (!self)
                return;
            if (shift.testFlag(Qt::ControlModifier) && OnKeySTRGENTER) {
                OnKeySTRGENTER(this);
                if (!self)
                    return;
            }
            break;
        case VirtualKey::PageUp:
        case VirtualKey::Up:
        case VirtualKey::Right:
            if (m_allowArrowKeyChange) {
                StepByKey(true);
                if (!self)
                    return;
            }
            break;
        case VirtualKey::PageDown:
        case VirtualKey::Down:
        case VirtualKey::Left:
            if (m_allowArrowKeyChange) {
                StepByKey(false);
                if (!self)
                    return;
            }
            break;
        default:
            break;
        }

        if (OnArrowKeyChanged)
            OnArrowKeyChanged(this, key, shift);
    });
}

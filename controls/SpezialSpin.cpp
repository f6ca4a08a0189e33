// Face of the spin editor: value, bounds and text. Interaction and painting
// follow on this class.
#include "controls/SpezialSpin.h"

#include "calc/NumberFormat.h"
#include "calc/RUVTaRe.h"
#include "platform/Canvas.h"
#include "platform/Font.h"

#include <QLineEdit>
#include <QPainter>
#include <QTimer>

#include <cmath>

namespace {
TRUVTaRe* sharedCalculator = nullptr;
}

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

TSpezialSpin::TSpezialSpin(QWidget* parent)
    : QWidget(parent)
    , m_font(new TFont(this))
{
    m_font->setColor(clBtnText);
    resize(120, 20);
    m_innerEdit = new QLineEdit(this);
    m_innerEdit->setObjectName(QStringLiteral("InnerEdit"));
    m_innerEdit->setFrame(false);
    m_innerEdit->setText(QStringLiteral("0"));
    m_delayTimer = new QTimer(this);
    m_delayTimer->setSingleShot(true);
    m_delayTimer->setInterval(m_changeDelay);
    LayoutParts();
}

TSpezialSpin::~TSpezialSpin() = default;

void TSpezialSpin::UpdateText()
{
    m_delayTimer->stop();
    if (m_maxValue > 0 && m_currentValue > m_maxValue)
        m_currentValue = m_maxValue;
    if (!(m_currentValue >= m_minValue))
        m_currentValue = m_minValue;
    m_wholePart = int(std::trunc(m_currentValue));
    m_fractionPart = m_currentValue - m_wholePart;
    const QString text = m_tausenderZeichen ? NumberFormat::FormatN(m_nachkommaStellen, m_currentValue)
                                            : NumberFormat::FormatF(m_nachkommaStellen, m_currentValue);
    m_innerEdit->setText(text);
}

void TSpezialSpin::LayoutParts()
{
    const int s = 16;
    m_innerEdit->setGeometry(2, 2, qMax(0, width() - 2 * m_borderWidth - s - 8), s);
}

void TSpezialSpin::setNachkommaStellen(int value)
{
    m_nachkommaStellen = qBound(0, value, 8);
    UpdateText();
}

void TSpezialSpin::setChangeDelay(int value)
{
    m_changeDelay = value <= 0 ? 400 : value;
    m_delayTimer->setInterval(m_changeDelay);
}

double TSpezialSpin::ValueReal()
{
    UpdateText();
    return m_currentValue;
}

void TSpezialSpin::setValueReal(double value)
{
    m_currentValue = value;
    UpdateText();
}

int TSpezialSpin::Value()
{
    UpdateText();
    return m_wholePart;
}

void TSpezialSpin::setValue(int value)
{
    setValueReal(value);
}

double TSpezialSpin::ValuePrec()
{
    UpdateText();
    return m_fractionPart;
}

QString TSpezialSpin::ValueText()
{
    UpdateText();
    return m_innerEdit->text();
}

void TSpezialSpin::setMaxValue(double value) { m_maxValue = value; UpdateText(); }
void TSpezialSpin::setMinValue(double value) { m_minValue = value; UpdateText(); }
void TSpezialSpin::setMarginTop(int value) { m_marginTop = value; LayoutParts(); }
void TSpezialSpin::setEditorEnabled(bool value) { m_editorEnabled = value; m_innerEdit->setReadOnly(!value); }
void TSpezialSpin::setTextCenter(bool value) { m_textCenter = value; m_innerEdit->setAlignment(value ? Qt::AlignHCenter : Qt::AlignLeft); }
void TSpezialSpin::setColor(TColor value) { m_color = value; update(); }
void TSpezialSpin::setBorderWidth(int value) { m_borderWidth = qBound(0, value, 2); LayoutParts(); update(); }
void TSpezialSpin::setBorderColWidth1(TColor value) { m_borderColWidth1 = value; update(); }
void TSpezialSpin::setArrowSize(int value) { m_arrowSize = qBound(6, value, 72); update(); }
void TSpezialSpin::setArrowColor(TColor value) { m_arrowColor = value; update(); }
void TSpezialSpin::setTextBefore(const QString& value) { m_textBefore = value; LayoutParts(); update(); }
void TSpezialSpin::setTextAfter(const QString& value) { m_textAfter = value; LayoutParts(); update(); }
void TSpezialSpin::setTextSpacing(int value) { m_textSpacing = value; LayoutParts(); update(); }
void TSpezialSpin::setEditorColor(TColor value) { m_editorColor = value; update(); }
void TSpezialSpin::setTausenderZeichen(bool value) { m_tausenderZeichen = value; UpdateText(); }
void TSpezialSpin::setAllowArrowKeyChange(bool value) { m_allowArrowKeyChange = value; }
void TSpezialSpin::setPlusZeichenPositiveWerte(bool value) { m_plusZeichenPositiveWerte = value; }
void TSpezialSpin::setTextBeforeSubScriptcCount(int value) { m_textBeforeSubScriptcCount = value; update(); }
void TSpezialSpin::setParentColor(bool value) { m_parentColor = value; update(); }
void TSpezialSpin::setTabStop(bool value) { m_tabStop = value; setFocusPolicy(value ? Qt::TabFocus : Qt::ClickFocus); }

void TSpezialSpin::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    TCanvas canvas(painter);
    canvas.SetFont(m_font->toQFont());
    canvas.SetFontColor(m_font->Color());
    canvas.SetBrushStyle(TBrushStyle::bsClear);
    canvas.TextOut(0, m_innerEdit->y(), m_textBefore);
    canvas.SetPenColor(m_borderColWidth1);
    canvas.Rectangle(QRect(canvas.TextWidth(m_textBefore), 0, width() - canvas.TextWidth(m_textBefore), height()));
}

void TSpezialSpin::resizeEvent(QResizeEvent*)
{
    LayoutParts();
}

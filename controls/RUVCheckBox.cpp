// Face of the check box; bitmaps, groups and painting follow on this class.
#include "controls/RUVCheckBox.h"

#include "platform/Canvas.h"
#include "platform/Font.h"

#include <QMouseEvent>
#include <QPainter>

TRUVCheckBox::TRUVCheckBox(QWidget* parent)
    : QWidget(parent)
    , m_font(new TFont(this))
{
    resize(80, 20);
}

TRUVCheckBox::~TRUVCheckBox() = default;

void TRUVCheckBox::setCaption(const QString& value) { m_caption = value; repaint(); }
void TRUVCheckBox::setChecked(bool value) { m_checked = value; repaint(); }
void TRUVCheckBox::SetCheckedSilent(bool value) { m_checked = value; repaint(); }
void TRUVCheckBox::setRightHand(bool value) { m_rightHand = value; repaint(); }
void TRUVCheckBox::setHookColor(TColor value) { m_hookColor = value; repaint(); }
void TRUVCheckBox::setLook3D(bool value) { m_look3D = value; repaint(); }
void TRUVCheckBox::setStyle(TCheckBoxStyle value) { m_style = value; repaint(); }
void TRUVCheckBox::setBackgroundOpak(bool value) { m_backgroundOpak = value; repaint(); }
void TRUVCheckBox::setBackgroundColor(TColor value) { m_backgroundColor = value; repaint(); }
void TRUVCheckBox::setGroupIndex(int value) { m_groupIndex = value; }
void TRUVCheckBox::setYKorrekturText(int value) { m_yKorrekturText = value; repaint(); }
void TRUVCheckBox::setAutoBoldRadioButton(bool value) { m_autoBoldRadioButton = value; }

void TRUVCheckBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    TCanvas canvas(painter);
    const int m = (height() - 12) / 2;
    canvas.SetPenColor(clGray);
    canvas.SetBrushColor(clWhite);
    canvas.Rectangle(m, m, m + 12, m + 12);
    if (m_checked) {
        canvas.SetPenColor(clBlue);
        canvas.Polyline({{m + 3, m + 6}, {m + 5, m + 8}, {m + 10, m + 3}});
    }
    canvas.SetFont(m_font->toQFont());
    canvas.SetFontColor(m_pressed ? m_hookColor : m_font->Color());
    canvas.SetBrushStyle(TBrushStyle::bsClear);
    canvas.TextOut(12 + 2 * m, (height() - canvas.TextHeight(QStringLiteral("Ag"))) / 2 + m_yKorrekturText, m_caption);
}

void TRUVCheckBox::mousePressEvent(QMouseEvent*)
{
    m_pressed = true;
    repaint();
}

void TRUVCheckBox::mouseReleaseEvent(QMouseEvent*)
{
    m_pressed = false;
    m_checked = !m_checked;
    repaint();
    if (OnChange)
        OnChange(this);
}

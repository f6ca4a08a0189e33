// Face of the hover label; painting and hover behaviour follow on this class.
#include "controls/RUVLabel.h"

#include "platform/Canvas.h"
#include "platform/Font.h"

#include <QMouseEvent>
#include <QPainter>

TRUVLabel::TRUVLabel(QWidget* parent)
    : QWidget(parent)
    , m_font(new TFont(this))
{
    resize(200, 20);
}

TRUVLabel::~TRUVLabel() = default;

void TRUVLabel::setLabelTyp(TLtype value) { m_labelTyp = value; update(); }
void TRUVLabel::setLabelLayout(TLayout value) { m_labelLayout = value; update(); }
void TRUVLabel::setLabelBevel(TBevelFrame value) { m_labelBevel = value; update(); }
void TRUVLabel::setLabelExecute(const QString& value) { m_labelExecute = value; }
void TRUVLabel::setShowEllipses(bool value) { m_showEllipses = value; update(); }
void TRUVLabel::setBorders(TBorders value) { m_borders = value; update(); }
void TRUVLabel::setColor(TColor value) { m_color = value; update(); }
void TRUVLabel::setColorHoover(TColor value) { m_colorHoover = value; update(); }
void TRUVLabel::setColorGlow(TColor value) { m_colorGlow = value == 0 ? RGBColor(1, 0, 0) : value; update(); }
void TRUVLabel::setColorSingleBorder(TColor value) { m_colorSingleBorder = value; update(); }
void TRUVLabel::setColorEllipsesLine(TColor value) { m_colorEllipsesLine = value; update(); }
void TRUVLabel::setColorBorder(TColor value) { m_colorBorder = value; update(); }
void TRUVLabel::setColorHooverText(TColor value) { m_colorHooverText = value; }
void TRUVLabel::setCaption(const QString& value)
{
    m_caption = value;
    update();
    if (OnChange && isVisible())
        OnChange(this);
}
void TRUVLabel::setCaptionVisible(bool value) { m_captionVisible = value; update(); }
void TRUVLabel::setCaptionMarginTop(int value) { m_captionMarginTop = value; update(); }
void TRUVLabel::setNoChooseCaption(const QString& value) { m_noChooseCaption = value; update(); }
void TRUVLabel::setGlyph(const QImage& value) { m_glyph = value; update(); }
void TRUVLabel::setShowDesigntimeFrame(bool value) { m_showDesigntimeFrame = value; update(); }
void TRUVLabel::setDesigntimeFrameColor(TColor value) { m_designtimeFrameColor = value; update(); }
void TRUVLabel::setTag2(int value) { m_tag2 = value; }
void TRUVLabel::setAutoWidth(bool value) { m_autoWidth = value; }

void TRUVLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    TCanvas canvas(painter);
    if (m_color != clNone) {
        canvas.SetBrushColor(m_color);
        canvas.FillRect(rect());
    }
    canvas.SetFont(m_font->toQFont());
    canvas.SetFontColor(m_font->Color());
    canvas.SetBrushStyle(TBrushStyle::bsClear);
    canvas.SetTextAlign(TA_CENTER);
    canvas.TextOut(width() / 2, (height() - canvas.TextHeight(QStringLiteral("A"))) / 2, m_caption);
    if (m_labelBevel == bfsingle) {
        canvas.SetPenColor(m_colorSingleBorder);
        canvas.Polyline({{0, height()}, {0, 0}, {width(), 0}});
        canvas.Polyline({{width() - 1, 1}, {width() - 1, height() - 1}, {0, height() - 1}});
    }
}

void TRUVLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && OnClick)
        OnClick(this);
}

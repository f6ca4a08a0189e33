// Face of the flat glyph button; painting and mouse handling follow on this class.
#include "controls/RUVButton.h"

#include "platform/Canvas.h"
#include "platform/Font.h"

#include <QMouseEvent>
#include <QPainter>

void TRUVButton::ModuleStartup() {}
void TRUVButton::ModuleShutdown() {}

TRUVButton::TRUVButton(QWidget* parent)
    : QWidget(parent)
    , m_font(new TFont(this))
{
    resize(64, 24);
}

TRUVButton::~TRUVButton() = default;

void TRUVButton::setCaption(const QString& value) { m_caption = value; update(); }
void TRUVButton::setCaptionPosition(TBSTextPos value) { m_captionPosition = value; update(); }
void TRUVButton::setColorHighlight(TColor value) { m_colorHighlight = value; update(); }
void TRUVButton::setColorEdgeLight(TColor value) { m_colorEdgeLight = value; update(); }
void TRUVButton::setColorEdgeShadow(TColor value) { m_colorEdgeShadow = value; update(); }
void TRUVButton::setColorHighlightText(TColor value) { m_colorHighlightText = value; update(); }
void TRUVButton::setColorSpezialFrame(TColor value) { m_colorSpezialFrame = value; update(); }
void TRUVButton::setColorAllwaysBorder(TColor value) { m_colorAllwaysBorder = value; update(); }
void TRUVButton::setColorDownBackGround(TColor value) { m_colorDownBackGround = value; repaint(); }
void TRUVButton::setColorBackground(TColor value) { m_colorBackground = value; update(); }
void TRUVButton::setColorBorderMouseIn(TColor value) { m_colorBorderMouseIn = value; }
void TRUVButton::setColorButtonDownText(TColor value) { m_colorButtonDownText = value; repaint(); }
void TRUVButton::setSpezialFrame(bool value) { m_spezialFrame = value; update(); }
void TRUVButton::setMargin(int value) { m_margin = value; update(); }
void TRUVButton::setGlyph(const QImage& value) { m_glyph = value; update(); }
void TRUVButton::setGroupIndex(int value) { m_groupIndex = value; }
void TRUVButton::setDown(bool value) { m_down = value; update(); }
void TRUVButton::setNormalFlat(bool value) { m_normalFlat = value; }
void TRUVButton::setEdgestyle(TBStil value) { m_edgestyle = value; update(); }
void TRUVButton::setSimpleAnimation(bool value) { m_simpleAnimation = value; }
void TRUVButton::setShowAllwaysColor(bool value) { m_showAllwaysColor = value; update(); }
void TRUVButton::setShowAllwaysSimpleBorder(bool value) { m_showAllwaysSimpleBorder = value; update(); }
void TRUVButton::setShowBackgroundColor(bool value) { m_showBackgroundColor = value; update(); }
void TRUVButton::setButtontyp(TBTNTyp value) { m_buttontyp = value; }
void TRUVButton::setButton_Execute(const QString& value) { m_buttonExecute = value; }

void TRUVButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    TCanvas canvas(painter);
    canvas.Draw((width() - m_glyph.width()) / 2, (height() - m_glyph.height()) / 2, m_glyph, true);
}

void TRUVButton::mousePressEvent(QMouseEvent*)
{
    m_pressed = true;
}

void TRUVButton::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click && OnClick)
        OnClick(this);
}

// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "controls/KeyboardAccess.h"
#include "platform/Colors.h"
#include "platform/Events.h"

#include <QImage>
#include <QMenu>
#include <QPoint>
#include <QPointer>
#include <QSize>
#include <QWidget>

#include <map>

class QTimer;
class TCanvas;
class TFont;

// Flat, windowless push button with a glyph and an optional caption. At rest
// it shows only glyph and caption; hovering adds the frame and the highlight,
// pressing or holding it down the sunken frame over a checkered background.
// It acts as push button, toggle, member of an exclusive group, menu button
// or shell launcher, and dispatches a click by the Ctrl and Shift keys.
class TRUVButton : public QWidget
{
    Q_OBJECT
public:
    enum TBSTextPos { tp_none, tp_left, tp_right, tp_bottom, tp_top, tp_center, tp_Strikt_L, tp_Strikt_R };
    Q_ENUM(TBSTextPos)
    enum TBStil { bs_rectangle, bs_breakedrect, bs_architectural, bs_circle, bs_none, bs_rectHollow };
    Q_ENUM(TBStil)
    enum TBTNTyp { typ_normal, typ_execute };
    Q_ENUM(TBTNTyp)

private:
    // Declared in the order a window description applies them.
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(TBSTextPos CaptionPosition READ CaptionPosition WRITE setCaptionPosition)
    Q_PROPERTY(TColor ColorHighlight READ ColorHighlight WRITE setColorHighlight)
    Q_PROPERTY(TColor ColorEdgeLight READ ColorEdgeLight WRITE setColorEdgeLight)
    Q_PROPERTY(TColor ColorEdgeShadow READ ColorEdgeShadow WRITE setColorEdgeShadow)
    Q_PROPERTY(TColor ColorHighlightText READ ColorHighlightText WRITE setColorHighlightText)
    Q_PROPERTY(TColor ColorSpezialFrame READ ColorSpezialFrame WRITE setColorSpezialFrame)
    Q_PROPERTY(TColor ColorAllwaysBorder READ ColorAllwaysBorder WRITE setColorAllwaysBorder)
    Q_PROPERTY(TColor ColorDownBackGround READ ColorDownBackGround WRITE setColorDownBackGround)
    Q_PROPERTY(TColor ColorBackground READ ColorBackground WRITE setColorBackground)
    Q_PROPERTY(TColor ColorBorderMouseIn READ ColorBorderMouseIn WRITE setColorBorderMouseIn)
    Q_PROPERTY(TColor ColorButtonDownText READ ColorButtonDownText WRITE setColorButtonDownText)
    Q_PROPERTY(bool SpezialFrame READ SpezialFrame WRITE setSpezialFrame)
    Q_PROPERTY(int Margin READ Margin WRITE setMargin)
    Q_PROPERTY(QImage Glyph READ Glyph WRITE setGlyph)
    Q_PROPERTY(int GroupIndex READ GroupIndex WRITE setGroupIndex)
    Q_PROPERTY(bool Down READ Down WRITE setDown)
    Q_PROPERTY(bool NormalFlat READ NormalFlat WRITE setNormalFlat)
    Q_PROPERTY(TBStil Edgestyle READ Edgestyle WRITE setEdgestyle)
    Q_PROPERTY(bool SimpleAnimation READ SimpleAnimation WRITE setSimpleAnimation)
    Q_PROPERTY(bool ShowAllwaysColor READ ShowAllwaysColor WRITE setShowAllwaysColor)
    Q_PROPERTY(bool ShowAllwaysSimpleBorder READ ShowAllwaysSimpleBorder WRITE setShowAllwaysSimpleBorder)
    Q_PROPERTY(bool ShowBackgroundColor READ ShowBackgroundColor WRITE setShowBackgroundColor)
    Q_PROPERTY(TBTNTyp Buttontyp READ Buttontyp WRITE setButtontyp)
    Q_PROPERTY(QString Button_Execute READ Button_Execute WRITE setButton_Execute)

public:
    explicit TRUVButton(QWidget* parent = nullptr);
    ~TRUVButton() override;

    QString Caption() const { return m_caption; }
    void setCaption(const QString& value);
    TBSTextPos CaptionPosition() const { return m_captionPosition; }
    void setCaptionPosition(TBSTextPos value);
    TColor ColorHighlight() const { return m_colorHighlight; }
    void setColorHighlight(TColor value);
    TColor ColorEdgeLight() const { return m_colorEdgeLight; }
    void setColorEdgeLight(TColor value);
    TColor ColorEdgeShadow() const { return m_colorEdgeShadow; }
    void setColorEdgeShadow(TColor value);
    TColor ColorHighlightText() const { return m_colorHighlightText; }
    void setColorHighlightText(TColor value);
    TColor ColorSpezialFrame() const { return m_colorSpezialFrame; }
    void setColorSpezialFrame(TColor value);
    TColor ColorAllwaysBorder() const { return m_colorAllwaysBorder; }
    void setColorAllwaysBorder(TColor value);
    TColor ColorDownBackGround() const { return m_colorDownBackGround; }
    void setColorDownBackGround(TColor value);
    TColor ColorBackground() const { return m_colorBackground; }
    void setColorBackground(TColor value);
    TColor ColorBorderMouseIn() const { return m_colorBorderMouseIn; }
    void setColorBorderMouseIn(TColor value);
    TColor ColorButtonDownText() const { return m_colorButtonDownText; }
    void setColorButtonDownText(TColor value);
    bool SpezialFrame() const { return m_spezialFrame; }
    void setSpezialFrame(bool value);
    int Margin() const { return m_margin; }
    void setMargin(int value);
    QImage Glyph() const { return m_glyph; }
    void setGlyph(const QImage& value);
    int GroupIndex() const { return m_groupIndex; }
    void setGroupIndex(int value);
    bool Down() const { return m_down; }
    void setDown(bool value);
    bool NormalFlat() const { return m_normalFlat; }
    void setNormalFlat(bool value);
    TBStil Edgestyle() const { return m_edgestyle; }
    void setEdgestyle(TBStil value);
    bool SimpleAnimation() const { return m_simpleAnimation; }
    void setSimpleAnimation(bool value);
    bool ShowAllwaysColor() const { return m_showAllwaysColor; }
    void setShowAllwaysColor(bool value);
    bool ShowAllwaysSimpleBorder() const { return m_showAllwaysSimpleBorder; }
    void setShowAllwaysSimpleBorder(bool value);
    bool ShowBackgroundColor() const { return m_showBackgroundColor; }
    void setShowBackgroundColor(bool value);
    TBTNTyp Buttontyp() const { return m_buttontyp; }
    void setButtontyp(TBTNTyp value);
    QString Button_Execute() const { return m_buttonExecute; }
    void setButton_Execute(const QString& value);

    TFont* Font() const { return m_font; }
    QString Hint() const { return toolTip(); }
    void setHint(const QString& value) { setToolTip(value); }
    QMenu* PopupMenu() const { return m_popupMenu; }
    void setPopupMenu(QMenu* menu) { m_popupMenu = menu; }

    // The click action: toggles or releases Down, then shows the popup menu,
    // fires the click event chosen by the modifiers or opens Button_Execute.
    // Left release over the button after a press on it and the second press
    // of a double-click run it.
    void Click();
    // A click that no mouse makes (Space or Enter on the focused button, the
    // press action of assistive technology): Click() with these modifiers in
    // place of the ones a press would have recorded.
    void KeyboardClick(Qt::KeyboardModifiers modifiers = {});

    // Where glyph and caption go. The caption anchor is the text's top edge
    // and, by textAlign, its horizontal centre or its left edge.
    struct TGlyphLayout {
        QPoint glyph;
        QPoint caption;
        unsigned textAlign = 0;
    };
    static TGlyphLayout ComputeLayout(TBSTextPos position, QSize client, QSize text, QSize glyph, int margin);

    TNotifyEvent OnClick;
    TNotifyEvent OnSTRGClick;
    TNotifyEvent OnSHIFTClick;
    TNotifyEvent OnMouseIn;
    TNotifyEvent OnMouseOut;
    TNotifyEvent OnMouseHold;

    // The shared pressed-background pattern, built by the module's start-up.
    static void ModuleStartup();
    static void ModuleShutdown();
    // Null before start-up and after shut-down; the fills that use them are
    // then left out.
    static const QImage* DownPattern();
    static const QImage* DownPatternTile();

protected:
    bool MouseIn() const { return m_mouseIn; }
    bool Pressed() const { return m_pressed; }
    QImage GreyGlyph() const { return m_greyGlyph; }
    QImage DisabledGlyph() const { return m_disabledGlyph; }

    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void pointerEntered();
    void pointerLeft();
    void buttonDown(QMouseEvent* event);
    void buttonUp(QMouseEvent* event);
    void holdTick();
    void cancelPress();
    void showPopupMenu(const QPoint& globalPos);
    void UpdateGroup();
    void RefreshMouseIn();
    void PrepareGlyphs();
    void rebuildMaskedGlyphs();
    // The glyph in colour, grey and pale, ready to draw on a device of this
    // pixel ratio.
    struct TGlyphSet {
        QImage colour;
        QImage grey;
        QImage pale;
    };
    TGlyphSet GlyphsForPixelRatio(qreal ratio) const;
    void DrawEdge(TCanvas& canvas, bool raised) const;
    void styledFill(TCanvas& canvas, const QRect& r, TColor color) const;
    void pressedFill(TCanvas& canvas, const QRect& r) const;
    void disabledDownFill(TCanvas& canvas) const;

    TFont* m_font = nullptr;
    QPointer<QMenu> m_popupMenu;
    QString m_caption;
    TBSTextPos m_captionPosition = tp_top;
    TColor m_colorHighlight = clWhite;
    TColor m_colorEdgeLight = clGray;
    TColor m_colorEdgeShadow = clGray;
    TColor m_colorHighlightText = clWindowText;
    TColor m_colorSpezialFrame = clWhite;
    TColor m_colorAllwaysBorder = clBtnShadow;
    TColor m_colorDownBackGround = clNone;
    TColor m_colorBackground = clNone;
    TColor m_colorBorderMouseIn = clBlack;
    TColor m_colorButtonDownText = clBlack;
    bool m_spezialFrame = true;
    int m_margin = 4;
    QImage m_glyph;
    int m_groupIndex = 0;
    bool m_down = false;
    bool m_normalFlat = true;
    TBStil m_edgestyle = bs_rectangle;
    bool m_simpleAnimation = true;
    bool m_showAllwaysColor = false;
    bool m_showAllwaysSimpleBorder = false;
    bool m_showBackgroundColor = false;
    TBTNTyp m_buttontyp = typ_normal;
    QString m_buttonExecute;

    bool m_mouseIn = false;
    bool m_pressed = false;
    bool m_ctrlAtClick = false;
    bool m_shiftAtClick = false;
    QImage m_greyGlyph;
    QImage m_disabledGlyph;
    // The three pictures with their key colour made transparent, so painting
    // only draws them.
    QImage m_glyphMasked;
    QImage m_greyGlyphMasked;
    QImage m_disabledGlyphMasked;
    // The same three from the glyph's drawing, per density of the screens
    // the button has been shown on; a cache that painting fills.
    mutable std::map<qreal, TGlyphSet> m_fineGlyphs;

    // What the framework's notifications last told about the pointer, kept
    // apart from MouseIn, which RefreshMouseIn may overwrite.
    bool m_pointerInside = false;
    // A left press on the button that a release over it turns into a click.
    bool m_clickPending = false;
    QTimer* m_holdTimer = nullptr;
    TKeyboardClick* m_keyboard = nullptr;
};

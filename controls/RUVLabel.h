// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "controls/KeyboardAccess.h"
#include "platform/Colors.h"
#include "platform/Events.h"

#include <QImage>
#include <QPoint>
#include <QWidget>

#include <functional>

class QFontMetrics;
class TCanvas;
class TFont;

// Windowless text control: caption with an optional glyph, background,
// hover colours, bevel and border lines, in several variants (plain,
// hyperlink, hover background, file-path field, glow / raised / lowered
// caption pictures).
class TRUVLabel : public QWidget
{
    Q_OBJECT
public:
    // The ordinal values are what window descriptions store.
    enum TLtype { ltnormal, ltfile, lthyperlink, lthoover, ltglow, ltraised, ltlowered, ltshadowed, ltprinter };
    Q_ENUM(TLtype)
    enum TLayout { lylefttop, lycentertop, lyrighttop, lycenter, lycenterbottom, lycenterleft, lycenterright };
    Q_ENUM(TLayout)
    enum TBevelFrame { bfnone, bfraised, bflowered, bfsingle };
    Q_ENUM(TBevelFrame)
    enum TBorder { blbl_Left = 0x1, blbl_top = 0x2, blbl_right = 0x4, blbl_bottom = 0x8 };
    Q_DECLARE_FLAGS(TBorders, TBorder)
    Q_FLAG(TBorders)

private:
    // Declared in the order a window description applies them.
    Q_PROPERTY(TLtype LabelTyp READ LabelTyp WRITE setLabelTyp)
    Q_PROPERTY(TLayout LabelLayout READ LabelLayout WRITE setLabelLayout)
    Q_PROPERTY(TBevelFrame LabelBevel READ LabelBevel WRITE setLabelBevel)
    Q_PROPERTY(QString LabelExecute READ LabelExecute WRITE setLabelExecute)
    Q_PROPERTY(bool ShowEllipses READ ShowEllipses WRITE setShowEllipses)
    Q_PROPERTY(TBorders Borders READ Borders WRITE setBorders)
    Q_PROPERTY(TColor Color READ Color WRITE setColor)
    Q_PROPERTY(TColor ColorHoover READ ColorHoover WRITE setColorHoover)
    Q_PROPERTY(TColor ColorGlow READ ColorGlow WRITE setColorGlow)
    Q_PROPERTY(TColor ColorSingleBorder READ ColorSingleBorder WRITE setColorSingleBorder)
    Q_PROPERTY(TColor ColorEllipsesLine READ ColorEllipsesLine WRITE setColorEllipsesLine)
    Q_PROPERTY(TColor ColorBorder READ ColorBorder WRITE setColorBorder)
    Q_PROPERTY(TColor ColorHooverText READ ColorHooverText WRITE setColorHooverText)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(bool CaptionVisible READ CaptionVisible WRITE setCaptionVisible)
    Q_PROPERTY(int CaptionMarginTop READ CaptionMarginTop WRITE setCaptionMarginTop)
    Q_PROPERTY(QString NoChooseCaption READ NoChooseCaption WRITE setNoChooseCaption)
    Q_PROPERTY(QImage Glyph READ Glyph WRITE setGlyph)
    Q_PROPERTY(bool ShowDesigntimeFrame READ ShowDesigntimeFrame WRITE setShowDesigntimeFrame)
    Q_PROPERTY(TColor DesigntimeFrameColor READ DesigntimeFrameColor WRITE setDesigntimeFrameColor)
    Q_PROPERTY(int Tag2 READ Tag2 WRITE setTag2)
    Q_PROPERTY(bool AutoWidth READ AutoWidth WRITE setAutoWidth)

public:
    explicit TRUVLabel(QWidget* parent = nullptr);
    ~TRUVLabel() override;
    Q_DISABLE_COPY(TRUVLabel)

    TLtype LabelTyp() const { return m_labelTyp; }
    void setLabelTyp(TLtype value);
    TLayout LabelLayout() const { return m_labelLayout; }
    void setLabelLayout(TLayout value);
    TBevelFrame LabelBevel() const { return m_labelBevel; }
    void setLabelBevel(TBevelFrame value);
    QString LabelExecute() const { return m_labelExecute; }
    void setLabelExecute(const QString& value);
    bool ShowEllipses() const { return m_showEllipses; }
    void setShowEllipses(bool value);
    TBorders Borders() const { return m_borders; }
    void setBorders(TBorders value);
    TColor Color() const { return m_color; }
    void setColor(TColor value);
    TColor ColorHoover() const { return m_colorHoover; }
    void setColorHoover(TColor value);
    TColor ColorGlow() const { return m_colorGlow; }
    void setColorGlow(TColor value);
    TColor ColorSingleBorder() const { return m_colorSingleBorder; }
    void setColorSingleBorder(TColor value);
    TColor ColorEllipsesLine() const { return m_colorEllipsesLine; }
    void setColorEllipsesLine(TColor value);
    TColor ColorBorder() const { return m_colorBorder; }
    void setColorBorder(TColor value);
    TColor ColorHooverText() const { return m_colorHooverText; }
    void setColorHooverText(TColor value);
    QString Caption() const { return m_caption; }
    void setCaption(const QString& value);
    bool CaptionVisible() const { return m_captionVisible; }
    void setCaptionVisible(bool value);
    int CaptionMarginTop() const { return m_captionMarginTop; }
    void setCaptionMarginTop(int value);
    QString NoChooseCaption() const { return m_noChooseCaption; }
    void setNoChooseCaption(const QString& value);
    QImage Glyph() const { return m_glyph; }
    void setGlyph(const QImage& value);
    bool ShowDesigntimeFrame() const { return m_showDesigntimeFrame; }
    void setShowDesigntimeFrame(bool value);
    TColor DesigntimeFrameColor() const { return m_designtimeFrameColor; }
    void setDesigntimeFrameColor(TColor value);
    int Tag2() const { return m_tag2; }
    void setTag2(int value);
    bool AutoWidth() const { return m_autoWidth; }
    void setAutoWidth(bool value);

    TFont* Font() const { return m_font; }

    // The text the caption step draws at the current size and state: the
    // caption shortened with "..." when it does not fit, the shortened path of
    // the file variant, or empty when no caption is drawn. Derived from the
    // state on every call, so painting never has to remember it.
    QString ShownText() const;

    // True while the pointer is over the label (only tracked while enabled).
    bool MouseInside() const { return m_hover; }

    // Shortens a path to fit into maxWidth by replacing leading folders with
    // "...", then dropping the drive, then the folders: for example
    // C:\a\b\name → C:\...\b\name → C:\...\name → ...\name → name. Stops at
    // the first form that fits; the bare name is the last resort.
    static QString ShortenPath(const QString& path, int maxWidth, const std::function<int(const QString&)>& textWidth);

    // Runs OnClick as a mouse click does; also Space or Enter on a label that
    // has the keyboard focus, and the press action of assistive technology.
    void Click();

    // Initially the label's own click action (a hyperlink label opens
    // LabelExecute); an owner that assigns its own handler replaces it.
    TNotifyEvent OnClick;
    TNotifyEvent OnChange;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    // Where the caption step starts: the position and alignment of the
    // layout table, with the top margin already added.
    struct TextPlacement {
        int x = 0;
        int y = 0;
        unsigned align = 0;
        bool tooWide = false;
    };
    struct PlainCaption {
        bool drawGlyph = false;
        QPoint glyphPos;
        int x = 0;
        int y = 0;
        unsigned align = 0;
        QString text;
    };
    struct FileDisplay {
        bool drawGlyph = false;
        QPoint glyphPos;
        int x = 0;
        int y = 0;
        unsigned align = 0;
        int buttonRoom = 0; // width kept free for the "…" button at the right end
        QString text;
        bool cut = false;
    };

    QString displayText() const;
    int glyphWidth() const;
    TColor textColor() const;
    TextPlacement textPlacement(const QFontMetrics& metrics) const;
    PlainCaption plainCaption(const QFontMetrics& metrics) const;
    FileDisplay fileDisplay(const QFontMetrics& metrics) const;
    QPoint effectPicturePos() const;

    void assignCaption(const QString& value);
    void rebuildEffectPicture();
    void adjustWidth();
    void ownClickAction();
    bool isVisibleSetting() const;
    void releaseCursorOverride();

    void paintPlainCaption(TCanvas& canvas, const QFontMetrics& metrics, TColor color) const;
    void paintFileDisplay(TCanvas& canvas, const QFontMetrics& metrics, TColor color) const;
    void paintFrame(TCanvas& canvas) const;

    TFont* m_font = nullptr;
    TLtype m_labelTyp = ltnormal;
    TLayout m_labelLayout = lycenterleft;
    TBevelFrame m_labelBevel = bfnone;
    QString m_labelExecute;
    bool m_showEllipses = false;
    TBorders m_borders;
    TColor m_color = clNone;
    TColor m_colorHoover = clSilver;
    TColor m_colorGlow = RGBColor(255, 255, 192);
    TColor m_colorSingleBorder = clBtnShadow;
    TColor m_colorEllipsesLine = clBtnHighlight;
    TColor m_colorBorder = clBlack;
    TColor m_colorHooverText = clWindowText;
    QString m_caption;
    bool m_captionVisible = true;
    int m_captionMarginTop = 0;
    QString m_noChooseCaption;
    QImage m_glyph;
    bool m_showDesigntimeFrame = false;
    TColor m_designtimeFrameColor = clPurple;
    int m_tag2 = 0;
    bool m_autoWidth = false;

    bool m_hover = false;
    bool m_leftPressed = false;
    bool m_ownsCursorOverride = false;
    QImage m_effectPicture; // null when the variant has no caption picture
    TKeyboardClick* m_keyboard = nullptr;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TRUVLabel::TBorders)

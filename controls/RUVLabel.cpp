// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "controls/RUVLabel.h"

#include "controls/AccessibilityNotices.h"
#include "platform/Canvas.h"
#include "platform/Font.h"
#include "platform/Shell.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace {

// "…" followed by a space: the room a right-aligned caption keeps for the
// ellipsis button, and the measure of that button in the file variant.
const QString EllipsisAndSpace = QStringLiteral("\u2026 ");
const QString Ellipsis = QStringLiteral("\u2026");
const QString ThreeDots = QStringLiteral("...");

constexpr int LightGrey = 255;
constexpr int DarkGrey = 128;

bool hasCaptionPicture(TRUVLabel::TLtype type)
{
    return type == TRUVLabel::ltglow || type == TRUVLabel::ltraised || type == TRUVLabel::ltlowered;
}

// One step of path shortening: the first folder of a folder text gives way to
// "...". A leading "\" (a path from the drive's root) is kept in front.
QString cutFirstFolder(QString folder)
{
    if (folder == QLatin1String("\\"))
        return QString();
    const bool fromRoot = folder.startsWith(QLatin1Char('\\'));
    if (fromRoot)
        folder.remove(0, 1);
    // A "...\" left by the previous step goes together with the next folder.
    if (folder.startsWith(QLatin1Char('.')))
        folder.remove(0, 4);
    const int separator = folder.indexOf(QLatin1Char('\\'));
    if (separator >= 0)
        folder = QStringLiteral("...\\") + folder.mid(separator + 1);
    else
        folder.clear();
    if (fromRoot)
        folder.prepend(QLatin1Char('\\'));
    return folder;
}

} // namespace

TRUVLabel::TRUVLabel(QWidget* parent)
    : QWidget(parent)
    , m_font(new TFont(this))
    , m_labelExecute(QStringLiteral("mailto:kontakt@tiraso.example"))
{
    resize(200, 20);
    // Any change of the font re-measures the caption and rebuilds its picture.
    connect(m_font, &TFont::changed, this, [this] { assignCaption(m_caption); });
    OnClick = [this](QObject*) { ownClickAction(); };
    m_keyboard = new TKeyboardClick(this, TKeyboardClick::SpaceAndEnter, [this](Qt::KeyboardModifiers) { Click(); });
}

TRUVLabel::~TRUVLabel()
{
    // The font is destroyed with the other children after this body; no
    // change of it may reach a half-destroyed label.
    disconnect(m_font, nullptr, this, nullptr);
    releaseCursorOverride();
}

// --- properties -----------------------------------------------------------

void TRUVLabel::setLabelTyp(TLtype value)
{
    // Also for the same variant: the hyperlink's font and the caption
    // picture are set up again, with the OnChange that brings.
    m_labelTyp = value;
    if (value == lthyperlink) {
        // Each of these font changes re-assigns the caption on its own.
        m_font->setColor(clBlue);
        m_font->setStyle(TFont::fsUnderline);
    } else if (hasCaptionPicture(value)) {
        assignCaption(m_caption);
    }
    repaint();
}

void TRUVLabel::setLabelLayout(TLayout value)
{
    if (value == m_labelLayout)
        return;
    m_labelLayout = value;
    repaint();
}

void TRUVLabel::setLabelBevel(TBevelFrame value)
{
    if (value == m_labelBevel)
        return;
    m_labelBevel = value;
    repaint();
}

void TRUVLabel::setLabelExecute(const QString& value)
{
    // Stored only: the next click reads it.
    m_labelExecute = value;
}

void TRUVLabel::setShowEllipses(bool value)
{
    if (value == m_showEllipses)
        return;
    m_showEllipses = value;
    repaint();
}

void TRUVLabel::setBorders(TBorders value)
{
    if (value == m_borders)
        return;
    m_borders = value;
    repaint();
}

void TRUVLabel::setColor(TColor value)
{
    if (value == m_color)
        return;
    m_color = value;
    repaint();
}

void TRUVLabel::setColorHoover(TColor value)
{
    if (value == m_colorHoover)
        return;
    m_colorHoover = value;
    repaint();
}

void TRUVLabel::setColorGlow(TColor value)
{
    // Black marks the text pixels of the caption picture, so the glow may
    // never be exactly black. Re-assigns the caption even for the same
    // colour, OnChange included: owners see every rebuild.
    m_colorGlow = value == 0 ? RGBColor(1, 0, 0) : value;
    assignCaption(m_caption);
}

void TRUVLabel::setColorSingleBorder(TColor value)
{
    if (value == m_colorSingleBorder)
        return;
    m_colorSingleBorder = value;
    repaint();
}

void TRUVLabel::setColorEllipsesLine(TColor value)
{
    if (value == m_colorEllipsesLine)
        return;
    m_colorEllipsesLine = value;
    repaint();
}

void TRUVLabel::setColorBorder(TColor value)
{
    if (value == m_colorBorder)
        return;
    m_colorBorder = value;
    repaint();
}

void TRUVLabel::setColorHooverText(TColor value)
{
    // Stored only: the next paint under the pointer uses it.
    m_colorHooverText = value;
}

void TRUVLabel::setCaption(const QString& value)
{
    // Never compared: OnChange follows every assignment (assignCaption).
    assignCaption(value);
}

void TRUVLabel::setCaptionVisible(bool value)
{
    // The caption picture is only built by the next caption assignment; until
    // then a picture variant shows no caption.
    if (value == m_captionVisible)
        return;
    m_captionVisible = value;
    repaint();
}

void TRUVLabel::setCaptionMarginTop(int value)
{
    if (value == m_captionMarginTop)
        return;
    m_captionMarginTop = value;
    repaint();
}

void TRUVLabel::setNoChooseCaption(const QString& value)
{
    if (value == m_noChooseCaption)
        return;
    const bool shownChanges = m_caption.isEmpty();
    m_noChooseCaption = value;
    repaint();
    if (shownChanges)
        Accessibility::NameChanged(this);
}

void TRUVLabel::setGlyph(const QImage& value)
{
    // Always taken as a new picture: comparing pictures costs more than
    // the copy.
    m_glyph = value.isNull() ? QImage() : value.copy();
    if (m_autoWidth)
        adjustWidth();
    repaint();
}

void TRUVLabel::setShowDesigntimeFrame(bool value)
{
    if (value == m_showDesigntimeFrame)
        return;
    m_showDesigntimeFrame = value;
    repaint();
}

void TRUVLabel::setDesigntimeFrameColor(TColor value)
{
    if (value == m_designtimeFrameColor)
        return;
    m_designtimeFrameColor = value;
    repaint();
}

void TRUVLabel::setTag2(int value)
{
    // The owner's; the label never reads it.
    m_tag2 = value;
}

void TRUVLabel::setAutoWidth(bool value)
{
    if (value == m_autoWidth)
        return;
    m_autoWidth = value;
    if (value)
        adjustWidth();
}

// --- caption --------------------------------------------------------------

void TRUVLabel::assignCaption(const QString& value)
{
    const bool changed = value != m_caption;
    m_caption = value;
    if (hasCaptionPicture(m_labelTyp) && m_captionVisible)
        rebuildEffectPicture();
    else
        m_effectPicture = QImage();
    if (m_autoWidth)
        adjustWidth();
    repaint();
    // A screen reader hears a result only when it is a new one.
    if (changed)
        Accessibility::NameChanged(this);
    // Deliberately also for an unchanged text: owners use it as "the caption
    // was (re)set", which includes font and variant changes.
    if (OnChange && isVisibleSetting())
        OnChange(this);
}

bool TRUVLabel::isVisibleSetting() const
{
    // The label's own visibility as its owner set it, not whether the window
    // is on screen yet: Qt's isVisible() stays false until the top-level window
    // is shown, which would silence OnChange while the window is being filled.
    // Only an explicit hide()/setVisible(false) counts as invisible.
    return !(isHidden() && testAttribute(Qt::WA_WState_ExplicitShowHide));
}

void TRUVLabel::adjustWidth()
{
    const QFontMetrics metrics(m_font->toQFont());
    resize(metrics.horizontalAdvance(m_caption) + glyphWidth() + 18, height());
}

void TRUVLabel::rebuildEffectPicture()
{
    // The colour value is taken byte by byte as RGB; a system colour is
    // deliberately not resolved here.
    const int glowRed = GetRValue(m_colorGlow);
    const int glowGreen = GetGValue(m_colorGlow);
    const int glowBlue = GetBValue(m_colorGlow);

    const QFont font = m_font->toQFont();
    const QFontMetrics metrics(font);
    QImage picture(metrics.horizontalAdvance(m_caption) + 8, metrics.height() + 8, QImage::Format_RGB888);

    {
        QPainter painter(&picture);
        TCanvas canvas(painter);
        canvas.SetBrushColor(clBtnFace);
        canvas.FillRect(picture.rect());
        canvas.SetFont(font);
        canvas.SetBrushStyle(TBrushStyle::bsClear);
        canvas.SetTextAlign(TA_LEFT | TA_TOP);
        canvas.SetFontColor(clBlack);
        canvas.TextOut(4, 4, m_caption);
    }

    // Neighbours in the order they are recoloured; a later recolouring of the
    // same pixel wins, which decides the corners of the raised and lowered looks.
    struct Neighbour {
        int dx;
        int dy;
        bool lightWhenRaised;
    };
    static constexpr Neighbour neighbours[] = {
        {-1, 0, true},  // left
        {1, 0, false},  // right
        {0, -1, true},  // above
        {-1, -1, true}, // above left
        {1, -1, false}, // above right
        {0, 1, false},  // below
        {-1, 1, false}, // below left
        {1, 1, false},  // below right
    };

    const int pw = picture.width();
    const int ph = picture.height();
    // Format_RGB888 stores red, green, blue in this order.
    auto pixelAt = [&picture](int x, int y) { return picture.scanLine(y) + 3 * x; };
    for (int y = 0; y < ph; ++y) {
        for (int x = 0; x < pw; ++x) {
            const uchar* text = pixelAt(x, y);
            if (text[0] != 0 || text[1] != 0 || text[2] != 0)
                continue;
            for (const Neighbour& n : neighbours) {
                const int nx = x + n.dx;
                const int ny = y + n.dy;
                if (nx < 0 || ny < 0 || nx >= pw || ny >= ph)
                    continue;
                uchar* p = pixelAt(nx, ny);
                // A zero blue byte keeps black text pixels black.
                if (p[2] == 0)
                    continue;
                switch (m_labelTyp) {
                case ltglow:
                    p[0] = uchar(glowRed);
                    p[1] = uchar(glowGreen);
                    p[2] = uchar(glowBlue);
                    break;
                case ltraised:
                    p[0] = p[1] = p[2] = uchar(n.lightWhenRaised ? LightGrey : DarkGrey);
                    break;
                default: // ltlowered
                    p[0] = p[1] = p[2] = uchar(n.lightWhenRaised ? DarkGrey : LightGrey);
                    break;
                }
            }
        }
    }

    {
        QPainter painter(&picture);
        TCanvas canvas(painter);
        canvas.SetFont(font);
        canvas.SetBrushStyle(TBrushStyle::bsClear);
        canvas.SetTextAlign(TA_LEFT | TA_TOP);
        canvas.SetFontColor(m_font->Color());
        canvas.TextOut(4, 4, m_caption);
    }
    m_effectPicture = picture;
}

// --- geometry ---------------------------------------------------------------

QString TRUVLabel::displayText() const
{
    return m_caption.isEmpty() ? m_noChooseCaption : m_caption;
}

int TRUVLabel::glyphWidth() const
{
    // A glyph narrower than two pixels counts as no glyph at all.
    return m_glyph.width() >= 2 ? m_glyph.width() : 0;
}

TColor TRUVLabel::textColor() const
{
    if (m_caption.isEmpty())
        return clSilver;
    return m_hover ? m_colorHooverText : m_font->Color();
}

TRUVLabel::TextPlacement TRUVLabel::textPlacement(const QFontMetrics& metrics) const
{
    const int w = width();
    const int h = height();
    const int lineHeight = metrics.height();
    const int ellipsisRoom = m_showEllipses ? metrics.horizontalAdvance(EllipsisAndSpace) + 2 : 0;

    // The file variant shortens its path instead, so it is never too wide.
    const bool tooWide = m_labelTyp != ltfile && metrics.horizontalAdvance(displayText()) > w - 12 - glyphWidth();
    const int centreX = w / 2;
    const unsigned centreAlign = tooWide ? unsigned(TA_LEFT) : unsigned(TA_CENTER);

    TextPlacement p;
    p.tooWide = tooWide;
    switch (m_labelLayout) {
    case lylefttop:
        p.x = 4;
        p.y = 2;
        p.align = TA_LEFT;
        break;
    case lycentertop:
        p.x = tooWide ? 2 : centreX;
        p.y = 2;
        p.align = centreAlign;
        break;
    case lyrighttop:
        p.x = w - 3 - ellipsisRoom;
        p.y = 2;
        p.align = TA_RIGHT;
        break;
    case lycenter:
        p.x = tooWide ? 4 : centreX;
        p.y = (h - lineHeight) / 2;
        p.align = centreAlign;
        break;
    case lycenterbottom:
        p.x = tooWide ? 2 : centreX;
        p.y = h - lineHeight - 2;
        p.align = centreAlign;
        break;
    case lycenterleft:
        p.x = 4;
        p.y = (h - lineHeight) / 2;
        p.align = TA_LEFT;
        break;
    case lycenterright:
        p.x = w - 3 - ellipsisRoom;
        p.y = (h - lineHeight) / 2;
        p.align = TA_RIGHT;
        break;
    }
    p.y += m_captionMarginTop;
    return p;
}

TRUVLabel::PlainCaption TRUVLabel::plainCaption(const QFontMetrics& metrics) const
{
    const int w = width();
    const int h = height();
    const TextPlacement placement = textPlacement(metrics);
    PlainCaption c;
    c.x = placement.x;
    c.y = placement.y;
    c.align = placement.align;

    const int gw = glyphWidth();
    if (gw > 0) {
        const int gh = m_glyph.height();
        const int gy = c.y - (gh - metrics.height()) / 2; // centred on the text line
        c.drawGlyph = true;
        switch (m_labelLayout) {
        case lylefttop:
        case lycenterleft:
            c.glyphPos = QPoint(c.x, gy);
            c.x += gw;
            break;
        case lyrighttop:
        case lycenterright:
            c.glyphPos = QPoint(c.x - gw, gy);
            c.x -= gw;
            break;
        case lycentertop:
            c.glyphPos = QPoint((w - gw) / 2, 0);
            break;
        case lycenter:
            c.glyphPos = QPoint((w - gw) / 2, (h - gh) / 2);
            break;
        case lycenterbottom:
            c.glyphPos = QPoint((w - gw) / 2, h - gh);
            break;
        }
    }

    const QString text = displayText();
    c.text = text;
    // A disabled caption is engraved whole; only an enabled one is shortened.
    if (placement.tooWide && isEnabled()) {
        // The first "n characters + ..." that reaches the room, so the text
        // rather overlaps the frame by a little than leaves a gap.
        const int room = w - 12 - gw;
        for (int n = 2;; ++n) {
            c.text = text.left(n) + ThreeDots;
            if (metrics.horizontalAdvance(c.text) >= room || n >= text.size())
                break;
        }
    }
    return c;
}

TRUVLabel::FileDisplay TRUVLabel::fileDisplay(const QFontMetrics& metrics) const
{
    const int w = width();
    const int h = height();
    const TextPlacement placement = textPlacement(metrics);
    FileDisplay d;
    d.y = placement.y;
    d.x = placement.x;
    switch (m_labelLayout) {
    case lylefttop:
    case lycenterleft:
        d.x += 4;
        d.align = TA_LEFT;
        break;
    case lyrighttop:
    case lycenterright:
        d.x = w - 4;
        d.align = TA_RIGHT;
        break;
    case lycentertop:
    case lycenter:
    case lycenterbottom:
        d.align = TA_CENTER;
        break;
    }
    d.buttonRoom = metrics.horizontalAdvance(EllipsisAndSpace) + 4;

    int glyphRoom = 0;
    if (const int gw = glyphWidth(); gw > 0) {
        glyphRoom = gw + 2;
        d.drawGlyph = true;
        d.glyphPos = QPoint(2, (h - m_glyph.height()) / 2);
        d.x += glyphRoom;
    }

    const int room = w - 12 - d.buttonRoom - glyphRoom;
    const QString text = displayText();
    const auto textWidth = [&metrics](const QString& s) { return metrics.horizontalAdvance(s); };
    d.text = ShortenPath(text, room, textWidth);

    // Even the bare name is too wide: show its beginning and let the "…"
    // button stand for the rest. In a field this narrow there is nothing to cut.
    if (textWidth(d.text) > room && room > 12) {
        QString cut;
        for (int n = 1; n <= text.size(); ++n) {
            cut = text.left(n);
            if (textWidth(cut) >= room)
                break;
        }
        d.text = cut;
        d.cut = true;
    }
    return d;
}

QPoint TRUVLabel::effectPicturePos() const
{
    const int w = width();
    const int h = height();
    const int pw = m_effectPicture.width();
    const int ph = m_effectPicture.height();
    switch (m_labelLayout) {
    case lylefttop:
        return QPoint(0, 0);
    case lycentertop:
        return QPoint((w - pw) / 2, 0);
    case lyrighttop:
        return QPoint(w - pw, 0);
    case lycenter:
        return QPoint((w - pw) / 2, (h - ph) / 2);
    case lycenterbottom:
        return QPoint((w - pw) / 2, h - ph);
    case lycenterleft:
        return QPoint(0, (h - ph) / 2);
    case lycenterright:
        return QPoint(w - pw, (h - ph) / 2);
    }
    return QPoint(0, 0);
}

QString TRUVLabel::ShownText() const
{
    if (!m_captionVisible)
        return QString();
    const QFontMetrics metrics(m_font->toQFont());
    switch (m_labelTyp) {
    case ltnormal:
    case lthyperlink:
    case lthoover:
        return plainCaption(metrics).text;
    case ltfile:
        return fileDisplay(metrics).text;
    case ltglow:
    case ltraised:
    case ltlowered:
        return m_effectPicture.isNull() ? QString() : m_caption;
    case ltshadowed:
    case ltprinter:
        break;
    }
    return QString();
}

QString TRUVLabel::ShortenPath(const QString& path, int maxWidth, const std::function<int(const QString&)>& textWidth)
{
    const int split = std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char(':')));
    QString folder = path.left(split + 1);
    const QString name = path.mid(split + 1);
    QString drive;
    if (folder.size() >= 2 && folder.at(1) == QLatin1Char(':')) {
        drive = folder.left(2);
        folder.remove(0, 2);
    }

    // Every round removes a folder, the drive or a "...": this ends with the
    // bare name at the latest.
    QString result = path;
    while ((!folder.isEmpty() || !drive.isEmpty()) && textWidth(result) > maxWidth) {
        if (folder == QLatin1String("\\...\\")) {
            drive.clear();
            folder = QStringLiteral("...\\");
        } else if (!folder.isEmpty()) {
            folder = cutFirstFolder(folder);
        } else {
            drive.clear();
        }
        result = drive + folder + name;
    }
    return result;
}

// --- painting ---------------------------------------------------------------

void TRUVLabel::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    TCanvas canvas(painter, event->rect());
    const QFont font = m_font->toQFont();
    const QFontMetrics metrics(font);
    canvas.SetFont(font);

    if (m_color != clNone) {
        canvas.SetBrushColor(m_color);
        canvas.FillRect(rect());
    }
    if (m_hover && m_colorHoover != clNone && m_labelTyp == lthoover) {
        canvas.SetBrushColor(m_colorHoover);
        canvas.FillRect(rect());
    }
    canvas.SetBrushStyle(TBrushStyle::bsClear);

    switch (m_labelTyp) {
    case ltnormal:
    case lthyperlink:
    case lthoover:
        paintPlainCaption(canvas, metrics, textColor());
        break;
    case ltfile:
        if (m_captionVisible)
            paintFileDisplay(canvas, metrics, textColor());
        break;
    case ltglow:
    case ltraised:
    case ltlowered:
        // Painted as built: hover and the enabled state do not change it.
        if (m_captionVisible && !m_effectPicture.isNull()) {
            const QPoint pos = effectPicturePos();
            canvas.Draw(pos.x(), pos.y(), m_effectPicture, false);
        }
        break;
    case ltshadowed:
    case ltprinter:
        break;
    }

    paintFrame(canvas);

    if (m_keyboard->MarkShown()) {
        // Inside a frame, clear of it; a label without one is marked at its edge.
        const int inset = m_labelBevel != bfnone || m_borders.toInt() != 0 ? 2 : 0;
        m_keyboard->PaintMark(canvas, rect().adjusted(inset, inset, -inset, -inset));
    }
}

void TRUVLabel::paintPlainCaption(TCanvas& canvas, const QFontMetrics& metrics, TColor color) const
{
    const PlainCaption c = plainCaption(metrics);
    if (c.drawGlyph)
        canvas.Draw(c.glyphPos.x(), c.glyphPos.y(), m_glyph, true);
    if (!m_captionVisible)
        return;
    canvas.SetTextAlign(c.align | TA_TOP);
    if (isEnabled()) {
        canvas.SetFontColor(color);
        canvas.TextOut(c.x, c.y, c.text);
    } else {
        canvas.Engraved(clWhite, clBtnShadow, c.x, c.y, c.text);
    }
}

void TRUVLabel::paintFileDisplay(TCanvas& canvas, const QFontMetrics& metrics, TColor color) const
{
    const int w = width();
    const int h = height();
    const FileDisplay d = fileDisplay(metrics);
    if (d.drawGlyph)
        canvas.Draw(d.glyphPos.x(), d.glyphPos.y(), m_glyph, true);

    canvas.SetTextAlign(d.align | TA_TOP);
    if (isEnabled()) {
        canvas.SetFontColor(color);
        canvas.TextOut(d.x, d.y, d.text);
    } else {
        // Leaves the shadow colour for the "…" below.
        canvas.Engraved(clWhite, clBtnShadow, d.x, d.y, d.text);
    }

    if (m_showEllipses || d.cut) {
        QFont bold = canvas.Font();
        bold.setBold(true);
        bold.setItalic(false);
        bold.setUnderline(false);
        bold.setStrikeOut(false);
        canvas.SetFont(bold);
        canvas.SetTextAlign(TA_LEFT | TA_TOP);
        canvas.TextOut(w - d.buttonRoom + 2, d.y, Ellipsis);
        // The separator belongs to the button look, which only shows under the pointer.
        if (m_showEllipses && m_labelBevel == bfsingle && m_hover) {
            canvas.SetPenColor(m_colorEllipsesLine);
            canvas.Polyline({{w - d.buttonRoom - 3, 0}, {w - d.buttonRoom - 3, h}});
        }
    }
}

void TRUVLabel::paintFrame(TCanvas& canvas) const
{
    const int w = width();
    const int h = height();
    switch (m_labelBevel) {
    case bfraised:
    case bflowered:
        canvas.SetPenColor(m_labelBevel == bfraised ? clBtnHighlight : clBtnShadow);
        canvas.Polyline({{0, h}, {0, 0}, {w, 0}});
        canvas.SetPenColor(m_labelBevel == bfraised ? clBtnShadow : clBtnHighlight);
        canvas.Polyline({{w - 1, 1}, {w - 1, h - 1}, {1, h - 1}});
        break;
    case bfsingle:
        canvas.SetPenColor(m_colorSingleBorder);
        canvas.Polyline({{0, h}, {0, 0}, {w, 0}});
        canvas.Polyline({{w - 1, 1}, {w - 1, h - 1}, {0, h - 1}});
        break;
    case bfnone:
        break;
    }

    // The order matters where lines meet: the last one drawn keeps the corner.
    canvas.SetPenColor(m_colorBorder);
    if (m_borders.testFlag(blbl_Left))
        canvas.Polyline({{0, h}, {0, -1}});
    if (m_borders.testFlag(blbl_right))
        canvas.Polyline({{w - 1, h}, {w - 1, -1}});
    if (m_borders.testFlag(blbl_top))
        canvas.Polyline({{0, 0}, {w + 1, 0}});
    if (m_borders.testFlag(blbl_bottom))
        canvas.Polyline({{0, h - 1}, {w + 1, h - 1}});

    // ShowDesigntimeFrame belongs to a form designer; at run time it is only stored.
}

// --- mouse ------------------------------------------------------------------

void TRUVLabel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_leftPressed = true;
    event->accept();
}

void TRUVLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const bool click = m_leftPressed && rect().contains(event->position().toPoint());
    m_leftPressed = false;
    event->accept();
    if (click)
        Click();
}

void TRUVLabel::Click()
{
    if (OnClick)
        OnClick(this);
}

void TRUVLabel::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click starts no click of its own: a double
    // click runs OnClick once, as the first press and release already did.
    event->accept();
}

void TRUVLabel::enterEvent(QEnterEvent* event)
{
    QWidget::enterEvent(event);
    if (isEnabled()) {
        if (m_labelTyp == lthyperlink) {
            if (!m_ownsCursorOverride) {
                QGuiApplication::setOverrideCursor(QCursor(Qt::PointingHandCursor));
                m_ownsCursorOverride = true;
            }
        } else {
            // Other variants show the cursor their owner gave them.
            releaseCursorOverride();
        }
        m_hover = true;
        repaint();
    }
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TRUVLabel::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    // Released even while disabled: a label disabled under the pointer must
    // not leave the whole application with a hand cursor.
    releaseCursorOverride();
    if (isEnabled()) {
        m_hover = false;
        repaint();
    }
    if (OnMouseLeave)
        OnMouseLeave(this);
}

void TRUVLabel::releaseCursorOverride()
{
    if (!m_ownsCursorOverride)
        return;
    m_ownsCursorOverride = false;
    QGuiApplication::restoreOverrideCursor();
}

void TRUVLabel::ownClickAction()
{
    // Nothing to report when the desktop cannot open the target.
    if (m_labelTyp == lthyperlink)
        (void)ShellOpen(m_labelExecute);
}

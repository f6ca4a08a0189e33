// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "controls/RUVCheckBox.h"

#include "controls/AccessibilityNotices.h"
#include "platform/Canvas.h"
#include "platform/Font.h"
#include "platform/Loading.h"
#include "platform/Pictures.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace {

// The bitmaps are XPM text, which is C source: compiled in, they are read
// without the image-format plugins a file would load at every start.
namespace xpm {
#include "resources/CB_CIRCLEER.xpm"
#include "resources/CB_CIRCNA.xpm"
#include "resources/CB_CIRCSET.xpm"
#include "resources/CB_HOOKLEER.xpm"
#include "resources/CB_HOOKNA.xpm"
#include "resources/CB_HOOKSET.xpm"
} // namespace xpm

QImage LoadBitmap(const char* const data[], const char* name)
{
    const QImage image(data);
    if (image.isNull()) {
        // Not fatal: the box is left out of the picture, the caption and the
        // clicking still work.
        qWarning("TRUVCheckBox: bitmap \"%s\" could not be read; it is not drawn", name);
        return image;
    }
    // Indexed images would key their transparency through the palette;
    // plain RGB keeps the bottom-left rule simple.
    return PictureWithVector(image.convertToFormat(QImage::Format_RGB32),
                             QStringLiteral(":/%1.svg").arg(QLatin1String(name)));
}

} // namespace

TRUVCheckBox::TRUVCheckBox(QWidget* parent)
    : QWidget(parent)
    , m_font(new TFont(this))
{
    resize(80, 20);
    m_bitmaps[bmHookSet] = LoadBitmap(xpm::CB_HOOKSET, "CB_HOOKSET");
    m_bitmaps[bmHookLeer] = LoadBitmap(xpm::CB_HOOKLEER, "CB_HOOKLEER");
    m_bitmaps[bmHookNA] = LoadBitmap(xpm::CB_HOOKNA, "CB_HOOKNA");
    m_bitmaps[bmCircSet] = LoadBitmap(xpm::CB_CIRCSET, "CB_CIRCSET");
    m_bitmaps[bmCircLeer] = LoadBitmap(xpm::CB_CIRCLEER, "CB_CIRCLEER");
    m_bitmaps[bmCircNA] = LoadBitmap(xpm::CB_CIRCNA, "CB_CIRCNA");
    connect(m_font, &TFont::changed, this, qOverload<>(&QWidget::update));
    // Space mirrors the mouse: the caption shows pressed while the key is
    // down, and the release toggles.
    m_keyboard = new TKeyboardClick(this, TKeyboardClick::SpaceOnly, [this](Qt::KeyboardModifiers) { Toggle(); });
    m_keyboard->OnHeldChanged = [this](bool held) {
        m_pressed = held;
        repaint();
    };
}

TRUVCheckBox::~TRUVCheckBox()
{
    // Gone before the widget: the focus loss of its teardown must not reach
    // the pressed look of a box that no longer exists.
    delete m_keyboard;
}

void TRUVCheckBox::setCaption(const QString& value)
{
    if (value == m_caption)
        return;
    m_caption = value;
    repaint();
    Accessibility::NameChanged(this);
}

void TRUVCheckBox::setChecked(bool value)
{
    if (value == m_checked)
        return;
    m_checked = value;
    UpdateGroup();
    repaint();
    Accessibility::CheckedChanged(this);
}

void TRUVCheckBox::SetCheckedSilent(bool value)
{
    if (value == m_checked)
        return;
    m_checked = value;
    repaint();
    // Silent towards the owner, not towards a screen reader.
    Accessibility::CheckedChanged(this);
}

void TRUVCheckBox::setRightHand(bool value)
{
    if (value == m_rightHand)
        return;
    m_rightHand = value;
    repaint();
}

void TRUVCheckBox::setHookColor(TColor value)
{
    if (value == m_hookColor)
        return;
    m_hookColor = value;
    repaint();
}

void TRUVCheckBox::setLook3D(bool value)
{
    // Kept for window descriptions that set it and repainted like any other
    // look, although the drawing has no 3-D variant.
    if (value == m_look3D)
        return;
    m_look3D = value;
    repaint();
}

void TRUVCheckBox::setStyle(TCheckBoxStyle value)
{
    if (value == m_style)
        return;
    m_style = value;
    repaint();
}

void TRUVCheckBox::setBackgroundOpak(bool value)
{
    if (value == m_backgroundOpak)
        return;
    m_backgroundOpak = value;
    repaint();
}

void TRUVCheckBox::setBackgroundColor(TColor value)
{
    if (value == m_backgroundColor)
        return;
    m_backgroundColor = value;
    repaint();
}

void TRUVCheckBox::setGroupIndex(int value)
{
    // Never compared: each assignment runs the group update, which clears
    // the other members even when the number stays.
    m_groupIndex = value;
    UpdateGroup();
}

void TRUVCheckBox::setYKorrekturText(int value)
{
    if (value == m_yKorrekturText)
        return;
    m_yKorrekturText = value;
    repaint();
}

void TRUVCheckBox::setAutoBoldRadioButton(bool value)
{
    if (value == m_autoBoldRadioButton)
        return;
    m_autoBoldRadioButton = value;
    UpdateGroup();
}

void TRUVCheckBox::UpdateGroup()
{
    // While a window description is applied, the siblings may not all exist
    // yet and their Checked values are still arriving; the description's
    // values stand as written.
    if (LoadingScope::Active() || m_groupIndex == 0 || !parentWidget())
        return;

    // The other members are cleared whatever this box's own state is, and this
    // caption turns bold whenever the box finds itself among its siblings.
    // Writing Checked false on a member therefore leaves the group empty with
    // this caption bold. Deliberate, not an oversight: keep it.
    const QObjectList siblings = parentWidget()->children();
    for (QObject* child : siblings) {
        auto* box = qobject_cast<TRUVCheckBox*>(child);
        if (!box)
            continue;
        if (box != this && box->m_groupIndex == m_groupIndex) {
            if (box->m_checked)
                Accessibility::CheckedChanged(box);
            box->m_checked = false;
            if (m_autoBoldRadioButton)
                box->m_font->setStyle({});
        } else if (m_autoBoldRadioButton) {
            m_font->setStyle(TFont::fsBold);
        }
        box->repaint();
    }
}

TRUVCheckBox::TBitmapIndex TRUVCheckBox::CurrentBitmap() const
{
    const bool hook = m_style == cs_Hook;
    if (!m_checked)
        return hook ? bmHookLeer : bmCircLeer;
    if (isEnabled())
        return hook ? bmHookSet : bmCircSet;
    return hook ? bmHookNA : bmCircNA;
}

QSize TRUVCheckBox::BoxSize() const
{
    // A missing bitmap has no size; the caption then still lands where it
    // would beside a 12-pixel box, as the margin grows by the same amount.
    return m_bitmaps[bmHookSet].size();
}

QPoint TRUVCheckBox::BoxPos() const
{
    // The vertical margin doubles as the horizontal one; C++ division
    // truncates toward zero, so a control lower than the box gets a
    // negative margin rounded toward zero.
    const QSize box = BoxSize();
    const int m = (height() - box.height()) / 2;
    return QPoint(m_rightHand ? width() - m - box.width() : m, m);
}

void TRUVCheckBox::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    TCanvas canvas(painter, event->rect());

    if (m_backgroundOpak) {
        canvas.SetBrushColor(m_backgroundColor);
        canvas.FillRect(rect());
    }

    const QSize box = BoxSize();
    const QPoint boxPos = BoxPos();
    const int m = boxPos.y();
    const TBitmapIndex bitmap = CurrentBitmap();
    // The circles sit on a grey surround that must not cover the background.
    const bool transparent = bitmap == bmCircSet || bitmap == bmCircLeer || bitmap == bmCircNA;
    canvas.Draw(boxPos.x(), boxPos.y(), m_bitmaps[bitmap], transparent);

    canvas.SetFont(m_font->toQFont());
    canvas.SetTextAlign(TA_LEFT | TA_TOP);
    canvas.SetBrushStyle(TBrushStyle::bsClear);
    const int y = (height() - canvas.TextHeight(QStringLiteral("Ag"))) / 2 + m_yKorrekturText;
    const int x = m_rightHand ? boxPos.x() - m - canvas.TextWidth(m_caption) : box.width() + 2 * m;

    if (isEnabled()) {
        canvas.SetFontColor(m_pressed ? m_hookColor : m_font->Color());
        canvas.TextOut(x, y, m_caption);
    } else {
        canvas.Engraved(clWindow, clBtnShadow, x, y, m_caption);
    }

    if (m_keyboard->MarkShown())
        m_keyboard->PaintMark(canvas, rect().adjusted(1, 1, -1, -1));
}

void TRUVCheckBox::mousePressEvent(QMouseEvent* event)
{
    // Accepted so that the release comes back here and not to the parent.
    event->accept();
    m_pressed = true;
    repaint();
}

void TRUVCheckBox::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    m_pressed = false;
    Toggle();
}

void TRUVCheckBox::Toggle()
{
    // A group member cannot be switched off by clicking it; the click still
    // counts as a change for OnChange.
    const bool was = m_checked;
    m_checked = m_groupIndex != 0 ? true : !m_checked;
    if (m_groupIndex != 0)
        UpdateGroup();
    repaint();
    if (m_checked != was)
        Accessibility::CheckedChanged(this);
    if (OnChange)
        OnChange(this);
}

void TRUVCheckBox::enterEvent(QEnterEvent* event)
{
    QWidget::enterEvent(event);
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TRUVCheckBox::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    if (OnMouseExit)
        OnMouseExit(this);
}

void TRUVCheckBox::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        repaint();
}

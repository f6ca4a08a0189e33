// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "controls/KeyboardAccess.h"
#include "platform/Colors.h"
#include "platform/Events.h"

#include <QImage>
#include <QWidget>

#include <array>

class TFont;

// Windowless check box drawn from 12 x 12 bitmaps, optionally one of a radio group.
class TRUVCheckBox : public QWidget
{
    Q_OBJECT
public:
    enum TCheckBoxStyle { cs_Hook, cs_Dot };
    Q_ENUM(TCheckBoxStyle)

private:
    // Declared in the order a window description applies them.
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(bool Checked READ Checked WRITE setChecked)
    Q_PROPERTY(bool RightHand READ RightHand WRITE setRightHand)
    Q_PROPERTY(TColor HookColor READ HookColor WRITE setHookColor)
    Q_PROPERTY(bool Look3D READ Look3D WRITE setLook3D)
    Q_PROPERTY(TCheckBoxStyle Style READ Style WRITE setStyle)
    Q_PROPERTY(bool BackgroundOpak READ BackgroundOpak WRITE setBackgroundOpak)
    Q_PROPERTY(TColor BackgroundColor READ BackgroundColor WRITE setBackgroundColor)
    Q_PROPERTY(int GroupIndex READ GroupIndex WRITE setGroupIndex)
    Q_PROPERTY(int YKorrekturText READ YKorrekturText WRITE setYKorrekturText)
    Q_PROPERTY(bool AutoBoldRadioButton READ AutoBoldRadioButton WRITE setAutoBoldRadioButton)

public:
    explicit TRUVCheckBox(QWidget* parent = nullptr);
    ~TRUVCheckBox() override;

    QString Caption() const { return m_caption; }
    void setCaption(const QString& value);
    bool Checked() const { return m_checked; }
    void setChecked(bool value);
    // Sets the state and repaints; no group update, no OnChange.
    void SetCheckedSilent(bool value);
    bool RightHand() const { return m_rightHand; }
    void setRightHand(bool value);
    TColor HookColor() const { return m_hookColor; }
    void setHookColor(TColor value);
    bool Look3D() const { return m_look3D; }
    void setLook3D(bool value);
    TCheckBoxStyle Style() const { return m_style; }
    void setStyle(TCheckBoxStyle value);
    bool BackgroundOpak() const { return m_backgroundOpak; }
    void setBackgroundOpak(bool value);
    TColor BackgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(TColor value);
    int GroupIndex() const { return m_groupIndex; }
    void setGroupIndex(int value);
    int YKorrekturText() const { return m_yKorrekturText; }
    void setYKorrekturText(int value);
    bool AutoBoldRadioButton() const { return m_autoBoldRadioButton; }
    void setAutoBoldRadioButton(bool value);

    TFont* Font() const { return m_font; }

    // What a click does: toggles (a group member only turns on), updates the
    // group, repaints and fires OnChange. Also Space on the focused box and
    // the toggle action of assistive technology.
    void Toggle();

    TNotifyEvent OnClick; // published for the description; never fired
    TNotifyEvent OnChange;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseExit;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Indices into m_bitmaps, in the order they are loaded.
    enum TBitmapIndex { bmHookSet, bmHookLeer, bmHookNA, bmCircSet, bmCircLeer, bmCircNA, bmCount };

    // Clears the other members of this box's radio group among its siblings.
    void UpdateGroup();
    TBitmapIndex CurrentBitmap() const;
    // The size of the hook bitmap places the box for both styles.
    QSize BoxSize() const;
    QPoint BoxPos() const;

    std::array<QImage, bmCount> m_bitmaps;
    TFont* m_font = nullptr;
    QString m_caption;
    bool m_checked = false;
    bool m_rightHand = false;
    bool m_pressed = false;
    TColor m_hookColor = clBlue;
    bool m_look3D = false;
    TCheckBoxStyle m_style = cs_Hook;
    bool m_backgroundOpak = false;
    TColor m_backgroundColor = clBtnFace;
    int m_groupIndex = 0;
    int m_yKorrekturText = 0;
    bool m_autoBoldRadioButton = false;
    TKeyboardClick* m_keyboard = nullptr;
};

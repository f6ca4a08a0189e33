// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/VirtualKeys.h"

quint16 VirtualKey::FromQtKey(int qtKey, Qt::KeyboardModifiers modifiers)
{
    namespace VK = VirtualKey;
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    if (keypad && qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return quint16(VK::Numpad0 + (qtKey - Qt::Key_0));
    // One key a line, so that the table reads as one.
    // clang-format off
    if (keypad) {
        switch (qtKey) {
        case Qt::Key_Asterisk: return VK::NumpadMultiply;
        case Qt::Key_Plus: return VK::NumpadAdd;
        case Qt::Key_Minus: return VK::NumpadSubtract;
        case Qt::Key_Period:
        case Qt::Key_Comma: return VK::NumpadDecimal;
        case Qt::Key_Slash: return VK::NumpadDivide;
        default: break;
        }
    }
    switch (qtKey) {
    case Qt::Key_Backspace: return VK::Back;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK::Tab;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK::Return;
    case Qt::Key_Shift: return VK::Shift;
    case Qt::Key_Control: return VK::Control;
    case Qt::Key_Alt: return VK::Alt;
    case Qt::Key_Pause: return VK::Pause;
    case Qt::Key_CapsLock: return VK::CapsLock;
    case Qt::Key_Escape: return VK::Escape;
    case Qt::Key_Space: return VK::Space;
    case Qt::Key_PageUp: return VK::PageUp;
    case Qt::Key_PageDown: return VK::PageDown;
    case Qt::Key_End: return VK::End;
    case Qt::Key_Home: return VK::Home;
    case Qt::Key_Left: return VK::Left;
    case Qt::Key_Up: return VK::Up;
    case Qt::Key_Right: return VK::Right;
    case Qt::Key_Down: return VK::Down;
    case Qt::Key_Print: return VK::Print;
    case Qt::Key_Insert: return VK::Insert;
    case Qt::Key_Delete: return VK::Delete;
    case Qt::Key_Meta: return VK::Windows;
    case Qt::Key_Menu: return VK::Menu;
    case Qt::Key_NumLock: return VK::NumLock;
    case Qt::Key_ScrollLock: return VK::ScrollLock;
    // Qt names printable characters by their code, which for punctuation
    // coincides with the codes of the navigation keys ("(" is 0x28, Down):
    // they get the code of the key that types them on a US keyboard instead.
    case Qt::Key_Exclam: return VK::Digit(1);
    case Qt::Key_At: return VK::Digit(2);
    case Qt::Key_NumberSign: return VK::Digit(3);
    case Qt::Key_Dollar: return VK::Digit(4);
    case Qt::Key_Percent: return VK::Digit(5);
    case Qt::Key_AsciiCircum: return VK::Digit(6);
    case Qt::Key_Ampersand: return VK::Digit(7);
    case Qt::Key_Asterisk: return VK::Digit(8);
    case Qt::Key_ParenLeft: return VK::Digit(9);
    case Qt::Key_ParenRight: return VK::Digit(0);
    case Qt::Key_Semicolon:
    case Qt::Key_Colon: return VK::Semicolon;
    case Qt::Key_Equal:
    case Qt::Key_Plus: return VK::Plus;
    case Qt::Key_Comma:
    case Qt::Key_Less: return VK::Comma;
    case Qt::Key_Minus:
    case Qt::Key_Underscore: return VK::Minus;
    case Qt::Key_Period:
    case Qt::Key_Greater: return VK::Period;
    case Qt::Key_Slash:
    case Qt::Key_Question: return VK::Slash;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde: return VK::Grave;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft: return VK::BracketLeft;
    case Qt::Key_Backslash:
    case Qt::Key_Bar: return VK::Backslash;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight: return VK::BracketRight;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl: return VK::Apostrophe;
    default: break;
    }
    // clang-format on
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return quint16(VK::F1 + (qtKey - Qt::Key_F1));
    // Digits and letters: Qt uses their upper-case ASCII codes, which are
    // their virtual-key codes too.
    if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z))
        return quint16(qtKey);
    // Anything else has no code of its own here and is reported as Qt's key
    // number cut to 16 bits, except where that would pose as Enter or a step
    // key and make the control act on it.
    const auto code = quint16(qtKey & 0xFFFF);
    if (code == VK::Return || (code >= VK::PageUp && code <= VK::Down))
        return 0;
    return code;
}

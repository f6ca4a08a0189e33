// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QtGlobal>
#include <qnamespace.h>

// The Windows virtual-key codes the controls report to their handlers and
// act on themselves, so that a handler written for a code keeps its meaning
// on every desktop.
namespace VirtualKey {

inline constexpr quint16 Back = 0x08;
inline constexpr quint16 Tab = 0x09;
inline constexpr quint16 Return = 0x0D;
inline constexpr quint16 Shift = 0x10;
inline constexpr quint16 Control = 0x11;
inline constexpr quint16 Alt = 0x12;
inline constexpr quint16 Pause = 0x13;
inline constexpr quint16 CapsLock = 0x14;
inline constexpr quint16 Escape = 0x1B;
inline constexpr quint16 Space = 0x20;
inline constexpr quint16 PageUp = 0x21;
inline constexpr quint16 PageDown = 0x22;
inline constexpr quint16 End = 0x23;
inline constexpr quint16 Home = 0x24;
inline constexpr quint16 Left = 0x25;
inline constexpr quint16 Up = 0x26;
inline constexpr quint16 Right = 0x27;
inline constexpr quint16 Down = 0x28;
inline constexpr quint16 Print = 0x2C;
inline constexpr quint16 Insert = 0x2D;
inline constexpr quint16 Delete = 0x2E;
// The digit keys 0 to 9 and the letter keys A to Z have the codes of their
// upper-case characters.
inline constexpr quint16 Digit0 = 0x30;
inline constexpr quint16 LetterA = 0x41;
inline constexpr quint16 Windows = 0x5B;
inline constexpr quint16 Menu = 0x5D;
inline constexpr quint16 Numpad0 = 0x60;
inline constexpr quint16 NumpadMultiply = 0x6A;
inline constexpr quint16 NumpadAdd = 0x6B;
inline constexpr quint16 NumpadSubtract = 0x6D;
inline constexpr quint16 NumpadDecimal = 0x6E;
inline constexpr quint16 NumpadDivide = 0x6F;
inline constexpr quint16 F1 = 0x70;
inline constexpr quint16 NumLock = 0x90;
inline constexpr quint16 ScrollLock = 0x91;
// Punctuation keys, by what they type on a US keyboard.
inline constexpr quint16 Semicolon = 0xBA;
inline constexpr quint16 Plus = 0xBB;
inline constexpr quint16 Comma = 0xBC;
inline constexpr quint16 Minus = 0xBD;
inline constexpr quint16 Period = 0xBE;
inline constexpr quint16 Slash = 0xBF;
inline constexpr quint16 Grave = 0xC0;
inline constexpr quint16 BracketLeft = 0xDB;
inline constexpr quint16 Backslash = 0xDC;
inline constexpr quint16 BracketRight = 0xDD;
inline constexpr quint16 Apostrophe = 0xDE;

constexpr quint16 Digit(int digit)
{
    return quint16(Digit0 + digit);
}

// The code a Qt key reports. Keys with no code of their own keep Qt's key
// number cut to 16 bits, unless that would pose as Enter or a step key.
quint16 FromQtKey(int qtKey, Qt::KeyboardModifiers modifiers = {});

} // namespace VirtualKey

// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Undo and redo of the window's changes, without the window: the states
// before each change, and the rule for when several changes make one step.

#include "model/Interpolation.h"

#include <deque>
#include <optional>

namespace Interpolation {

// Everything a change of the window can touch.
struct WindowState {
    Inputs inputs;
    int Decimals = StartDecimals;       // of the result fields
    int EditorDecimals = StartDecimals; // of the editors, which stop at 8
    bool Percent = StartPercent;
};

// Inputs bit for bit, as the window compares them.
bool SameState(const WindowState& a, const WindowState& b);

class UndoHistory
{
public:
    // Far more than anyone steps back; the oldest go first.
    static constexpr int Capacity = 1000;
    // Changes of one gesture no further apart than this make one step: the
    // notches of one turn of the wheel.
    static constexpr qint64 MergeMs = 600;

    // The window went from `before` to `after`. `gesture` names a run of
    // changes that may merge (0: none, every change is a step of its own);
    // `nowMs` is a monotonic clock. A run that ends where it began leaves no
    // step behind. Any change drops what could be redone.
    void Record(const WindowState& before, const WindowState& after, quintptr gesture, qint64 nowMs);

    bool CanUndo() const { return !m_undo.empty(); }
    bool CanRedo() const { return !m_redo.empty(); }
    int UndoSteps() const { return int(m_undo.size()); }
    int RedoSteps() const { return int(m_redo.size()); }

    // The state to show instead of `current`, or nothing to go back to.
    std::optional<WindowState> Undo(const WindowState& current);
    std::optional<WindowState> Redo(const WindowState& current);
    void Clear();

private:
    std::deque<WindowState> m_undo;
    std::deque<WindowState> m_redo;
    quintptr m_gesture = 0;
    qint64 m_lastMs = 0;
};

} // namespace Interpolation

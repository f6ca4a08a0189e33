// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "model/UndoHistory.h"

#include <cstddef>
#include <utility>

namespace Interpolation {

bool SameState(const WindowState& a, const WindowState& b)
{
    return SameInputs(a.inputs, b.inputs) && a.Decimals == b.Decimals && a.EditorDecimals == b.EditorDecimals
        && a.Percent == b.Percent;
}

void UndoHistory::Record(const WindowState& before, const WindowState& after, quintptr gesture, qint64 nowMs)
{
    if (SameState(before, after))
        return;
    m_redo.clear();
    const bool merges = gesture != 0 && gesture == m_gesture && nowMs - m_lastMs <= MergeMs && !m_undo.empty();
    m_gesture = gesture;
    m_lastMs = nowMs;
    if (merges) {
        // The step keeps the state before the run; a run back to it is no step.
        if (SameState(m_undo.back(), after)) {
            m_undo.pop_back();
            m_gesture = 0;
        }
        return;
    }
    m_undo.push_back(before);
    if (m_undo.size() > std::size_t(Capacity))
        m_undo.pop_front();
}

std::optional<WindowState> UndoHistory::Undo(const WindowState& current)
{
    // A change after an undo starts a run of its own, never extends one.
    m_gesture = 0;
    if (m_undo.empty())
        return std::nullopt;
    WindowState state = std::move(m_undo.back());
    m_undo.pop_back();
    m_redo.push_back(current);
    return state;
}

std::optional<WindowState> UndoHistory::Redo(const WindowState& current)
{
    m_gesture = 0;
    if (m_redo.empty())
        return std::nullopt;
    WindowState state = std::move(m_redo.back());
    m_redo.pop_back();
    m_undo.push_back(current);
    return state;
}

void UndoHistory::Clear()
{
    m_undo.clear();
    m_redo.clear();
    m_gesture = 0;
}

} // namespace Interpolation

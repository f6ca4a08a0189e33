// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Where the window goes on the desktop: at the position the first
// command-line parameter gives as "left|top", or centred on the first screen.
// Positions are those of the outer window, title bar and borders included.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace Placement {

// The window position for the parameter "left|top"; nothing when the
// parameter has no "|" and the design position stays.
std::optional<QPoint> FromParameter(const QString& parameter);

// Where a window of the outer size `outer` is centred on a monitor of that
// size, each half truncated toward zero.
QPoint CentredPosition(const QSize& monitor, const QSize& outer);

// Whether `frame`, as Qt reports the outer window, is a window manager's
// finished frame around the window at `window`.
bool IsFinishedFrame(const QRect& frame, const QRect& window);

// An integer as the parameter gives it, or 100 when it is not one.
int ParameterInteger(const QString& text);

} // namespace Placement

// Places a top-level window and, when it was centred, centres it once more by
// its outer size as soon as a window manager has framed it.
class TWindowPlacement
{
public:
    explicit TWindowPlacement(QWidget* window);

    // By the first of `parameters`, at `designPosition` when that is no
    // position, or centred without parameters.
    void Place(const QStringList& parameters, const QPoint& designPosition);
    // From the window's moveEvent: a frame may have turned up.
    void Moved();
    // From the window's activation: the user may place it from now on.
    void Activated();

private:
    // Puts the outer window's top-left corner at position.
    void PlaceFrameAt(const QPoint& position);
    void CentreOnFirstScreen();

    QWidget* m_window;
    // Centred by the window's own size until a window manager's frame is
    // known; then centred once more by the outer size.
    bool m_centreWhenFramed = false;
};

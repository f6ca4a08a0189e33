// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "main/Placement.h"

#include "calc/NumberFormat.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

std::optional<QPoint> Placement::FromParameter(const QString& parameter)
{
    const qsizetype bar = parameter.indexOf(QLatin1Char('|'));
    if (bar < 0)
        return std::nullopt;
    return QPoint(ParameterInteger(parameter.left(bar)), ParameterInteger(parameter.mid(bar + 1, 255)));
}

QPoint Placement::CentredPosition(const QSize& monitor, const QSize& outer)
{
    return QPoint((monitor.width() - outer.width()) / 2, (monitor.height() - outer.height()) / 2);
}

bool Placement::IsFinishedFrame(const QRect& frame, const QRect& window)
{
    // Qt measures the frame from the window manager's frame window. Right
    // after reparenting, that window may still be 1 x 1 at the origin (seen
    // with openbox now and then); centring by it would put the window's
    // corner at the middle of the screen. A frame smaller than the window,
    // or not around it, is not finished yet.
    return frame.size() != window.size() && frame.contains(window);
}

int Placement::ParameterInteger(const QString& text)
{
    return NumberFormat::TextToIntDef(text, 100);
}

TWindowPlacement::TWindowPlacement(QWidget* window)
    : m_window(window)
{
}

void TWindowPlacement::Place(const QStringList& parameters, const QPoint& designPosition)
{
    m_centreWhenFramed = false;
    if (parameters.isEmpty()) {
        if (QGuiApplication::screens().isEmpty())
            return;
        // A window manager's frame is known only once the window is framed,
        // which comes after this; it is centred again then (Moved).
        CentreOnFirstScreen();
        m_centreWhenFramed = true;
        return;
    }
    const auto position = Placement::FromParameter(parameters.constFirst());
    PlaceFrameAt(position ? *position : designPosition);
}

void TWindowPlacement::Moved()
{
    if (m_centreWhenFramed && Placement::IsFinishedFrame(m_window->frameGeometry(), m_window->geometry())) {
        m_centreWhenFramed = false;
        CentreOnFirstScreen();
    }
}

void TWindowPlacement::Activated()
{
    // Once the window is up, a frame that turns up later (a window manager
    // started afterwards) moves nothing: the user may have placed it by then.
    m_centreWhenFramed = false;
}

void TWindowPlacement::CentreOnFirstScreen()
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (!screens.isEmpty())
        PlaceFrameAt(
            Placement::CentredPosition(screens.constFirst()->geometry().size(), m_window->frameGeometry().size()));
}

void TWindowPlacement::PlaceFrameAt(const QPoint& position)
{
    // The position is that of the outer window, title bar and borders
    // included, as on the desktop the positions were written for. Asked of
    // the native window, a window manager puts its frame there; without one
    // the window itself goes there. The widget is moved too, so that it
    // knows its place before the window system has answered.
    m_window->move(position);
    if (QWindow* window = m_window->windowHandle())
        window->setFramePosition(position);
}

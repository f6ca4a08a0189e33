// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

// The drawing module: QtSvg for the window module, which loads it with the
// first picture it draws from a drawing (platform/SvgDrawing.h), on a screen
// denser than one device pixel per pixel. A window on a plain screen never
// maps QtSvg.

#include "platform/SvgDrawing.h"

#include <QtGlobal>

extern "C" Q_DECL_EXPORT bool tiraso_draw_svg(const QString& source, QPainter& painter, const QRectF& bounds)
{
    return SvgDrawing::Render(source, painter, bounds);
}

static_assert(std::is_same_v<decltype(&tiraso_draw_svg), SvgDrawing::Entry>);

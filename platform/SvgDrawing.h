// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QRectF>
#include <QString>

class QPainter;

// The one place that draws SVG drawings, so that QtSvg stays out of the
// libraries the window maps on a plain screen. Where the window is a module of
// its own (main/CMakeLists.txt), the drawing module that holds QtSvg is loaded
// on the first call, from the window module's folder; everywhere else QtSvg is
// linked in.
namespace SvgDrawing {

// Draws `source` (a resource or file name) into `bounds`; false, drawing
// nothing, when it cannot be read or QtSvg cannot be loaded.
bool Render(const QString& source, QPainter& painter, const QRectF& bounds);

// The drawing module's one export, which is Render (main/SvgModule.cpp).
using Entry = bool (*)(const QString& source, QPainter& painter, const QRectF& bounds);

} // namespace SvgDrawing

#define TIRASO_SVG_ENTRY "tiraso_draw_svg"

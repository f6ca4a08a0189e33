// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/SvgDrawing.h"

#include <QSvgRenderer>

bool SvgDrawing::Render(const QString& source, QPainter& painter, const QRectF& bounds)
{
    QSvgRenderer renderer(source);
    if (!renderer.isValid())
        return false;
    renderer.render(&painter, bounds);
    return true;
}

// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

// Build-time helper: renders the application icon's drawing into one square
// PNG, for the icon-theme sizes of desktops that draw no SVG.
//   tiraso_render_icon <drawing.svg> <out.png> <size in pixels>
// Painting into an image needs no application object nor a display, so the
// build runs on machines without either.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <drawing.svg> <out.png> <size>\n", argv[0]);
        return 2;
    }
    const QString source = QString::fromLocal8Bit(argv[1]);
    const QString target = QString::fromLocal8Bit(argv[2]);
    bool isNumber = false;
    const int size = QString::fromLocal8Bit(argv[3]).toInt(&isNumber);
    if (!isNumber || size < 1 || size > 1024) {
        std::fprintf(stderr, "%s: the size must be 1 to 1024 pixels\n", argv[0]);
        return 2;
    }

    QSvgRenderer renderer(source);
    if (!renderer.isValid()) {
        std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[1]);
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        renderer.render(&painter, QRectF(0, 0, size, size));
    }
    // A failed run must not leave a half-written picture that the next build
    // takes as up to date.
    if (!QDir().mkpath(QFileInfo(target).absolutePath())
        || !image.convertToFormat(QImage::Format_ARGB32).save(target, "PNG")) {
        QFile::remove(target);
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[2]);
        return 1;
    }
    return 0;
}

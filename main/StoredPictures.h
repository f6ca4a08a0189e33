// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QImage>
#include <QList>
#include <QSize>
#include <QStringView>

#include <cstddef>

// The window's backgrounds and icon at one device pixel per window pixel,
// drawn from their drawings at build time (resources/render_pictures.cpp)
// exactly as the window would draw them: its first paint then needs neither
// QtSvg nor an image decoder, which cost more than the rest of the window's
// pictures together. Denser screens still draw from the drawings.
namespace StoredPictures {

// The picture drawn from `drawing` (its resource name) at `size`; a null
// image when none is stored.
QImage Find(QStringView drawing, QSize size);
// The sizes stored for `drawing`, in the order they were given to the build.
QList<QSize> Sizes(QStringView drawing);

namespace detail {
// A picture as runs of equal pixels in row order: counts[i] pixels of
// values[i]. Opaque pictures are RGB32 on white, the others premultiplied
// ARGB32 on a transparent ground.
struct Entry {
    const char* drawing;
    int width;
    int height;
    bool opaque;
    const quint16* counts;
    const QRgb* values;
    std::size_t runs;
};
// Made by the build (main/CMakeLists.txt).
extern const Entry Entries[];
extern const std::size_t EntryCount;
} // namespace detail

} // namespace StoredPictures

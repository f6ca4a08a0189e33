// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "main/StoredPictures.h"

#include <algorithm>

using StoredPictures::detail::Entries;
using StoredPictures::detail::Entry;
using StoredPictures::detail::EntryCount;

QImage StoredPictures::Find(QStringView drawing, QSize size)
{
    const Entry* const end = Entries + EntryCount;
    const Entry* const entry = std::find_if(Entries, end, [&](const Entry& e) {
        return QSize(e.width, e.height) == size && QLatin1StringView(e.drawing) == drawing;
    });
    if (entry == end)
        return {};
    QImage image(size, entry->opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return {};
    // A 32-bit image keeps its rows without padding between them.
    auto* pixel = reinterpret_cast<QRgb*>(image.bits());
    QRgb* const last = pixel + qsizetype(size.width()) * size.height();
    for (std::size_t i = 0; i < entry->runs; ++i) {
        if (last - pixel < entry->counts[i])
            return {};
        pixel = std::fill_n(pixel, entry->counts[i], entry->values[i]);
    }
    return pixel == last ? image : QImage();
}

QList<QSize> StoredPictures::Sizes(QStringView drawing)
{
    QList<QSize> sizes;
    std::for_each(Entries, Entries + EntryCount, [&](const Entry& e) {
        if (QLatin1StringView(e.drawing) == drawing)
            sizes << QSize(e.width, e.height);
    });
    return sizes;
}

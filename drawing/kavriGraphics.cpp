// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "drawing/kavriGraphics.h"

#include <QHash>

namespace {

quint32 graphicsToken = 0;
quint16 clipboardFormat = 0;

// Format ids as a clipboard registry hands them out: the same name always
// gets the same id, starting above the predefined formats.
quint16 registerClipboardFormat(const QString& name)
{
    static QHash<QString, quint16> registry;
    auto it = registry.constFind(name);
    if (it != registry.constEnd())
        return *it;
    const auto id = quint16(0xC000 + registry.size());
    registry.insert(name, id);
    return id;
}

} // namespace

void kavriGraphicsStartup()
{
    // There is no separate graphics library to start here; the token only
    // records that start-up ran, so shut-down pairs with it.
    if (graphicsToken == 0)
        graphicsToken = 1;
    if (clipboardFormat == 0)
        clipboardFormat = registerClipboardFormat(QStringLiteral("KavriObj"));
}

void kavriGraphicsShutdown()
{
    graphicsToken = 0;
}

quint32 kavriGraphicsToken()
{
    return graphicsToken;
}

quint16 kavriClipboardFormat()
{
    return clipboardFormat;
}

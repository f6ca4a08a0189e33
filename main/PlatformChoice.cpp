// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "main/PlatformChoice.h"

QByteArray PlatformForSession(const std::function<QByteArray(const char* name)>& variable)
{
    if (!variable("QT_QPA_PLATFORM").isEmpty())
        return {};
    // Qt goes by either sign of a Wayland session.
    const bool wayland = !variable("WAYLAND_DISPLAY").isEmpty() || variable("XDG_SESSION_TYPE") == "wayland";
    if (wayland && !variable("DISPLAY").isEmpty())
        return QByteArrayLiteral("xcb");
    return {};
}

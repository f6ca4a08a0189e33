// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QtGlobal>

// Start-up and shut-down of the graphics helpers. The program keeps a
// graphics-library token and a registered clipboard format for objects of
// its drawings; nothing reads either yet, but both live for the whole run.

void kavriGraphicsStartup();
void kavriGraphicsShutdown();

// The token of the graphics library start; 0 while not started.
quint32 kavriGraphicsToken();

// The id of the registered clipboard format "KavriObj"; 0 when not registered.
quint16 kavriClipboardFormat();

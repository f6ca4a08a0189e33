// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// Desktop and file-system services the program expects from its platform.

// Hands a document, folder or link to the desktop ("open"). False when the
// desktop refused it; callers that have nothing to report ignore the result.
bool ShellOpen(const QString& target);

// The per-user local (non-roaming) data folder, without a trailing separator;
// empty when the platform has none.
QString LocalAppDataFolder();

// Creates the folder with all missing levels; an existing folder counts as success.
bool ForceDirectories(const QString& path);

// Free bytes available to the user on the file system that holds path (which
// must exist); -1 when unknown.
qint64 DiskFree(const QString& path);

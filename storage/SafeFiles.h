// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Reading and writing a file so that nothing but a regular file is touched
// and a failed write leaves the previous file as it was. Both value files go
// through here; nothing here knows their formats.

#include <QByteArray>
#include <QString>

#include <optional>

class QFile;

namespace ValueFiles {

// Opens `file` (its name set) for reading only when it names a regular file,
// a link to one included. A FIFO, socket, device or folder is refused without
// being opened for real, so nothing found under a file's name can block the
// program or set off a device's own effects; a FIFO put there between the
// check and the opening is caught too.
bool OpenRegularFile(QFile& file);

// At most `maxBytes` of a regular file; nothing when the path names no
// regular file, cannot be opened, or a read fails.
std::optional<QByteArray> ReadRegularFile(const QString& path, qint64 maxBytes);

// Writes through a temporary file in the target's folder and renames it over
// the target only when every byte was written and flushed to the file system,
// so a full disk, a quota, a file-size limit, an I/O error, a killed process
// or a refused folder leaves a previous file byte-identical and returns false.
// A link is followed to the regular file it names, and that file is
// replaced. Nothing else is ever replaced, created or truncated: a link to a
// folder, device, FIFO or socket, a dangling link or a loop of links returns
// false. The folder is synced after the rename, so a power cut keeps the new
// name; temporaries of the same target left by a killed process are removed.
bool WriteFileAtomically(const QString& path, const QByteArray& data, QString* errorText = nullptr);

} // namespace ValueFiles

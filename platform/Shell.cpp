// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/Shell.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QUrl>

#include <limits>

#ifdef Q_OS_UNIX
#include <sys/statvfs.h>
#endif

bool ShellOpen(const QString& target)
{
    if (target.trimmed().isEmpty())
        return false;
    // A plain path is a local file; anything with a scheme (mailto:, https:) a link.
    const QUrl url = QFileInfo::exists(target) ? QUrl::fromLocalFile(target) : QUrl::fromUserInput(target);
    return url.isValid() && QDesktopServices::openUrl(url);
}

QString LocalAppDataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

bool ForceDirectories(const QString& path)
{
    if (path.isEmpty())
        return false;
    return QDir().mkpath(path);
}

qint64 DiskFree(const QString& path)
{
#ifdef Q_OS_UNIX
    // Asked of the file system that holds the path, not looked up in the
    // mount table: inside a chroot or a container the table may list the
    // host's mounts, or none that holds the path.
    const QByteArray native = QFile::encodeName(path);
    struct statvfs info = {};
    if (native.isEmpty() || ::statvfs(native.constData(), &info) != 0)
        return -1;
    qint64 bytes = 0;
    if (__builtin_mul_overflow(qint64(info.f_bavail), qint64(info.f_frsize), &bytes))
        return std::numeric_limits<qint64>::max();
    return bytes;
#else
    const QStorageInfo storage(path);
    if (!storage.isValid() || !storage.isReady())
        return -1;
    return storage.bytesAvailable();
#endif
}

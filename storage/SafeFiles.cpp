// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "storage/SafeFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QRandomGenerator>
#ifndef Q_OS_UNIX
#include <QSaveFile>
#endif

#ifdef Q_OS_UNIX
#include <cerrno>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace ValueFiles {

bool OpenRegularFile(QFile& file)
{
#ifdef Q_OS_UNIX
    const QByteArray native = QFile::encodeName(file.fileName());
    if (native.isEmpty())
        return false;
    // Looked at before opening: opening a device can do something of its own
    // (a tape rewinds, a serial line rises), and opening a FIFO waits for a
    // writer.
    struct stat info {
    };
    if (::stat(native.constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    // Non-blocking and checked again on what was opened: something else can
    // be put under the name between the two steps.
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return false;
    }
    // Plain blocking reads from here: a file system with mandatory locks
    // could otherwise answer EAGAIN, which would read as a failure.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags != -1)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
#else
    if (!QFileInfo(file.fileName()).isFile())
        return false;
    return file.open(QIODevice::ReadOnly);
#endif
}

std::optional<QByteArray> ReadRegularFile(const QString& path, qint64 maxBytes)
{
    QFile file(path);
    if (!OpenRegularFile(file))
        return std::nullopt;
    QByteArray data(qsizetype(qMax<qint64>(0, maxBytes)), Qt::Uninitialized);
    qsizetype got = 0;
    while (got < data.size()) {
        const qint64 n = file.read(data.data() + got, data.size() - got);
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break;
        got += qsizetype(n);
    }
    data.truncate(got);
    return data;
}

#ifdef Q_OS_UNIX

namespace {

// Links followed before a chain counts as a loop, as many as the kernel follows.
constexpr int kMaxLinks = 40;
// Random characters at the end of a temporary file's name.
constexpr int kTemporaryRandom = 6;

// The file that a write to `path` replaces: `path` itself, or the regular
// file at the end of its chain of links. Empty where nothing may be written:
// a folder, a device, a FIFO or a socket, wherever a link points, a dangling
// link (which would create its target wherever it points) or a loop.
// `existing` receives the regular file's status, zeroed for a new file.
QByteArray WriteTarget(const QByteArray& path, struct stat& existing, QString& error)
{
    QByteArray current = path;
    for (int links = 0; links <= kMaxLinks; ++links) {
        if (::lstat(current.constData(), &existing) != 0) {
            const int code = errno;
            existing = {};
            if (code == ENOENT && links == 0)
                return current;
            error = qt_error_string(code);
            return {};
        }
        if (S_ISREG(existing.st_mode))
            return current;
        if (!S_ISLNK(existing.st_mode)) {
            error = QStringLiteral("%1 ist keine gewöhnliche Datei").arg(QFile::decodeName(current));
            return {};
        }
        QByteArray target(PATH_MAX, Qt::Uninitialized);
        const ssize_t length = ::readlink(current.constData(), target.data(), size_t(target.size()));
        if (length <= 0 || length >= target.size()) {
            error = qt_error_string(length < 0 ? errno : ENAMETOOLONG);
            return {};
        }
        target.truncate(length);
        // Joined, not cleaned up: ".." after a linked folder means the parent
        // of where that link points, which only the kernel resolves right.
        current = target.startsWith('/') ? target : current.left(current.lastIndexOf('/') + 1) + target;
    }
    error = qt_error_string(ELOOP);
    return {};
}

QByteArray RandomCharacters(int count)
{
    static constexpr char alphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray text(count, Qt::Uninitialized);
    for (char& c : text)
        c = alphabet[QRandomGenerator::global()->bounded(int(sizeof alphabet) - 1)];
    return text;
}

// Removes the temporary files of one target that no writer holds: a writer
// keeps its temporary locked until the rename, so an unlocked one was left
// by a process killed before it got there.
void RemoveLeftoverTemporaries(const QByteArray& folder, const QByteArray& prefix)
{
    DIR* dir = ::opendir(folder.isEmpty() ? "." : folder.constData());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArrayView name(entry->d_name);
        if (name.size() != prefix.size() + kTemporaryRandom || !name.startsWith(prefix))
            continue;
        const QByteArray path = folder + QByteArray(entry->d_name);
        // Looked at before opening, so that nothing but a regular file is
        // opened; checked again on what was opened.
        struct stat info {
        };
        if (::lstat(path.constData(), &info) != 0 || !S_ISREG(info.st_mode))
            continue;
        const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0)
            continue;
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(path.constData());
        ::close(fd);
    }
    ::closedir(dir);
}

bool WriteReplacing(const QByteArray& path, const QByteArray& data, QString& error)
{
    const auto failed = [&error](int code) {
        error = qt_error_string(code);
        return false;
    };
    if (path.isEmpty())
        return failed(ENOENT);
    struct stat existing {
    };
    const QByteArray target = WriteTarget(path, existing, error);
    if (target.isEmpty())
        return false;
    const bool replacing = existing.st_mode != 0;
    // A file made read-only stays as it is, as it would if written in place.
    if (replacing && ::faccessat(AT_FDCWD, target.constData(), W_OK, AT_EACCESS) != 0)
        return failed(errno);

    // Beside the target, so that the rename stays within one file system.
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = target.left(slash + 1);
    const QByteArray prefix = '.' + target.mid(slash + 1) + ".tiraso-";
    RemoveLeftoverTemporaries(folder, prefix);

    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 16; ++attempt) {
        temporary = folder + prefix + RandomCharacters(kTemporaryRandom);
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return failed(errno);
    }
    if (fd < 0)
        return failed(EEXIST);
    ::flock(fd, LOCK_EX | LOCK_NB);

    int code = 0;
    for (qsizetype done = 0; code == 0 && done < data.size();) {
        const ssize_t n = ::write(fd, data.constData() + done, size_t(data.size() - done));
        if (n > 0)
            done += n;
        else if (n == 0 || errno != EINTR)
            code = n == 0 ? ENOSPC : errno;
    }
    if (code == 0 && replacing && ::fchmod(fd, existing.st_mode & 0777) != 0)
        code = errno;
    // Space that the file system only allots later (a quota, a network file
    // system) runs out here rather than at write().
    if (code == 0 && ::fsync(fd) != 0)
        code = errno;
    if (code == 0 && ::rename(temporary.constData(), target.constData()) != 0)
        code = errno;
    if (code != 0)
        ::unlink(temporary.constData());
    // Closed only now: the lock keeps other writers' clean-up away until the
    // temporary has its final name.
    ::close(fd);
    if (code != 0)
        return failed(code);

    // The new name lives in the folder: until the folder reaches the disk
    // too, a power cut can bring back the old file or none. A failure here
    // is not reported: the file is written and in place.
    const int folderFd = ::open(folder.isEmpty() ? "." : folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    return true;
}

} // namespace

bool WriteFileAtomically(const QString& path, const QByteArray& data, QString* errorText)
{
    QString error;
    const bool written = WriteReplacing(QFile::encodeName(path), data, error);
    if (errorText)
        *errorText = written ? QString() : error;
    return written;
}

#else

bool WriteFileAtomically(const QString& path, const QByteArray& data, QString* errorText)
{
    QSaveFile file(path);
    // Writing in place would defeat the point: a folder that refuses the
    // temporary file must make the whole write fail.
    file.setDirectWriteFallback(false);
    const auto fail = [&] {
        if (errorText)
            *errorText = file.errorString();
        file.cancelWriting();
        return false;
    };
    // Unbuffered, so that every write reaches the file system here and its
    // failure is seen here. Buffered bytes would be written only inside
    // commit(), which (Qt 6.4) ignores that this last write failed and renames
    // the short file over the target.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail();
    for (qsizetype done = 0; done < data.size();) {
        const qint64 n = file.write(data.constData() + done, data.size() - done);
        if (n <= 0)
            return fail();
        done += qsizetype(n);
    }
    if (!file.flush() || file.error() != QFileDevice::NoError)
        return fail();
    if (!file.commit()) {
        if (errorText)
            *errorText = file.errorString();
        return false;
    }
    if (errorText)
        errorText->clear();
    return true;
}

#endif

} // namespace ValueFiles

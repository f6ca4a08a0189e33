// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "main/DisplayCheck.h"

#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace {

// One window system Qt may try: whether it has a display to connect to, and
// what to tell when it does not start.
struct Candidate {
    bool possible = false;
    QString problem;
};

QString quoted(const QByteArray& text)
{
    return QStringLiteral("„%1“").arg(QString::fromLocal8Bit(text));
}

Candidate X11(const std::function<QByteArray(const char*)>& variable)
{
    const QByteArray display = variable("DISPLAY");
    if (display.isEmpty())
        return {false, QStringLiteral("DISPLAY ist nicht gesetzt")};
    // Whether it answers only a connection tells; Qt makes that.
    return {true, QStringLiteral("die Anzeige %1 (DISPLAY) kann nicht geöffnet werden").arg(quoted(display))};
}

Candidate Wayland(const std::function<QByteArray(const char*)>& variable)
{
    // As the Wayland client library looks: a connection handed over first,
    // then the socket WAYLAND_DISPLAY names ("wayland-0" without it), in
    // XDG_RUNTIME_DIR unless the name is a path.
    if (!variable("WAYLAND_SOCKET").isEmpty())
        return {true, QStringLiteral("die Wayland-Verbindung aus WAYLAND_SOCKET kann nicht verwendet werden")};
    const QByteArray name = variable("WAYLAND_DISPLAY");
    const QByteArray shown = name.isEmpty() ? QByteArrayLiteral("wayland-0") : name;
    const QByteArray runtime = variable("XDG_RUNTIME_DIR");
    QByteArray socket = shown;
    if (!shown.startsWith('/'))
        socket = runtime.isEmpty() ? QByteArray() : runtime + '/' + shown;
    if (!socket.isEmpty() && QFileInfo::exists(QFile::decodeName(socket)))
        return {true, QStringLiteral("die Wayland-Anzeige %1 kann nicht geöffnet werden").arg(quoted(shown))};
    if (name.isEmpty())
        return {false, QStringLiteral("WAYLAND_DISPLAY ist nicht gesetzt")};
    return {false, QStringLiteral("die Wayland-Anzeige %1 (WAYLAND_DISPLAY) gibt es nicht").arg(quoted(name))};
}

Candidate Other(const QByteArray& name)
{
    // Whether Qt has it, and whether it needs a display at all ("offscreen"
    // does not), only Qt knows.
    return {true,
            QStringLiteral("das Fenstersystem %1 (QT_QPA_PLATFORM) ist nicht vorhanden oder kann nicht starten")
                .arg(quoted(name))};
}

// Messages Qt gives while its window system starts, held back by the guard.
struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
    QString formatted;
};

std::mutex heldMutex;
QList<HeldMessage> held;
QString heldCause;
QtMessageHandler previousHandler = nullptr;

void writeError(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

void holdMessage(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    const std::lock_guard lock(heldMutex);
    if (type != QtFatalMsg) {
        held.append({type, QByteArray(context.category), text, qFormatLogMessage(type, context, text)});
        return;
    }
    // Qt gives up on its window system and would abort with advice to
    // reinstall, which does not help. What it said before is kept as the
    // details: it can name a cause no look at the environment finds (a
    // library missing, an authorisation refused).
    QString message = NoWindowMessage(heldCause);
    if (!held.isEmpty()) {
        message += QStringLiteral("Meldungen von Qt:\n");
        for (const HeldMessage& m : std::as_const(held))
            message += QStringLiteral("  ") + m.formatted + QLatin1Char('\n');
    }
    writeError(message);
    std::_Exit(1);
}

} // namespace

DisplayCheck CheckDisplay(const std::function<QByteArray(const char* name)>& variable)
{
    const QByteArray platform = variable("QT_QPA_PLATFORM");
    QList<Candidate> candidates;
    if (platform.isEmpty()) {
        // Qt's own choice: X11 or Wayland, as the session offers them.
        const Candidate x11 = X11(variable);
        const Candidate wayland = Wayland(variable);
        if (!x11.possible && !wayland.possible)
            return {true,
                    QStringLiteral("Es ist keine Anzeige eingestellt (weder DISPLAY noch WAYLAND_DISPLAY ist "
                                   "gesetzt)")};
        candidates = {x11, wayland};
    } else {
        // Names separated by ";" are tried in turn; ":" starts a window
        // system's own options.
        for (const QByteArray& entry : platform.split(';')) {
            const qsizetype colon = entry.indexOf(':');
            const QByteArray name = (colon < 0 ? entry : entry.left(colon)).trimmed();
            if (name == "xcb")
                candidates << X11(variable);
            else if (name.startsWith("wayland"))
                candidates << Wayland(variable);
            else if (!name.isEmpty())
                candidates << Other(name);
        }
        if (candidates.isEmpty())
            candidates << Other(platform);
    }

    DisplayCheck check;
    check.hopeless
        = std::none_of(candidates.cbegin(), candidates.cend(), [](const Candidate& c) { return c.possible; });
    // Where one of them could start, the others are no news.
    QStringList problems;
    for (const Candidate& candidate : std::as_const(candidates))
        if ((candidate.possible || check.hopeless) && !problems.contains(candidate.problem))
            problems << candidate.problem;
    check.cause = problems.join(QStringLiteral("; "));
    check.cause[0] = check.cause[0].toUpper();
    return check;
}

std::function<QByteArray(const char* name)> WindowSystemVariables(int argc, char** argv)
{
    return [argc, argv](const char* name) -> QByteArray {
        const char* option = qstrcmp(name, "QT_QPA_PLATFORM") == 0 ? "platform"
            : qstrcmp(name, "DISPLAY") == 0                        ? "display"
                                                                   : nullptr;
        for (int i = 1; option && i + 1 < argc; ++i) {
            const char* argument = argv[i];
            if (argument[0] == '-' && qstrcmp(argument + (argument[1] == '-' ? 2 : 1), option) == 0)
                return argv[i + 1];
        }
        return qgetenv(name);
    };
}

QString NoWindowMessage(const QString& cause)
{
    return QStringLiteral("tiraso: Das Fenster kann nicht angezeigt werden. %1.\n"
                          "Ohne Fenster rechnet tiraso --calc, zum Beispiel:\n"
                          "  tiraso --calc x1=0 y1=0 x2=1 y2=1 x=0.33\n"
                          "(mehr mit tiraso --help).\n")
        .arg(cause);
}

DisplayFailureGuard::DisplayFailureGuard(const QString& cause)
{
    const std::lock_guard lock(heldMutex);
    heldCause = cause;
    held.clear();
    previousHandler = qInstallMessageHandler(holdMessage);
}

DisplayFailureGuard::~DisplayFailureGuard()
{
    QList<HeldMessage> messages;
    {
        const std::lock_guard lock(heldMutex);
        qInstallMessageHandler(previousHandler);
        messages.swap(held);
    }
    for (const HeldMessage& m : std::as_const(messages)) {
        const QMessageLogContext context(nullptr, 0, nullptr, m.category.isEmpty() ? nullptr : m.category.constData());
        if (previousHandler)
            previousHandler(m.type, context, m.text);
    }
}

// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/CommandLine.h"

#include "calc/RUVTaRe.h"
#include "cli/Batch.h"

#include "ReleaseInfo.h"

#include <cstdio>
#include <cstring>
#include <string>

#ifdef Q_OS_UNIX
#include <cerrno>

#include <poll.h>
#include <unistd.h>
#endif

namespace CommandLine {

namespace {

// Also the first line of the help.
const char* const Usage = "Aufruf: tiraso --calc x1=W y1=W x2=W y2=W (x=W | y=W | x=- | y=-)\n"
                          "              [--decimals N] [--degrees] [--plain] [--json] [--extrapolate]\n";

const char* const Help = "       tiraso --help | --version\n"
                         "\n"
                         "Rechnet die lineare Interpolation ohne Fenster und gibt die Ergebnisse\n"
                         "zeilenweise als \"Name<TAB>Wert\" aus, so formatiert wie im Fenster.\n"
                         "\n"
                         "  x1=W y1=W   erster Stützpunkt\n"
                         "  x2=W y2=W   zweiter Stützpunkt\n"
                         "  x=W         Stelle X\n"
                         "  y=W         Rückrechnung: die Stelle X, an der die Gerade die Höhe W\n"
                         "              erreicht (W streng zwischen y1 und y2); zuerst\n"
                         "              \"X<TAB>Wert\", dann die Ergebnisse bei X\n"
                         "              W ist eine Zahl oder Rechenformel (\",\" und \".\" als\n"
                         "              Dezimalzeichen, ohne Tausenderpunkte, z. B. 2.125,\n"
                         "              1e-05 oder 2*3)\n"
                         "  x=- y=-     die Werte von der Standardeingabe, einer je Zeile (leere\n"
                         "              Zeilen zählen mit, werden aber übersprungen); je Wert eine\n"
                         "              Zeile \"Wert<TAB>Wert bei X\" bzw. \"Höhe<TAB>X\"\n"
                         "  --decimals N  Nachkommastellen der Ergebnisse (Standard 3)\n"
                         "  --degrees     Neigung in Grad statt in Prozent\n"
                         "  --plain       Zahlen mit \".\", ohne Tausenderpunkte und Einheit, auf die\n"
                         "                letzte Stelle genau (kürzeste exakte Form)\n"
                         "  --json        ein JSON-Objekt mit Eingaben, Lage und allen Ergebnissen\n"
                         "                in voller Genauigkeit, bei x=- und y=- eines je Zeile\n"
                         "  --extrapolate außerhalb von x1 … x2 der Wert auf der Geraden statt y1,\n"
                         "                bei y= auch Höhen außerhalb von y1 … y2\n"
                         "\n"
                         "Beispiele:\n"
                         "  tiraso --calc x1=0 y1=0 x2=2 y2=4 x=0,5\n"
                         "  tiraso --calc x1=0 y1=0 x2=2 y2=4 y=3\n"
                         "  printf '0,25\\n0.5\\n1.5\\n' | tiraso --calc x1=0 y1=0 x2=2 y2=4 x=-\n"
                         "  tiraso --calc x1=0 y1=0 x2=2 y2=4 x=0.1 --plain\n"
                         "  tiraso --calc x1=0 y1=0 x2=2 y2=4 x=0,5 --json\n"
                         "  tiraso --calc x1=0 y1=0 x2=2 y2=4 x=5 --extrapolate\n"
                         "\n"
                         "Rückgabewert: 0 bei Erfolg, 1 wenn die Ein- oder Ausgabe scheitert, 2 bei\n"
                         "einem ungültigen Argument oder einer ungültigen Eingabezeile, 3 wenn X\n"
                         "außerhalb von x1 … x2 liegt (Wert bei X ist dann y1) oder es zur Höhe\n"
                         "keine Stelle X gibt.\n";

struct Failure {
    QString message;
};

Settings parse(const QStringList& arguments)
{
    // The names in the order of the usage line, in either case: "X" as the
    // window writes it, and then "X1" too.
    static const char* const names[] = {"x1", "y1", "x2", "y2", "x", "y"};
    enum { X = 4, Y = 5 };
    double Interpolation::Inputs::*const fields[] = {&Interpolation::Inputs::x1, &Interpolation::Inputs::y1,
                                                     &Interpolation::Inputs::x2, &Interpolation::Inputs::y2,
                                                     &Interpolation::Inputs::X};
    Settings settings;
    bool given[6] = {};
    bool decimalsGiven = false;
    TRUVTaRe calculator;

    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == u"--calc")
            continue;
        if (argument == u"--json") {
            settings.json = true;
            continue;
        }
        if (argument == u"--plain") {
            settings.plain = true;
            continue;
        }
        if (argument == u"--extrapolate") {
            settings.extrapolate = true;
            continue;
        }
        if (argument == u"--degrees") {
            settings.percent = false;
            continue;
        }
        if (argument == u"--decimals" || argument.startsWith(u"--decimals=")) {
            if (decimalsGiven)
                throw Failure{QStringLiteral("--decimals ist mehrfach angegeben")};
            decimalsGiven = true;
            QString value;
            if (argument == u"--decimals") {
                if (++i >= arguments.size())
                    throw Failure{QStringLiteral("--decimals erwartet eine ganze Zahl")};
                value = arguments.at(i);
            } else {
                value = argument.mid(int(std::strlen("--decimals=")));
            }
            bool ok = false;
            settings.decimals = value.toInt(&ok);
            if (!ok)
                throw Failure{QStringLiteral("--decimals erwartet eine ganze Zahl, nicht %1").arg(Quoted(value))};
            continue;
        }
        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        int index = -1;
        if (equals > 0) {
            const QString name = argument.left(equals);
            for (int n = 0; n < 6; ++n)
                if (name.compare(QLatin1String(names[n]), Qt::CaseInsensitive) == 0)
                    index = n;
        }
        if (index < 0)
            throw Failure{QStringLiteral("unbekanntes Argument %1").arg(Quoted(argument))};
        if (given[index])
            throw Failure{QStringLiteral("%1 ist mehrfach angegeben").arg(QLatin1String(names[index]))};
        given[index] = true;
        if (given[X] && given[Y])
            throw Failure{QStringLiteral("x= und y= schließen einander aus")};
        const QString text = argument.mid(equals + 1);
        if (index >= X && text == u"-") {
            settings.fromInput = true;
            settings.inverse = index == Y;
            continue;
        }
        const std::optional<double> value = Evaluate(calculator, text);
        if (!value)
            throw Failure{QStringLiteral("%1: %2 ist keine gültige Zahl oder Rechenformel")
                              .arg(QLatin1String(names[index]), Quoted(text))};
        if (index == Y) {
            settings.inverse = true;
            settings.height = *value;
            continue;
        }
        // The window's editors would raise such a value without a word; a
        // script would then get results for inputs it never gave.
        if (*value < Interpolation::InputMinimum)
            throw Failure{QStringLiteral("%1: %2 ist kleiner als -1.000.000, der kleinste Wert des Programms")
                              .arg(QLatin1String(names[index]), Quoted(text))};
        settings.in.*fields[index] = *value;
    }
    QStringList missing;
    for (int n = 0; n < X; ++n)
        if (!given[n])
            missing << QLatin1String(names[n]) + QStringLiteral("=…");
    if (!given[X] && !given[Y])
        missing << QStringLiteral("x=… oder y=…");
    if (!missing.isEmpty())
        throw Failure{QStringLiteral("es fehlt %1").arg(missing.join(QStringLiteral(", ")))};
    return settings;
}

// One x=V or y=V.
int calculate(const Settings& settings, Channel& channel)
{
    std::string out;
    std::string err;
    Interpolation::Inputs in = settings.in;
    if (settings.inverse) {
        const Solution solution = Solve(in, settings.height, settings.extrapolate);
        if (!solution.x) {
            channel.WriteErr(std::string("tiraso: ") + solution.refusal + '\n');
            return 3;
        }
        in.X = *solution.x;
    }
    const Place place = Locate(in, settings.extrapolate);
    if (settings.json) {
        AppendJson(out, in, settings.height, 0, settings);
        out += '\n';
    } else {
        if (settings.inverse) {
            out += "X\t";
            AppendNumber(out, in.X, settings);
            out += '\n';
        }
        AppendResultLines(out, ResultsAt(in, place), settings);
    }
    if (place == Place::Outside)
        err = std::string("tiraso: ") + OutsideNote(in) + '\n';
    if (!channel.WriteOut(out))
        return 1;
    channel.WriteErr(err);
    return place == Place::Outside ? 3 : 0;
}

int run(const QStringList& arguments, Channel& channel)
{
    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h")))
        return channel.WriteOut(std::string(Usage) + Help) ? 0 : 1;
    if (arguments.contains(QStringLiteral("--version")))
        return channel.WriteOut(std::string("tiraso ") + ReleaseInfo::Version + "\n") ? 0 : 1;
    Settings settings;
    try {
        settings = parse(arguments);
    } catch (const Failure& failure) {
        const QByteArray message = (QStringLiteral("tiraso: ") + failure.message + QLatin1Char('\n')).toUtf8();
        channel.WriteErr(message.toStdString() + Usage);
        return 2;
    }
    if (!settings.fromInput)
        return calculate(settings, channel);
    // Every height would be refused alike: said once, before any input is read.
    if (settings.inverse) {
        if (const char* refusal = LineRefusal(settings.in)) {
            channel.WriteErr(std::string("tiraso: ") + refusal + '\n');
            return 3;
        }
    }
    return RunBatch(settings, channel);
}

#ifdef Q_OS_UNIX
class StandardStreams final : public Channel
{
public:
    qsizetype Read(char* buffer, qsizetype size) override
    {
        for (;;) {
            const ssize_t count = ::read(STDIN_FILENO, buffer, std::size_t(size));
            if (count >= 0 || errno != EINTR)
                return count;
        }
    }
    bool InputReady() override
    {
        pollfd input{STDIN_FILENO, POLLIN, 0};
        return ::poll(&input, 1, 0) != 0;
    }
    bool WriteOut(std::string_view data) override { return writeAll(STDOUT_FILENO, data); }
    void WriteErr(std::string_view data) override { writeAll(STDERR_FILENO, data); }
    bool Interactive() override { return ::isatty(STDOUT_FILENO) == 1; }

private:
    static bool writeAll(int file, std::string_view data)
    {
        while (!data.empty()) {
            const ssize_t count = ::write(file, data.data(), data.size());
            if (count < 0 && errno == EINTR)
                continue;
            if (count <= 0)
                return false;
            data.remove_prefix(std::size_t(count));
        }
        return true;
    }
};
#else
class StandardStreams final : public Channel
{
public:
    qsizetype Read(char* buffer, qsizetype size) override
    {
        const std::size_t count = std::fread(buffer, 1, std::size_t(size), stdin);
        return count == 0 && std::ferror(stdin) ? -1 : qsizetype(count);
    }
    bool InputReady() override { return true; }
    bool WriteOut(std::string_view data) override
    {
        return std::fwrite(data.data(), 1, data.size(), stdout) == data.size() && std::fflush(stdout) == 0;
    }
    void WriteErr(std::string_view data) override { std::fwrite(data.data(), 1, data.size(), stderr); }
    bool Interactive() override { return false; }
};
#endif

} // namespace

bool Wanted(int argc, const char* const argv[])
{
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (!std::strcmp(a, "--calc") || !std::strcmp(a, "--help") || !std::strcmp(a, "-h")
            || !std::strcmp(a, "--version"))
            return true;
    }
    return false;
}

Outcome Run(const QStringList& arguments, const QByteArray& input)
{
    MemoryChannel channel(input);
    const int exitCode = run(arguments, channel);
    return {exitCode, channel.out, channel.err};
}

int Main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    StandardStreams channel;
    return run(arguments, channel);
}

} // namespace CommandLine

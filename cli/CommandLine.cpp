// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/CommandLine.h"

#include "calc/FloatErrors.h"
#include "calc/NumberFormat.h"
#include "calc/RUVTaRe.h"
#include "calc/TypedNumber.h"
#include "model/Interpolation.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>

namespace CommandLine {

namespace {

const char* const Usage = "Aufruf: tiraso --calc x1=W y1=W x2=W y2=W x=W [--decimals N] [--degrees] [--json]\n";

const char* const Help = "Aufruf: tiraso --calc x1=W y1=W x2=W y2=W x=W [--decimals N] [--degrees] [--json]\n"
                         "       tiraso --help | --version\n"
                         "\n"
                         "Rechnet die lineare Interpolation ohne Fenster und gibt die Ergebnisse\n"
                         "zeilenweise als \"Name<TAB>Wert\" aus, so formatiert wie im Fenster.\n"
                         "\n"
                         "  x1=W y1=W   erster Stützpunkt\n"
                         "  x2=W y2=W   zweiter Stützpunkt\n"
                         "  x=W         Stelle X\n"
                         "              W ist eine Zahl oder Rechenformel (\",\" und \".\" als\n"
                         "              Dezimalzeichen, ohne Tausenderpunkte, z. B. 2.125,\n"
                         "              1e-05 oder 2*3)\n"
                         "  --decimals N  Nachkommastellen der Ergebnisse (Standard 3)\n"
                         "  --degrees     Neigung in Grad statt in Prozent\n"
                         "  --json        ein JSON-Objekt mit Eingaben, Lage und allen Ergebnissen\n"
                         "                in voller Genauigkeit\n"
                         "\n"
                         "Rückgabewert: 0 bei Erfolg, 2 bei einem ungültigen Argument.\n";

struct Failure {
    QString message;
};

// A number as programs print it, read to the last bit, or a formula.
std::optional<double> evaluate(const QString& text)
{
    TRUVTaRe calculator;
    TRechenErgebnis result{};
    try {
        result = TypedNumber::Read(calculator, text, TypedNumber::Rule::CommandLine);
    } catch (const ECalcError&) {
        return std::nullopt;
    }
    if (result.Fehler != 0)
        return std::nullopt;
    if (!(std::fabs(result.Wert) <= static_cast<long double>(std::numeric_limits<double>::max())))
        return std::nullopt;
    return static_cast<double>(result.Wert);
}

QString number(double value)
{
    // JSON has no infinity; a result beyond the double range has no number.
    return std::isfinite(value) ? NumberFormat::RoundTrip(value) : QStringLiteral("null");
}

QString layoutName(TLayoutState layout)
{
    switch (layout) {
    case lsFalling:
        return QStringLiteral("falling");
    case lsRising:
        return QStringLiteral("rising");
    case lsLevel:
        break;
    }
    return QStringLiteral("level");
}

QString json(const Interpolation::Inputs& in, int decimals, bool percent)
{
    const Interpolation::Results r = Interpolation::Compute(in);
    QString text = QStringLiteral("{\"inputs\":{\"x1\":%1,\"y1\":%2,\"x2\":%3,\"y2\":%4,\"x\":%5},")
                       .arg(number(in.x1), number(in.y1), number(in.x2), number(in.y2), number(in.X));
    // The places the texts were written with, which differ from the ones
    // asked for outside 0..18.
    text += QStringLiteral("\"decimals\":%1,\"percent\":%2,\"layout\":\"%3\",")
                .arg(NumberFormat::EffectiveDecimals(decimals))
                .arg(percent ? QStringLiteral("true") : QStringLiteral("false"), layoutName(r.Layout));
    text += QStringLiteral("\"results\":{\"valueAtX\":%1,\"heightAtX\":%2,\"totalHeight\":%3,\"totalLength\":%4,")
                .arg(number(r.Y), number(r.HX), number(r.Hges), number(r.LGes));
    text += QStringLiteral("\"leftLength\":%1,\"rightLength\":%2,\"slopePercent\":%3,\"slopeDegrees\":%4}}\n")
                .arg(number(r.LLi), number(r.LRe), number(r.SlopePercent), number(static_cast<double>(r.SlopeDegrees)));
    return text;
}

// Control characters as \x1b: written raw, an argument could move the
// cursor, recolour or retitle the terminal that shows the message.
QString quoted(const QString& text)
{
    QString shown;
    shown.reserve(text.size() + 2);
    shown += u'„';
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control)
            shown += QStringLiteral("\\x%1").arg(uint(c.unicode()), 2, 16, QLatin1Char('0'));
        else
            shown += c;
    }
    shown += u'“';
    return shown;
}

Outcome calculate(const QStringList& arguments)
{
    // The names in the order of the usage line, in either case: "X" as the
    // window writes it, and then "X1" too.
    static const char* const names[] = {"x1", "y1", "x2", "y2", "x"};
    double Interpolation::Inputs::*const fields[] = {&Interpolation::Inputs::x1, &Interpolation::Inputs::y1,
                                                     &Interpolation::Inputs::x2, &Interpolation::Inputs::y2,
                                                     &Interpolation::Inputs::X};
    Interpolation::Inputs in;
    bool given[5] = {};
    int decimals = Interpolation::StartDecimals;
    bool decimalsGiven = false;
    bool percent = true;
    bool asJson = false;

    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == u"--calc")
            continue;
        if (argument == u"--json") {
            asJson = true;
            continue;
        }
        if (argument == u"--degrees") {
            percent = false;
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
            decimals = value.toInt(&ok);
            if (!ok)
                throw Failure{QStringLiteral("--decimals erwartet eine ganze Zahl, nicht %1").arg(quoted(value))};
            continue;
        }
        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        int index = -1;
        if (equals > 0) {
            const QString name = argument.left(equals);
            for (int n = 0; n < 5; ++n)
                if (name.compare(QLatin1String(names[n]), Qt::CaseInsensitive) == 0)
                    index = n;
        }
        if (index < 0)
            throw Failure{QStringLiteral("unbekanntes Argument %1").arg(quoted(argument))};
        if (given[index])
            throw Failure{QStringLiteral("%1 ist mehrfach angegeben").arg(QLatin1String(names[index]))};
        const QString text = argument.mid(equals + 1);
        const std::optional<double> value = evaluate(text);
        if (!value)
            throw Failure{QStringLiteral("%1: %2 ist keine gültige Zahl oder Rechenformel")
                              .arg(QLatin1String(names[index]), quoted(text))};
        // The window's editors would raise such a value without a word; a
        // script would then get results for inputs it never gave.
        if (*value < Interpolation::InputMinimum)
            throw Failure{QStringLiteral("%1: %2 ist kleiner als -1.000.000, der kleinste Wert des Programms")
                              .arg(QLatin1String(names[index]), quoted(text))};
        in.*fields[index] = *value;
        given[index] = true;
    }
    QStringList missing;
    for (int n = 0; n < 5; ++n)
        if (!given[n])
            missing << QLatin1String(names[n]) + QStringLiteral("=…");
    if (!missing.isEmpty())
        throw Failure{QStringLiteral("es fehlt %1").arg(missing.join(QStringLiteral(", ")))};

    Outcome outcome;
    if (asJson) {
        outcome.out = json(in, decimals, percent).toUtf8();
        return outcome;
    }
    QString text;
    const auto rows = Interpolation::ResultTexts(Interpolation::Recompute(in, decimals, percent).captions);
    for (const Interpolation::NamedText& row : rows)
        text += row.name + QLatin1Char('\t') + row.text + QLatin1Char('\n');
    outcome.out = text.toUtf8();
    return outcome;
}

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

Outcome Run(const QStringList& arguments)
{
    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h")))
        return {0, QByteArray(Help), {}};
    if (arguments.contains(QStringLiteral("--version")))
        return {0, QByteArray("tiraso " TIRASO_VERSION "\n"), {}};
    try {
        return calculate(arguments);
    } catch (const Failure& failure) {
        return {2, {}, (QStringLiteral("tiraso: ") + failure.message + QLatin1Char('\n')).toUtf8() + Usage};
    }
}

int Main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const Outcome outcome = Run(arguments);
    std::fwrite(outcome.out.constData(), 1, size_t(outcome.out.size()), stdout);
    std::fwrite(outcome.err.constData(), 1, size_t(outcome.err.size()), stderr);
    return std::fflush(stdout) == 0 ? outcome.exitCode : 1;
}

} // namespace CommandLine

// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cli/Answers.h"

#include "calc/FloatErrors.h"
#include "calc/NumberFormat.h"
#include "calc/RUVTaRe.h"
#include "calc/TypedNumber.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <span>

namespace CommandLine {

namespace {

const char* const ExtrapolationRefusal = "Eine extrapolation ist nicht vorgesehen!";

void append(std::string& out, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    out.append(utf8.constData(), std::size_t(utf8.size()));
}

// JSON has no infinity; a result beyond the double range has no number.
void appendJsonNumber(std::string& out, double value)
{
    if (std::isfinite(value))
        AppendPlain(out, value);
    else
        out += "null";
}

struct Field {
    const char* name;
    double value;
};

void appendObject(std::string& out, std::span<const Field> fields)
{
    out += '{';
    for (const Field& field : fields) {
        if (&field != fields.data())
            out += ',';
        out += '"';
        out += field.name;
        out += "\":";
        appendJsonNumber(out, field.value);
    }
    out += '}';
}

const char* layoutName(TLayoutState layout)
{
    switch (layout) {
    case lsFalling:
        return "falling";
    case lsRising:
        return "rising";
    case lsLevel:
        break;
    }
    return "level";
}

std::optional<double> extrapolatedX(const Interpolation::Inputs& in, double height)
{
    // The support points exactly, which the quotient below may miss by a bit.
    if (height == in.y1)
        return in.x1;
    if (height == in.y2)
        return in.x2;
    const double x = in.x1 + (height - in.y1) / (in.y2 - in.y1) * (in.x2 - in.x1);
    if (!std::isfinite(x))
        return std::nullopt;
    return x;
}

} // namespace

std::optional<double> Evaluate(TRUVTaRe& calculator, const QString& text)
{
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

QString Quoted(const QString& text)
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

Place Locate(const Interpolation::Inputs& in, bool extrapolate)
{
    if ((in.x1 <= in.X && in.X <= in.x2) || in.X == in.x1 || in.X == in.x2)
        return Place::Inside;
    // Without an interval there is no line to follow.
    return extrapolate && in.x1 != in.x2 ? Place::Extrapolated : Place::Outside;
}

double ValueAt(const Interpolation::Inputs& in, Place place)
{
    return place == Place::Extrapolated ? Interpolation::LineValue(in) : Interpolation::ValueAtX(in);
}

Interpolation::Results ResultsAt(const Interpolation::Inputs& in, Place place)
{
    Interpolation::Results results = Interpolation::Compute(in);
    if (place == Place::Extrapolated) {
        results.Y = Interpolation::LineValue(in);
        results.HX = results.Y - in.y1;
    }
    return results;
}

const char* OutsideNote(const Interpolation::Inputs& in)
{
    if (in.x2 < in.x1)
        return "Hinweis: x2 ist kleiner als x1; Wert bei X ist y1 (keine Interpolation)";
    return "Hinweis: X liegt außerhalb von x1 … x2; Wert bei X ist y1 (keine Extrapolation)";
}

const char* LineRefusal(const Interpolation::Inputs& in)
{
    if (in.y1 == in.y2)
        return "y1 = y2: Auf einer waagerechten Linie gibt es zu einer Höhe keine Stelle X";
    if (in.x1 == in.x2)
        return "x1 = x2: Ohne Intervall gibt es zu einer Höhe keine Stelle X";
    // The back-calculation walks from x1 towards x2 as if x2 lay right of it.
    if (in.x2 < in.x1)
        return "x2 < x1: Die Rückrechnung setzt x1 < x2 voraus";
    return nullptr;
}

Solution Solve(const Interpolation::Inputs& in, double height, bool extrapolate)
{
    if (const char* refusal = LineRefusal(in))
        return {std::nullopt, refusal};
    const Interpolation::Entry entry = Interpolation::BackCalculate(in, height);
    if (entry.outcome == Interpolation::Entry::Changed)
        return {entry.inputs.X, nullptr};
    if (entry.outcome == Interpolation::Entry::Extrapolation) {
        if (!extrapolate)
            return {std::nullopt, ExtrapolationRefusal};
        if (const std::optional<double> x = extrapolatedX(in, height))
            return {x, nullptr};
    }
    return {std::nullopt, "Die Stelle X liegt außerhalb des Zahlenbereichs"};
}

void AppendPlain(std::string& out, double value)
{
    // to_chars without a format: the shortest text that reads back, in the
    // shorter of fixed and exponent form, whatever the locale.
    char buffer[32];
    const std::to_chars_result written = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, written.ptr);
}

void AppendNumber(std::string& out, long double value, const Settings& settings)
{
    if (settings.plain)
        AppendPlain(out, static_cast<double>(value));
    else
        append(out, NumberFormat::FormatN(settings.decimals, value));
}

void AppendResultLines(std::string& out, const Interpolation::Results& results, const Settings& settings)
{
    Interpolation::Captions captions;
    if (settings.plain) {
        // Numbers alone: no grouping, no rounding, no unit after the slope.
        const auto plain = [](double value) { return NumberFormat::RoundTrip(value); };
        captions = {plain(results.LLi),
                    plain(results.LRe),
                    plain(results.LGes),
                    plain(results.HX),
                    plain(results.Hges),
                    plain(results.Y),
                    plain(settings.percent ? results.SlopePercent : static_cast<double>(results.SlopeDegrees))};
    } else {
        captions = Interpolation::Format(results, settings.decimals, settings.percent);
    }
    for (const Interpolation::NamedText& row : Interpolation::ResultTexts(captions)) {
        append(out, row.name);
        out += '\t';
        append(out, row.text);
        out += '\n';
    }
}

void AppendJson(std::string& out, const Interpolation::Inputs& in, double height, qint64 line, const Settings& settings)
{
    const Place place = Locate(in, settings.extrapolate);
    const Interpolation::Results r = ResultsAt(in, place);
    out += '{';
    if (line > 0)
        out += "\"line\":" + std::to_string(line) + ',';
    const Field inputs[] = {{"x1", in.x1},
                            {"y1", in.y1},
                            {"x2", in.x2},
                            {"y2", in.y2},
                            settings.inverse ? Field{"y", height} : Field{"x", in.X}};
    out += "\"inputs\":";
    appendObject(out, inputs);
    // The places the texts were written with, which differ from the ones
    // asked for outside 0..18.
    out += ",\"decimals\":" + std::to_string(NumberFormat::EffectiveDecimals(settings.decimals));
    out += settings.percent ? ",\"percent\":true" : ",\"percent\":false";
    out += ",\"layout\":\"" + std::string(layoutName(r.Layout));
    out += place == Place::Inside ? "\",\"outside\":false" : "\",\"outside\":true";
    const Field results[] = {
        {"x", in.X},
        {"valueAtX", r.Y},
        {"heightAtX", r.HX},
        {"totalHeight", r.Hges},
        {"totalLength", r.LGes},
        {"leftLength", r.LLi},
        {"rightLength", r.LRe},
        {"slopePercent", r.SlopePercent},
        {"slopeDegrees", static_cast<double>(r.SlopeDegrees)},
    };
    // The X found for a height comes first, as in the lines.
    out += ",\"results\":";
    appendObject(out, std::span(results).subspan(settings.inverse ? 0 : 1));
    out += '}';
}

} // namespace CommandLine

// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "calc/TypedNumber.h"

#include "calc/NumberFormat.h"

namespace TypedNumber {

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isNumberCharacter(QChar c)
{
    return isDigit(c) || c == u'.' || c == u',';
}

// "1.500,25": a first group of one to three digits not beginning with 0, one
// or more "." each before exactly three digits, then "," and digits. Read as
// decimal points, its "." and "," would be two separators and no number, so
// taking it as German never changes a number that reads otherwise.
bool isGermanGrouped(QStringView run)
{
    qsizetype i = 0;
    while (i < run.size() && isDigit(run[i]))
        ++i;
    if (i < 1 || i > 3 || run[0] == u'0')
        return false;
    int groups = 0;
    while (i < run.size() && run[i] == u'.') {
        if (i + 3 >= run.size() || !isDigit(run[i + 1]) || !isDigit(run[i + 2]) || !isDigit(run[i + 3]))
            return false;
        i += 4;
        ++groups;
    }
    if (groups == 0 || i >= run.size() || run[i] != u',' || i + 1 >= run.size())
        return false;
    for (++i; i < run.size(); ++i) {
        if (!isDigit(run[i]))
            return false;
    }
    return true;
}

QString withoutGermanGroups(const QString& text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        if (!isNumberCharacter(text[i])) {
            result += text[i++];
            continue;
        }
        qsizetype end = i;
        while (end < text.size() && isNumberCharacter(text[end]))
            ++end;
        const QStringView run = QStringView(text).mid(i, end - i);
        if (isGermanGrouped(run)) {
            for (const QChar c : run) {
                if (c != NumberFormat::kGroupSeparator)
                    result += c;
            }
        } else {
            result += run;
        }
        i = end;
    }
    return result;
}

} // namespace

QString Ungrouped(const QString& text, Rule rule, const QString& shown)
{
    switch (rule) {
    case Rule::GroupingEditor:
        return NumberFormat::RemoveGroupingDots(text);
    case Rule::Prompt:
        // The prompt shows a result as the window writes it, where every "."
        // groups: confirmed as it is, "1.000" with no decimals is a thousand.
        if (!shown.isNull() && text == shown)
            return QString(text).remove(NumberFormat::kGroupSeparator);
        return withoutGermanGroups(text);
    case Rule::Formula:
    case Rule::CommandLine:
        break;
    }
    return text;
}

// "." and "," are both decimal points on the command line. A number holds at
// most one of either, so the one present is the one to read with; text with
// both is no number either way.
bool ReadPlainNumber(std::string_view text, double& value)
{
    return NumberFormat::TextToFloat(text, text.find(',') == std::string_view::npos ? '.' : ',', value);
}

TRechenErgebnis Read(TRUVTaRe& calculator, const QString& text, Rule rule, const QString& shown)
{
    TRechenErgebnis result{};
    if (rule == Rule::CommandLine) {
        // The calculator keeps 15 digits; a number printed by another program
        // ("677.0935393829503", "1e-05") must arrive with all of its bits.
        double value = 0;
        const QByteArray utf8 = text.toUtf8();
        if (ReadPlainNumber(std::string_view(utf8.constData(), std::size_t(utf8.size())), value)) {
            result.Wert = value;
            return result;
        }
    }
    calculator.Berechnen(Ungrouped(text, rule, shown), result);
    return result;
}

} // namespace TypedNumber

// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "calc/RUVTaRe.h"

#include <benchmark/benchmark.h>

#ifdef TIRASO_HAVE_MUPARSER
#include <muParser.h>
#endif

// The calculator evaluates one formula per call from its text, so every
// iteration measures a whole call. The comparison parses and evaluates each
// formula once per iteration as well, the way a calculator would use it.

namespace {

// Typical chunks joined with "+" up to exactly the length limit.
QString longestFormula()
{
    const QString chunk = QStringLiteral("(12,5+7.25)*3-4/8");
    QString formula = chunk;
    while (formula.size() + 1 + chunk.size() <= 255)
        formula += u'+' + chunk;
    if (formula.size() < 254)
        formula += u'+' + QString(255 - formula.size() - 1, u'1');
    while (formula.size() < 255)
        formula += u'0';
    return formula;
}

const QString kShort = QStringLiteral("2.5*(3.75-1.25)/0.5^2");
const QString kTypical = QStringLiteral("(12,5+7.25)*3-4/8");
const QString kLongest = longestFormula();

void Berechnen(benchmark::State& state, const QString& formula)
{
    TRUVTaRe calculator;
    TRechenErgebnis result{};
    for (auto _ : state) {
        calculator.Berechnen(formula, result);
        benchmark::DoNotOptimize(result);
    }
    if (result.Fehler != 0 || formula.size() > 255)
        state.SkipWithError("formula rejected");
    state.SetLabel(QStringLiteral("%1 chars").arg(formula.size()).toStdString());
}

BENCHMARK_CAPTURE(Berechnen, short, kShort);
BENCHMARK_CAPTURE(Berechnen, typical, kTypical);
BENCHMARK_CAPTURE(Berechnen, longest, kLongest);

#ifdef TIRASO_HAVE_MUPARSER
void MuParser(benchmark::State& state, const QString& formula)
{
    // muparser reads only "." as the decimal separator ("," separates
    // function arguments there).
    const std::string expression = QString(formula).replace(u',', u'.').toStdString();
    mu::Parser parser;
    for (auto _ : state) {
        parser.SetExpr(expression); // drops the byte code: the next Eval parses again
        double value = parser.Eval();
        benchmark::DoNotOptimize(value);
    }
}

BENCHMARK_CAPTURE(MuParser, short, kShort);
BENCHMARK_CAPTURE(MuParser, typical, kTypical);
BENCHMARK_CAPTURE(MuParser, longest, kLongest);
#endif

} // namespace

BENCHMARK_MAIN();

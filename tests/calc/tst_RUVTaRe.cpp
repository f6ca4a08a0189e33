// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "calc/RUVTaRe.h"

#include "../TestSupport.h"

#include <QScopeGuard>

#include <cctype>
#include <clocale>
#include <cmath>
#include <random>
#include <string>

Q_DECLARE_METATYPE(long double)

namespace {

TRechenErgebnis calculate(const QString& formula)
{
    TRUVTaRe calculator;
    TRechenErgebnis result{42, 42, 42.0L}; // every field must be reset by the call
    calculator.Berechnen(formula, result);
    return result;
}

// Plain recursive descent with ordinary precedence, in long double. Every
// literal can be nudged by a relative `jitter`: where that moves the result
// by much more, the formula is ill-conditioned (heavy cancellation) and no
// two correct evaluation orders need agree to 13 digits.
struct Reference {
    const std::string& s;
    long double jitter;
    std::size_t i = 0;
    int literals = 0;
    bool divisionByZero = false;

    char peek()
    {
        while (s[i] == ' ')
            ++i;
        return s[i];
    }
    long double expression()
    {
        long double v = term();
        for (char op = peek(); op == '+' || op == '-'; op = peek()) {
            ++i;
            const long double w = term();
            v = op == '+' ? v + w : v - w;
        }
        return v;
    }
    long double term()
    {
        long double v = factor();
        for (char op = peek(); op == '*' || op == '/'; op = peek()) {
            ++i;
            const long double w = factor();
            divisionByZero = divisionByZero || (op == '/' && w == 0);
            v = op == '*' ? v * w : v / w;
        }
        return v;
    }
    long double factor()
    {
        if (peek() == '-') {
            ++i;
            return -factor();
        }
        if (peek() == '(') {
            ++i;
            const long double v = expression();
            peek();
            ++i;
            return v;
        }
        long double v = 0, scale = 1;
        for (bool fraction = false; std::isdigit(static_cast<unsigned char>(s[i])) || s[i] == '.' || s[i] == ','; ++i) {
            if (s[i] == '.' || s[i] == ',') {
                fraction = true;
            } else {
                v = v * 10 + (s[i] - '0');
                scale *= fraction ? 10 : 1;
            }
        }
        return v / scale * (1 + jitter * (++literals * 7919 % 5 - 2));
    }
};

// Random formulas as a user may type them: either separator, a leading
// separator, signs on numbers and groups, spaces that keep the meaning.
class FormulaGenerator
{
public:
    std::string expression(int depth)
    {
        std::string text = operand(depth, true);
        for (int n = pick(0, 3); n > 0; --n) {
            const char op = "+-*/"[pick(0, 3)];
            text += std::string(pick(0, 4) == 0, ' ') + op + std::string(op != '-' && pick(0, 4) == 0, ' ');
            text += operand(depth, op != '-'); // "5--3" is not in the language
        }
        return text;
    }

private:
    std::string operand(int depth, bool signAllowed)
    {
        std::string text = signAllowed && pick(0, 3) == 0 ? "-" : "";
        if (depth > 0 && pick(0, 2) == 0)
            return text + "(" + expression(depth - 1) + ")";
        const bool whole = pick(0, 9) != 0;
        if (whole)
            text += std::to_string(pick(0, 99999));
        if (!whole || pick(0, 1) == 0) {
            text += pick(0, 1) ? '.' : ',';
            for (int n = pick(1, 4); n > 0; --n)
                text += char('0' + pick(0, 9));
        }
        return text;
    }
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }

    std::mt19937 m_random{20240607};
};

} // namespace

class tst_RUVTaRe : public QObject
{
    Q_OBJECT

private slots:
    void evaluate_data();
    void evaluate();
    void lengthAndNesting();
    void exceptions_data();
    void exceptions();
    void localesHaveNoInfluence();
    void agreesWithReferenceEvaluator();
    void randomTextsEndInDocumentedOutcomes();
};

void tst_RUVTaRe::evaluate_data()
{
    QTest::addColumn<QString>("formula");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("position");
    QTest::addColumn<long double>("value");
    auto row = [](const char* name, const QString& formula, int code, int position, long double value) {
        QTest::newRow(name) << formula << code << position << value;
    };

    row("empty", "", 1, 0, 0);
    row("precedence", "2+3*4", 0, 0, 14);
    row("group first", "(2+3)*4", 0, 0, 20);
    row("power is left-associative", "2^3^2", 0, 0, 64);
    row("sign binds before power", "-2^2", 0, 0, 4);
    row("signed exponent", "2^-1", 0, 0, 0.5L);
    row("negated group", "-(2+3)", 0, 0, -5);
    row("subtracting a negative group", "5-(0-3)", 0, 0, 8);
    row("both decimal separators", "1.5+1,5", 0, 0, 3);
    row("leading point", ".5", 0, 0, 0.5L);
    row("leading comma", ",5", 0, 0, 0.5L);
    row("division from the left", "7/2/2", 0, 0, 1.75L);
    row("15 significant digits", "1/3", 0, 0, 0.333333333333333L);
    row("zero to the zero", "0^0", 0, 0, 1);
    row("spaces around *", "2 * 3", 0, 0, 6);
    row("space before minus", "5 -3", 0, 0, 2);
    row("space after minus", "5 - 3", 6, 2, 0);
    row("division by zero", "1/0", 3, 0, 0);
    row("division by a zero group", "1/(2-2)", 3, 0, 0);
    row("letter", "a", 4, 0, 0);
    row("percent sign", "12,5%", 4, 4, 0);
    row("exponent notation", "1e3", 4, 1, 0);
    row("ends with +", "3+", 5, 1, 0);
    row("begins with *", "*3", 5, 0, 0);
    row("ends with comma", "5,", 5, 1, 0);
    row("leading plus", "+3", 8, 0, 0);
    row("( after digit", "2(3)", 7, 1, 0);
    row(") before digit", "(2)3", 7, 2, 0);
    row("unclosed", "(2", 7, 0, 0);
    row("unopened", "2)", 7, -1, 0);
    row("unclosed after operator", "3*(4", 7, 2, 0);
    row("empty group", "()", 8, 0, 0);
    row("thousands separator", "1.234,5", 8, 0, 0);
    row("begins with ^", "^2", 12, 0, 0);
    row("ends with ^", "2^", 10, 1, 0);

    // Scanning rules, operands and end checks.
    row("dangling comma reads as is", "(5,)*2", 0, 0, 10);
    row("operator after a comma", "5,*2", 5, 2, 0);
    row("double minus", "5--3", 6, 1, 0);
    row("character beyond Latin-1", QStringLiteral("1+2€"), 4, 3, 0);
    row("end check overrides the scan", "a+", 5, 1, 0);
    row("first character overrides the last", "*3+", 5, 0, 0);
    row("plus right after (", "2*(+3)", 8, 0, 0);
    row("only spaces", "   ", 8, 0, 0);
    row("sign drops a dangling 5,", "5,-3", 0, 0, -3);
    row("positions count spaces", "  2(3)", 7, 3, 0);

    // Parentheses that do not pair up in order, and numbers glued to groups.
    row("no ( before a )", "2))+((3", 7, 4, 0);
    row("groups side by side", "(3)(4)", 7, 3, 0);
    row("groups apart by a space", "(3) (4)", 7, 4, 0);
    row("number, space, group", "2 (3)", 7, 2, 0);
    row("group, space, number", "(2) 3", 7, 2, 0);
    row("group then decimals", "(2),5", 7, 2, 0);
    row("decimals then group", "2,(3)", 7, 2, 0);

    // Group values: rounded to 15 digits and carried as numbers.
    row("group rounded to 15 digits", "(1/3)*3", 0, 0, 0.999999999999999L);
    row("small group value", "(1/4000000)*4", 0, 0, 0.000001L);
    row("small group value in a sum", "(1/4000000)-1", 0, 0, -0.99999975L);
    row("large group value", "(10^20)+1", 0, 0, 1e20L);
    row("negated negative group", "-(0-3)", 0, 0, 3);

    // Powers and the extended range.
    row("negative base, odd exponent", "(0-2)^3", 0, 0, -8);
    row("fractional exponent", "4^0,5", 0, 0, 2);
    row("whole exponent beyond squaring", "(0-1)^3000000001", 0, 0, -1);
    row("reciprocal of an overflowing power", "2^-16400", 0, 0, 0x1p-16400L);
    row("2^64-1 is exact", "2^64+1-2^64", 0, 0, 1);
    row("1-2^-60 is exact", "1+2^-60-1", 0, 0, 8.67361737988404e-19L);
    row("beyond the double range", "10^4000/10^3999", 0, 0, 10);
    row("19-digit operands", "1234567890123456789-1234567890123456788", 0, 0, 1);
}

void tst_RUVTaRe::evaluate()
{
    QFETCH(QString, formula);
    QFETCH(int, code);
    QFETCH(int, position);
    QFETCH(long double, value);

    const TRechenErgebnis result = calculate(formula);
    QCOMPARE(int(result.Fehler), code);
    QCOMPARE(result.FehlerPosition, position);
    QCOMPARE(result.Wert, value);
}

void tst_RUVTaRe::lengthAndNesting()
{
    const QString longest = QString(127, u'1') + "+" + QString(127, u'1');
    QCOMPARE(calculate(longest).Wert, 2.22222222222222e126L);
    QCOMPARE(int(calculate(longest + "a").Fehler), 2); // checked before the text

    QCOMPARE(calculate(QString(127, u'(') + "7" + QString(127, u')')).Wert, 7);
    QString negated = "2";
    for (int i = 0; i < 83; ++i)
        negated = "-(" + negated + ")"; // each sign negates its group's value
    QCOMPARE(calculate(negated).Wert, -2);
    QCOMPARE(calculate(QString(128, u'(') + "7" + QString(126, u')')).Fehler, quint8(7));
}

void tst_RUVTaRe::exceptions_data()
{
    QTest::addColumn<QString>("formula");
    QTest::addColumn<QString>("message");

    const QString invalid = QStringLiteral("Ungültige Gleitkommaoperation");
    const QString zeroDivide = QStringLiteral("Gleitkommadivision durch Null");
    const QString overflow = QStringLiteral("Gleitkommaüberlauf");
    QTest::newRow("negative base, fractional exponent") << "(0-8)^(1/3)" << invalid;
    QTest::newRow("zero to a negative whole power") << "0^-1" << zeroDivide;
    QTest::newRow("zero to a negative fraction") << "0^-0,5" << zeroDivide;
    QTest::newRow("power overflow") << "10^5000" << overflow;
    QTest::newRow("quotient overflow") << "10^4000/10^-4000" << overflow;
    QTest::newRow("sum of group values overflows") << "(10^4932)+(10^4932)" << overflow;
    QTest::newRow("reciprocal of an underflow") << "(10^-3000)^-2" << overflow;
    QTest::newRow("overflow after a division by zero") << "10^4000*10^4000+1/0" << overflow;
    QTest::newRow("parentheses in the wrong order")
        << "2)+(3" << QStringLiteral("'2+3' ist kein gültiger Gleitkommawert");
    QTest::newRow("wrong order with exponent forms")
        << "(10^20))-((1/4000000)" << QStringLiteral("'1E20-2,5E-7' ist kein gültiger Gleitkommawert");
}

void tst_RUVTaRe::exceptions()
{
    QFETCH(QString, formula);
    QFETCH(QString, message);

    TRUVTaRe calculator;
    TRechenErgebnis result{42, 42, 42.0L};
    try {
        calculator.Berechnen(formula, result);
        QFAIL("no exception");
    } catch (const std::exception& e) {
        QCOMPARE(QString::fromUtf8(e.what()), message);
    }
    QCOMPARE(result.Wert, 0.0L);
}

void tst_RUVTaRe::localesHaveNoInfluence()
{
    const QStringList formulas{"1,5*2.25", "(1/4000000)-1", "1/3", "-(10^20)*2"};
    const QList<long double> expected{3.375L, -0.99999975L, 0.333333333333333L, -2e20L};
    auto check = [&] {
        for (qsizetype i = 0; i < formulas.size(); ++i)
            QCOMPARE(calculate(formulas[i]).Wert, expected[i]);
        QVERIFY_THROWS_EXCEPTION(EConvertError, calculate("2)+(3"));
    };

    const QLocale savedQt;
    const std::string savedProcess = std::setlocale(LC_ALL, nullptr);
    auto restore = qScopeGuard([&] {
        QLocale::setDefault(savedQt);
        std::setlocale(LC_ALL, savedProcess.c_str());
    });
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QVERIFY(std::setlocale(LC_ALL, "C"));
    check();
    QCOMPARE(QByteArray(std::setlocale(LC_ALL, nullptr)), QByteArray("C")); // not changed by a call

    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "de_DE@euro"}) {
        if (std::setlocale(LC_ALL, name)) {
            QCOMPARE(QByteArray(std::localeconv()->decimal_point), QByteArray(","));
            check();
            return;
        }
    }
    QSKIP("No German process locale is installed (generate de_DE.UTF-8 to run this part)");
}

void tst_RUVTaRe::agreesWithReferenceEvaluator()
{
    FormulaGenerator generator;
    int compared = 0;
    int exponentForms = 0;
    while (compared < 3000) {
        const std::string text = generator.expression(3);
        Reference reference{text, 0};
        const long double expected = reference.expression();
        const long double nudged = Reference{text, 1e-15L}.expression();
        if (text.size() > 255 || reference.divisionByZero
            || std::fabs(nudged - expected) > 1e-14L * std::fabs(expected))
            continue;
        const QString formula = QString::fromStdString(text);
        const TRechenErgebnis result = calculate(formula);
        QVERIFY2(result.Fehler == 0, qPrintable(formula));
        QVERIFY2(std::fabs(result.Wert - expected) <= 5e-13L * std::fabs(expected),
                 qPrintable(formula + ": " + QString::number(double(result.Wert), 'g', 17)));
        ++compared;
        exponentForms += std::fabs(expected) >= 1e15L || std::fabs(expected) < 1e-4L;
    }
    QVERIFY(exponentForms > 100); // the run must carry values in exponent form
}

void tst_RUVTaRe::randomTextsEndInDocumentedOutcomes()
{
    std::mt19937 random(4711);
    auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    const QString alphabet = QStringLiteral("01234567890123456789 .,()*+-/^()*+-/^");
    const QString beyond = QStringLiteral("aE%!\t±€") + QChar(0xD83D) + QChar(0);
    TRUVTaRe calculator;
    for (int run = 0; run < 100000; ++run) {
        QString formula;
        for (int n = pick(0, 20) == 0 ? pick(250, 260) : pick(0, 30); n > 0; --n)
            formula += pick(0, 50) == 0 ? beyond.at(pick(0, beyond.size() - 1))
                                        : alphabet.at(pick(0, alphabet.size() - 1));
        TRechenErgebnis r{42, 42, 42.0L};
        try {
            calculator.Berechnen(formula, r);
        } catch (const ECalcError&) {
            continue; // one of the four documented exceptions
        }
        const QByteArray text = formula.toUtf8();
        const int code = r.Fehler;
        QVERIFY2(code <= 8 || code == 10 || code == 12, text);
        QVERIFY2((code == 1) == formula.isEmpty() && (code == 2) == (formula.size() > 255), text);
        QVERIFY2(code == 0 ? std::isfinite(r.Wert) : r.Wert == 0, text);
        if (code == 4)
            QVERIFY2(!alphabet.contains(formula.at(r.FehlerPosition)), text);
        else if (code >= 5 && code <= 10)
            QVERIFY2(r.FehlerPosition >= (code == 7 ? -1 : 0) && r.FehlerPosition < formula.size(), text);
        else
            QVERIFY2(r.FehlerPosition == 0, text);
    }
}

TIRASO_TEST_MAIN(tst_RUVTaRe)
#include "tst_RUVTaRe.moc"

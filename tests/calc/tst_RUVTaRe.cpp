#include "calc/RUVTaRe.h"

#include "../TestSupport.h"

#include <QScopeGuard>

#include <clocale>
#include <cmath>
#include <functional>
#include <random>
#include <string>

Q_DECLARE_METATYPE(long double)

namespace {

struct Outcome {
    quint8 code = 0;
    qint32 position = 0;
    long double value = 0.0L;
};

Outcome calculate(const QString& formula)
{
    TRUVTaRe calculator;
    // Filled with rubbish: every field must be reset by the call.
    TRechenErgebnis result {42, 42, 42.0L};
    calculator.Berechnen(formula, result);
    return {result.Fehler, result.FehlerPosition, result.Wert};
}

// Puts the process locale back however the test function ends.
class ProcessLocaleGuard {
public:
    ProcessLocaleGuard()
        : m_saved(std::setlocale(LC_ALL, nullptr))
    {
    }
    ~ProcessLocaleGuard() { std::setlocale(LC_ALL, m_saved.c_str()); }

private:
    std::string m_saved;
};

// An independent evaluator for + - * / and parentheses with ordinary
// precedence, in long double. Besides the value it tracks the size of the
// terms involved, so that ill-conditioned formulas (heavy cancellation, or
// division by a nearly cancelled group) can be skipped: there 13 digits of
// agreement cannot be expected from any two correct evaluation orders.
class Reference {
public:
    explicit Reference(const std::string& text)
        : m_text(text)
    {
    }

    bool evaluate(long double& value)
    {
        long double magnitude = 0;
        expression(value, magnitude);
        return m_fine && std::fabs(value) >= magnitude * 1e-2L;
    }

private:
    char peek()
    {
        while (m_pos < m_text.size() && m_text[m_pos] == ' ')
            ++m_pos;
        return m_pos < m_text.size() ? m_text[m_pos] : '\0';
    }

    void expression(long double& v, long double& m)
    {
        term(v, m);
        for (char op = peek(); op == '+' || op == '-'; op = peek()) {
            ++m_pos;
            long double w, n;
            term(w, n);
            v = op == '+' ? v + w : v - w;
            m += n;
        }
    }

    void term(long double& v, long double& m)
    {
        factor(v, m);
        for (char op = peek(); op == '*' || op == '/'; op = peek()) {
            ++m_pos;
            long double w, n;
            factor(w, n);
            if (op == '*') {
                v *= w;
                m *= n;
            } else {
                if (w == 0 || std::fabs(w) < n * 1e-2L)
                    m_fine = false;
                v /= w;
                m /= std::fabs(w == 0 ? 1 : w);
            }
        }
    }

    void factor(long double& v, long double& m)
    {
        const char c = peek();
        if (c == '-') {
            ++m_pos;
            factor(v, m);
            v = -v;
        } else if (c == '(') {
            ++m_pos;
            expression(v, m);
            peek();
            ++m_pos; // ")"
            if (std::fabs(v) < m * 1e-2L)
                m_fine = false;
            m = std::fabs(v);
        } else {
            long double whole = 0, fraction = 0, scale = 1;
            for (; std::isdigit(static_cast<unsigned char>(m_text[m_pos])); ++m_pos)
                whole = whole * 10 + (m_text[m_pos] - '0');
            if (m_text[m_pos] == '.' || m_text[m_pos] == ',') {
                for (++m_pos; std::isdigit(static_cast<unsigned char>(m_text[m_pos])); ++m_pos) {
                    fraction = fraction * 10 + (m_text[m_pos] - '0');
                    scale *= 10;
                }
            }
            v = whole + fraction / scale;
            m = std::fabs(v);
        }
    }

    std::string m_text;
    std::size_t m_pos = 0;
    bool m_fine = true;
};

// Random formulas over decimal operands, + - * / and nested groups, written
// the way a user may type them (either separator, leading separator, signs,
// spaces that do not change the meaning).
class FormulaGenerator {
public:
    explicit FormulaGenerator(unsigned seed)
        : m_random(seed)
    {
    }

    std::string expression(int depth)
    {
        std::string text = operand(depth, true);
        const int more = pick(0, 3);
        for (int i = 0; i < more; ++i) {
            const char op = "+-*/"[pick(0, 3)];
            text += chance(5) ? " " : "";
            text += op;
            text += op != '-' && chance(5) ? " " : "";
            text += operand(depth, op != '-');
        }
        return text;
    }

private:
    std::string operand(int depth, bool signAllowed)
    {
        std::string text = signAllowed && chance(4) ? "-" : "";
        if (depth > 0 && chance(3))
            return text + "(" + expression(depth - 1) + ")";
        const bool whole = !chance(10);
        if (whole)
            text += std::to_string(pick(0, 99999));
        if (!whole || chance(2)) {
            text += chance(2) ? '.' : ',';
            for (int i = pick(1, 4); i > 0; --i)
                text += char('0' + pick(0, 9));
        }
        return text;
    }

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }
    bool chance(int oneIn) { return pick(1, oneIn) == 1; }

    std::mt19937 m_random;
};

bool inLanguage(QChar c)
{
    return QStringLiteral("0123456789 .,()*+-/^").contains(c);
}

} // namespace

class tst_RUVTaRe : public QObject {
    Q_OBJECT

private slots:
    void evaluate_data();
    void evaluate();
    void lengthLimit();
    void deepNesting();
    void exceptions_data();
    void exceptions();
    void qtDefaultLocaleHasNoInfluence();
    void processLocaleHasNoInfluence();
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

    // The documented edge cases.
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

    // Scanning rules.
    row("comma after operator", "2*,5", 0, 0, 1);
    row("comma alone reads as 0", "(,)+2", 0, 0, 2);
    row("5, reads as 5", "(5,)*2", 0, 0, 10);
    row("operator after a comma", "5,*2", 5, 2, 0);
    row("sign before comma", "-,5", 0, 0, -0.5L);
    row("minus before slash passes the scan", "5-/2", 5, 2, 0);
    row("operator after operator", "2*+3", 5, 2, 0);
    row("double minus", "5--3", 6, 1, 0);
    row("minus at the end", "3-", 5, 1, 0);
    row("minus before space in the middle", "3*- 2", 6, 2, 0);
    row(") before ^", "(2)^2", 0, 0, 4);
    row("( after ^", "2^(1+1)", 0, 0, 4);
    row(") before letter", "(2)a", 7, 2, 0);
    row("character below 0 after )", "(2)!", 4, 3, 0);
    row("control character", QStringLiteral("1\t2"), 4, 1, 0);
    row("character beyond Latin-1", QStringLiteral("1+2€"), 4, 3, 0);
    row("plus-minus sign", QStringLiteral("±5"), 4, 0, 0);
    row("first error wins the scan", "2+a+b", 4, 2, 0);
    row("end check overrides the scan", "a+", 5, 1, 0);
    row("first character overrides the last", "*3+", 5, 0, 0);
    row("^ at both ends", "^2^", 12, 0, 0);
    row("two decimal separators", "1,2,3", 8, 0, 0);
    row("sign drops a dangling 5,", "5,-3", 0, 0, -3);
    row("plus right after (", "2*(+3)", 8, 0, 0);
    row("^ right after (", "(^2)", 8, 0, 0);
    row("minus before )", "(5-)", 8, 0, 0);
    row("only spaces", "   ", 8, 0, 0);
    row("leading spaces count for positions", "  2(3)", 7, 3, 0);

    // Parentheses that pair up wrongly.
    row("no ( before a )", "2))+((3", 7, 4, 0);
    row("groups side by side", "(3)(4)", 7, 3, 0);
    row("groups side by side with a space", "(3) (4)", 7, 4, 0);
    row("number then group with a space", "2 (3)", 7, 2, 0);
    row("group then number with a space", "(2) 3", 7, 2, 0);
    row("group then decimals", "(2),5", 7, 2, 0);
    row("group then point decimals", "(2).5", 7, 2, 0);
    row("decimals then group", "2,(3)", 7, 2, 0);

    // Evaluation stages and group values.
    row("division before multiplication", "2*6/3", 0, 0, 4);
    row("subtraction before addition", "1+5-2", 0, 0, 4);
    row("group values are rounded to 15 digits", "(1/3)*3", 0, 0, 0.999999999999999L);
    row("small group value carried", "(1/4000000)*4", 0, 0, 0.000001L);
    row("small group value in a sum", "(1/4000000)-1", 0, 0, -0.99999975L);
    row("large group value carried", "(10^20)+1", 0, 0, 1e20L);
    row("large group value negated", "-(10^20)*2", 0, 0, -2e20L);
    row("negative group after minus", "2^-(0-1)", 0, 0, 2);
    row("negated negative group", "-(0-3)", 0, 0, 3);
    row("division by zero before a later overflow", "1/0*3", 3, 0, 0);

    // Powers.
    row("negative base, odd exponent", "(0-2)^3", 0, 0, -8);
    row("zero to a positive power", "0^2,5", 0, 0, 0);
    row("fractional exponent", "4^0,5", 0, 0, 2);
    row("negative base beyond the squaring range", "(0-1)^3000000001", 0, 0, -1);
    row("tiny power that would overflow when squared", "2^-16400", 0, 0, 0x1p-16400L);

    // Results that need the 64-bit mantissa of long double.
    row("2^64-1 is exact", "2^64+1-2^64", 0, 0, 1);
    row("1-2^-60 is exact", "1+2^-60-1", 0, 0, 8.67361737988404e-19L);
    row("beyond the double range", "10^4000/10^3999", 0, 0, 10);
    row("19 digit operand", "1234567890123456789-1234567890123456788", 0, 0, 1);
}

void tst_RUVTaRe::evaluate()
{
    QFETCH(QString, formula);
    QFETCH(int, code);
    QFETCH(int, position);
    QFETCH(long double, value);

    const Outcome outcome = calculate(formula);
    QCOMPARE(int(outcome.code), code);
    QCOMPARE(outcome.position, position);
    QCOMPARE(outcome.value, value);
}

void tst_RUVTaRe::lengthLimit()
{
    const QString longest = QString(127, u'1') + "+" + QString(127, u'1');
    QCOMPARE(longest.size(), 255);
    QCOMPARE(int(calculate(longest).code), 0);
    QCOMPARE(calculate(longest).value, 2.22222222222222e126L);

    // The length is checked before anything else in the text.
    const Outcome tooLong = calculate(longest + "a");
    QCOMPARE(int(tooLong.code), 2);
    QCOMPARE(tooLong.position, 0);
}

void tst_RUVTaRe::deepNesting()
{
    QCOMPARE(calculate(QString(127, u'(') + "7" + QString(127, u')')).value, 7);
    // 83 signs on nested groups: each one negates the group's value.
    QString negated = "2";
    for (int i = 0; i < 83; ++i)
        negated = "-(" + negated + ")";
    QCOMPARE(negated.size(), 250);
    QCOMPARE(calculate(negated).value, -2);
    // One "(" too many at the length limit.
    const Outcome unbalanced = calculate(QString(128, u'(') + "7" + QString(126, u')'));
    QCOMPARE(int(unbalanced.code), 7);
    QCOMPARE(unbalanced.position, 0);
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
    QTest::newRow("zero beyond the squaring range") << "0^-3000000000" << zeroDivide;
    QTest::newRow("power overflow") << "10^5000" << overflow;
    QTest::newRow("product overflow") << "10^4000*10^4000" << overflow;
    QTest::newRow("quotient overflow") << "10^4000/10^-4000" << overflow;
    QTest::newRow("sum overflow") << "(10^4932)+(10^4932)" << overflow;
    QTest::newRow("difference overflow") << "-(10^4932)-(10^4932)" << overflow;
    QTest::newRow("reciprocal of an underflow") << "(10^-3000)^-2" << overflow;
    QTest::newRow("overflow outranks a division by zero") << "10^4000*10^4000+1/0" << overflow;
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
    TRechenErgebnis result {42, 42, 42.0L};
    try {
        calculator.Berechnen(formula, result);
        QFAIL("no exception");
    } catch (const std::exception& e) {
        QCOMPARE(QString::fromUtf8(e.what()), message);
    }
    QCOMPARE(int(result.Fehler), 0);
    QCOMPARE(result.Wert, 0.0L);
}

void tst_RUVTaRe::qtDefaultLocaleHasNoInfluence()
{
    const QLocale saved;
    auto restore = qScopeGuard([&] { QLocale::setDefault(saved); });
    QLocale::setDefault(QLocale::c());
    QCOMPARE(calculate("1,5*2.25").value, 3.375L);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QCOMPARE(calculate("1,5*2.25").value, 3.375L);
    QCOMPARE(calculate("(1/4000000)*4").value, 0.000001L);
}

void tst_RUVTaRe::processLocaleHasNoInfluence()
{
    const QStringList formulas {"1,5*2.25", "(1/4000000)-1", "1/3", "-(10^20)*2", "7/2/2"};
    ProcessLocaleGuard guard;
    QVERIFY(std::setlocale(LC_ALL, "C"));
    QList<long double> inC;
    for (const QString& f : formulas)
        inC << calculate(f).value;
    try {
        calculate("2)+(3");
    } catch (const EConvertError&) {
    }
    QCOMPARE(QByteArray(std::setlocale(LC_ALL, nullptr)), QByteArray("C"));

    const char* german = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "de_DE@euro"}) {
        if (std::setlocale(LC_ALL, name)) {
            german = name;
            break;
        }
    }
    if (!german)
        QSKIP("No German process locale is installed (generate de_DE.UTF-8 to run this check)");
    QCOMPARE(QByteArray(std::localeconv()->decimal_point), QByteArray(","));
    for (qsizetype i = 0; i < formulas.size(); ++i)
        QCOMPARE(calculate(formulas[i]).value, inC[i]);
    QCOMPARE(QByteArray(std::setlocale(LC_ALL, nullptr)), QByteArray(german));
}

void tst_RUVTaRe::agreesWithReferenceEvaluator()
{
    FormulaGenerator generator(20240607);
    int compared = 0;
    int exponentForms = 0;
    while (compared < 3000) {
        const std::string text = generator.expression(3);
        long double expected = 0;
        if (text.size() > 255 || !Reference(text).evaluate(expected))
            continue;
        const QString formula = QString::fromStdString(text);
        const Outcome outcome = calculate(formula);
        QVERIFY2(outcome.code == 0, qPrintable(formula));
        QVERIFY2(std::fabs(outcome.value - expected) <= 5e-13L * std::fabs(expected),
                 qPrintable(QStringLiteral("%1: %2 instead of %3")
                                .arg(formula)
                                .arg(double(outcome.value), 0, 'g', 17)
                                .arg(double(expected), 0, 'g', 17)));
        ++compared;
        if (expected != 0 && (std::fabs(expected) >= 1e15L || std::fabs(expected) < 1e-4L))
            ++exponentForms;
    }
    // The run must reach values that need the exponent form.
    QVERIFY(exponentForms > 100);
}

void tst_RUVTaRe::randomTextsEndInDocumentedOutcomes()
{
    std::mt19937 random(4711);
    auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    const QString alphabet = QStringLiteral("0123456789012345678901234567890123456789 .,()*+-/^()*+-/^");
    const QString beyond = QStringLiteral("aE%!\t±€") + QChar(0xD83D) + QChar(0) + QChar(0xFF);
    TRUVTaRe calculator;
    for (int run = 0; run < 100000; ++run) {
        QString formula;
        const int length = pick(0, 20) == 0 ? pick(250, 260) : pick(0, 30);
        for (int i = 0; i < length; ++i)
            formula += pick(0, 50) == 0 ? beyond.at(pick(0, beyond.size() - 1))
                                        : alphabet.at(pick(0, alphabet.size() - 1));
        TRechenErgebnis r {42, 42, 42.0L};
        try {
            calculator.Berechnen(formula, r);
        } catch (const ECalcError&) {
            continue; // one of the four documented exceptions
        }
        const QByteArray utf8 = formula.toUtf8();
        const char* message = utf8.constData();
        const int code = r.Fehler;
        QVERIFY2(code <= 8 || code == 10 || code == 12, message);
        QVERIFY2((code == 1) == formula.isEmpty() && (code == 2) == (formula.size() > 255), message);
        QVERIFY2(code == 0 ? std::isfinite(r.Wert) : r.Wert == 0, message);
        if (code == 4)
            QVERIFY2(!inLanguage(formula.at(r.FehlerPosition)), message);
        else if (code >= 5 && code <= 10)
            QVERIFY2(r.FehlerPosition >= (code == 7 ? -1 : 0) && r.FehlerPosition < formula.size(), message);
        else
            QVERIFY2(r.FehlerPosition == 0, message);
    }
}

TIRASO_TEST_MAIN(tst_RUVTaRe)
#include "tst_RUVTaRe.moc"

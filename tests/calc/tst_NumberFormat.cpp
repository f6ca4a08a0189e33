// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "calc/NumberFormat.h"
#include "calc/RUVTaRe.h"
#include "calc/TypedNumber.h"

#include "../TestSupport.h"

#include <QRandomGenerator>

#include <bit>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

Q_DECLARE_METATYPE(long double)
Q_DECLARE_METATYPE(TypedNumber::Rule)

using namespace NumberFormat;

namespace {
constexpr long double kInf = std::numeric_limits<long double>::infinity();
constexpr long double kNaN = std::numeric_limits<long double>::quiet_NaN();
} // namespace

class tst_NumberFormat : public QObject
{
    Q_OBJECT

    std::optional<TestSupport::DesktopLocale> m_locale;

private slots:
    void initTestCase_data() { TestSupport::addDesktopLocaleRows(); }
    void init()
    {
        if (!m_locale.emplace().entered())
            QSKIP("This locale is not generated on the machine");
    }
    void cleanup() { m_locale.reset(); }

    void fixedPoint_data();
    void fixedPoint();
    void general_data();
    void general();
    void typedNumbers_data();
    void typedNumbers();
    void commandLineReadsPrintedDoublesExactly();
    void roundTrip_data();
    void roundTrip();
};

void tst_NumberFormat::fixedPoint_data()
{
    QTest::addColumn<int>("decimals");
    QTest::addColumn<long double>("value");
    QTest::addColumn<QString>("grouped");
    QTest::addColumn<QString>("plain");

    auto row = [](const char* name, int decimals, long double value, const char* grouped, const char* plain) {
        QTest::newRow(name) << decimals << value << QString::fromUtf8(grouped) << QString::fromUtf8(plain);
    };
    row("grouped, rounded up", 3, 1234567.8915L, "1.234.567,892", "1234567,892");
    row("negative", 3, -1234.5L, "-1.234,500", "-1234,500");
    row("no decimals, no separator", 0, 1234.5L, "1.235", "1235");
    row("carry adds a group", 0, 999999.5L, "1.000.000", "1000000");
    row("negative places fall back to 2", -1, 1.5L, "1,50", "1,50");
    row("18 places allowed", 18, 1.0L / 3, "0,333333333333333333", "0,333333333333333333");
    row("exact half rounds up", 2, 0.125L, "0,13", "0,13");
    row("double 1.005 is below the half", 2, static_cast<long double>(1.005), "1,00", "1,00");
    row("half away from zero", 0, -2.5L, "-3", "-3");
    row("rounds to zero, no minus", 3, -0.0001L, "0,000", "0,000");
    row("halves judged on 18 digits", 1, 0.04999999999999999999L, "0,1", "0,1");
    row("beyond 18 digits are zeros", 0, 123456789012345678901.0L, "123.456.789.012.345.679.000",
        "123456789012345679000");
    row("infinity", 2, kInf, "∞", "∞");
    row("not a number", 2, kNaN, "NaN", "NaN");
}

void tst_NumberFormat::fixedPoint()
{
    QFETCH(int, decimals);
    QFETCH(long double, value);
    QFETCH(QString, grouped);
    QFETCH(QString, plain);
    QCOMPARE(FormatN(decimals, value), grouped);
    QCOMPARE(FormatF(decimals, value), plain);
}

void tst_NumberFormat::general_data()
{
    QTest::addColumn<long double>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("fraction") << 0.33L << "0,33";
    QTest::newRow("whole number, no separator") << 1.0L << "1";
    QTest::newRow("negative zero") << -0.0L << "0";
    QTest::newRow("15 digits of a third") << 1.0L / 3 << "0,333333333333333";
    QTest::newRow("10^15 switches to E") << 1e15L << "1E15";
    QTest::newRow("rounding carries into E form") << 999999999999999.5L << "1E15";
    QTest::newRow("long value in E form") << 123456789012345678.0L << "1,23456789012346E17";
    QTest::newRow("negative E form") << -2e20L << "-2E20";
    QTest::newRow("smallest fixed") << 0.0001L << "0,0001";
    QTest::newRow("rounds up to 0.0001") << 0.00009999999999999999L << "0,0001";
    QTest::newRow("small E form") << 1.5e-7L << "1,5E-7";
    QTest::newRow("extended range") << 1e4000L << "1E4000";
    QTest::newRow("infinity") << -kInf << "-∞";
    QTest::newRow("not a number") << kNaN << "NaN";
}

void tst_NumberFormat::general()
{
    QFETCH(long double, value);
    QFETCH(QString, expected);
    QCOMPARE(FormatGeneral(value, kDecimalSeparator), expected);
}

// Text typed into an editor, a result prompt or the command line: what a "."
// means to each, before the calculator reads the rest.
void tst_NumberFormat::typedNumbers_data()
{
    QTest::addColumn<TypedNumber::Rule>("rule");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown"); // what a prompt was pre-filled with
    QTest::addColumn<bool>("isNumber");
    QTest::addColumn<long double>("value");
    const auto row = [](const char* name, TypedNumber::Rule rule, const char* typed, const char* shown, bool isNumber,
                        long double value) {
        QTest::newRow(name) << rule << QString::fromUtf8(typed) << QString::fromUtf8(shown) << isNumber << value;
    };
    constexpr auto editor = TypedNumber::Rule::GroupingEditor;
    constexpr auto prompt = TypedNumber::Rule::Prompt;
    constexpr auto commandLine = TypedNumber::Rule::CommandLine;
    // clang-format off
    row("2.5",                               editor,      "2.5",               "",          true,  2.5L);
    row("1.234,5",                           editor,      "1.234,5",           "",          true,  1234.5L);
    row("1.234.567",                         editor,      "1.234.567",         "",          true,  1234567.0L);
    row("12.345",                            editor,      "12.345",            "",          true,  12345.0L);
    row("1.000,000",                         editor,      "1.000,000",         "",          true,  1000.0L);
    row("1.5.3",                             editor,      "1.5.3",             "",          false, 0.0L);
    row("(1.234+2,5)*2",                     editor,      "(1.234+2,5)*2",     "",          true,  2473.0L);
    row("four digits after the point",       editor,      "1.2345",            "",          true,  1.2345L);
    row("only the grouping point goes",      editor,      "1.234.5",           "",          true,  1234.5L);
    row("a number from 0 is never grouped",  editor,      "0.001",             "",          true,  0.001L);
    row("negative from 0",                   editor,      "-0.250*4",          "",          true,  -1.0L);
    row("a group of zeros after a digit",    editor,      "10.000",            "",          true,  10000.0L);
    row("editor: 2.125 groups",              editor,      "2.125",             "",          true,  2125.0L);
    row("prompt: 2.125 is a decimal point",  prompt,      "2.125",             "1,000",     true,  2.125L);
    row("prompt: the German form",           prompt,      "(1.500,25+0.75)*2", "1,000",     true,  3002.0L);
    row("prompt: dots without a comma part", prompt,      "1.234.567",         "1,000",     false, 0.0L);
    row("prompt: pre-filled, edited",        prompt,      "1.000",             "1.000,000", true,  1.0L);
    row("command line: no grouping",         commandLine, "1.234,5",           "",          false, 0.0L);
    // clang-format on
}

void tst_NumberFormat::typedNumbers()
{
    QFETCH(TypedNumber::Rule, rule);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(bool, isNumber);
    QFETCH(long double, value);
    TRUVTaRe calculator;
    const TRechenErgebnis result = TypedNumber::Read(calculator, typed, rule, shown);
    QCOMPARE(result.Fehler == 0, isNumber);
    QCOMPARE(result.Wert, value);
}

void tst_NumberFormat::commandLineReadsPrintedDoublesExactly()
{
    // Any bit pattern is a double of some magnitude and sign; with the
    // exponent field cleared, a subnormal. Each is printed as "%.17g" (what
    // to_chars writes with that precision, whatever the locale), the same
    // with a German comma, and as the shortest text.
    QRandomGenerator random(22);
    const auto printed = [](double value, int precision) {
        char buffer[64];
        const auto end = precision > 0
            ? std::to_chars(buffer, buffer + 64, value, std::chars_format::general, precision)
            : std::to_chars(buffer, buffer + 64, value);
        return QString::fromLatin1(buffer, end.ptr - buffer);
    };
    TRUVTaRe calculator;
    for (int i = 0; i < 20000; ++i) {
        const quint64 bits = random.generate64() & (i % 4 ? ~0ull : 0x800F'FFFF'FFFF'FFFFull);
        const double value = std::bit_cast<double>(bits);
        if (!std::isfinite(value))
            continue;
        const QString g17 = printed(value, 17);
        for (const QString& text : {g17, QString(g17).replace(u'.', u','), printed(value, 0)}) {
            const TRechenErgebnis back = TypedNumber::Read(calculator, text, TypedNumber::Rule::CommandLine);
            QVERIFY2(back.Fehler == 0 && std::bit_cast<quint64>(double(back.Wert)) == bits, qPrintable(text));
        }
    }
}

void tst_NumberFormat::roundTrip_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("0.33") << 0.33 << "0.33";
    QTest::newRow("no grouping") << 1234.5 << "1234.5";
    QTest::newRow("exponent where shorter") << -2.5e-8 << "-2.5e-08";
    QTest::newRow("fixed form on a tie") << 0.001 << "0.001";
    QTest::newRow("whole number") << -200.0 << "-200";
    QTest::newRow("large") << 1e21 << "1e+21";
    QTest::newRow("all 17 digits when needed") << 0.1 + 0.2 << "0.30000000000000004";
    QTest::newRow("a third") << 1.0 / 3 << "0.3333333333333333";
    QTest::newRow("negative zero") << -0.0 << "-0";
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << "inf";
}

void tst_NumberFormat::roundTrip()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(RoundTrip(value), text);
    if (std::isfinite(value)) {
        // Reads back bit for bit, whatever the locale says about ".".
        double back = 0;
        QVERIFY(TextToFloat(text, u'.', back));
        QCOMPARE(std::bit_cast<quint64>(back), std::bit_cast<quint64>(value));
    }
}

TIRASO_TEST_MAIN(tst_NumberFormat)
#include "tst_NumberFormat.moc"

#include "calc/NumberFormat.h"
#include "calc/RUVTaRe.h"

#include "../TestSupport.h"

#include <bit>
#include <cmath>
#include <limits>
#include <optional>

Q_DECLARE_METATYPE(long double)

using namespace NumberFormat;

namespace {
constexpr long double kInf = std::numeric_limits<long double>::infinity();
constexpr long double kNaN = std::numeric_limits<long double>::quiet_NaN();
} // namespace

class tst_NumberFormat : public QObject {
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

// Text typed into an editor or a result prompt, or left there as pre-filled:
// the grouping dots go, and the calculator reads the rest.
void tst_NumberFormat::typedNumbers_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("isNumber");
    QTest::addColumn<long double>("value");
    QTest::newRow("2.5") << "2.5" << true << 2.5L;
    QTest::newRow("1.234,5") << "1.234,5" << true << 1234.5L;
    QTest::newRow("1.234.567") << "1.234.567" << true << 1234567.0L;
    QTest::newRow("12.345") << "12.345" << true << 12345.0L;
    QTest::newRow("1.000,000") << "1.000,000" << true << 1000.0L;
    QTest::newRow("1.5.3") << "1.5.3" << false << 0.0L;
    QTest::newRow("(1.234+2,5)*2") << "(1.234+2,5)*2" << true << 2473.0L;
    QTest::newRow("four digits after the point") << "1.2345" << true << 1.2345L;
    QTest::newRow("only the grouping point goes") << "1.234.5" << true << 1234.5L;
    QTest::newRow("a number from 0 is never grouped") << "0.001" << true << 0.001L;
    QTest::newRow("negative from 0") << "-0.250*4" << true << -1.0L;
    QTest::newRow("a group of zeros after a digit") << "10.000" << true << 10000.0L;
}

void tst_NumberFormat::typedNumbers()
{
    QFETCH(QString, typed);
    QFETCH(bool, isNumber);
    QFETCH(long double, value);
    TRUVTaRe calculator;
    TRechenErgebnis result{};
    calculator.Berechnen(RemoveGroupingDots(typed), result);
    QCOMPARE(result.Fehler == 0, isNumber);
    QCOMPARE(result.Wert, value);
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

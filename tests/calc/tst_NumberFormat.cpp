#include "calc/NumberFormat.h"

#include "../TestSupport.h"

#include <limits>

Q_DECLARE_METATYPE(long double)

using namespace NumberFormat;

namespace {
constexpr long double kInf = std::numeric_limits<long double>::infinity();
constexpr long double kNaN = std::numeric_limits<long double>::quiet_NaN();
const QLocale kGerman(QLocale::German, QLocale::Germany);
} // namespace

class tst_NumberFormat : public QObject {
    Q_OBJECT

private slots:
    void formatN_data();
    void formatN();
    void formatF_data();
    void formatF();
    void separatorsComeFromTheLocaleArgument();
    void formatGeneral_data();
    void formatGeneral();
};

void tst_NumberFormat::formatN_data()
{
    QTest::addColumn<int>("decimals");
    QTest::addColumn<long double>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("grouped, rounded up") << 3 << 1234567.8915L << "1.234.567,892";
    QTest::newRow("negative") << 3 << -1234.5L << "-1.234,500";
    QTest::newRow("no decimals, no separator") << 0 << 1234.5L << "1.235";
    QTest::newRow("three digits, no group") << 2 << 999.0L << "999,00";
    QTest::newRow("exactly one group") << 0 << 1000.0L << "1.000";
    QTest::newRow("carry adds a group") << 0 << 999999.5L << "1.000.000";
    QTest::newRow("negative decimals fall back to 2") << -1 << 1.5L << "1,50";
    QTest::newRow("19 decimals fall back to 2") << 19 << 1.5L << "1,50";
    QTest::newRow("25 decimals fall back to 2") << 25 << 1.5L << "1,50";
    QTest::newRow("18 decimals allowed") << 18 << 1.0L / 3 << "0,333333333333333333";
    QTest::newRow("exact half rounds up") << 2 << 0.125L << "0,13";
    QTest::newRow("double 1.005 is below the half") << 2 << static_cast<long double>(1.005) << "1,00";
    QTest::newRow("2.5 to 0 places") << 0 << 2.5L << "3";
    QTest::newRow("-2.5 away from zero") << 0 << -2.5L << "-3";
    QTest::newRow("half at the first digit") << 0 << 0.5L << "1";
    QTest::newRow("below the last place") << 2 << 0.004L << "0,00";
    QTest::newRow("rounds to zero, no minus") << 3 << -0.0001L << "0,000";
    QTest::newRow("negative zero") << 1 << -0.0L << "0,0";
    QTest::newRow("halves judged on 18 digits") << 1 << 0.04999999999999999999L << "0,1";
    QTest::newRow("beyond 18 digits are zeros") << 0 << 123456789012345678901.0L << "123.456.789.012.345.679.000";
    QTest::newRow("infinity") << 2 << kInf << "∞";
    QTest::newRow("minus infinity") << 2 << -kInf << "-∞";
    QTest::newRow("not a number") << 2 << kNaN << "NaN";
}

void tst_NumberFormat::formatN()
{
    QFETCH(int, decimals);
    QFETCH(long double, value);
    QFETCH(QString, expected);
    QCOMPARE(FormatN(decimals, value, kGerman), expected);
}

void tst_NumberFormat::formatF_data()
{
    QTest::addColumn<int>("decimals");
    QTest::addColumn<long double>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("no grouping") << 2 << 1234567.891L << "1234567,89";
    QTest::newRow("negative") << 1 << -1234.25L << "-1234,3";
    QTest::newRow("fallback places") << 30 << 7.0L << "7,00";
    QTest::newRow("infinity") << 0 << kInf << "∞";
}

void tst_NumberFormat::formatF()
{
    QFETCH(int, decimals);
    QFETCH(long double, value);
    QFETCH(QString, expected);
    QCOMPARE(FormatF(decimals, value, kGerman), expected);
}

void tst_NumberFormat::separatorsComeFromTheLocaleArgument()
{
    // The process default is German (TestSupport); the argument must win.
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    QCOMPARE(FormatN(2, 1234567.891L, english), QStringLiteral("1,234,567.89"));
    QCOMPARE(FormatF(2, 1234567.891L, english), QStringLiteral("1234567.89"));
    const QLocale swiss(QLocale::German, QLocale::Switzerland);
    QCOMPARE(FormatN(1, -1234567.25L, swiss),
             QStringLiteral("-1") + swiss.groupSeparator() + "234" + swiss.groupSeparator() + "567"
                 + swiss.decimalPoint() + "3");
}

void tst_NumberFormat::formatGeneral_data()
{
    QTest::addColumn<long double>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("fraction") << 0.33L << "0,33";
    QTest::newRow("whole number, no separator") << 1.0L << "1";
    QTest::newRow("zero") << 0.0L << "0";
    QTest::newRow("negative zero") << -0.0L << "0";
    QTest::newRow("15 digits of a third") << 1.0L / 3 << "0,333333333333333";
    QTest::newRow("15 digits rounded up") << 2.0L / 3 << "0,666666666666667";
    QTest::newRow("largest fixed") << 999999999999999.0L << "999999999999999";
    QTest::newRow("10^15 switches to E") << 1e15L << "1E15";
    QTest::newRow("rounding carries into E form") << 999999999999999.5L << "1E15";
    QTest::newRow("long value in E form") << 123456789012345678.0L << "1,23456789012346E17";
    QTest::newRow("negative E form") << -2e20L << "-2E20";
    QTest::newRow("smallest fixed") << 0.0001L << "0,0001";
    QTest::newRow("below 0.0001") << 0.00009L << "9E-5";
    QTest::newRow("rounds up to 0.0001") << 0.00009999999999999999L << "0,0001";
    QTest::newRow("small E form") << 1.5e-7L << "1,5E-7";
    QTest::newRow("trailing zeros dropped") << 2.5L << "2,5";
    QTest::newRow("extended range") << 1e4000L << "1E4000";
    QTest::newRow("infinity") << kInf << "∞";
    QTest::newRow("not a number") << kNaN << "NaN";
}

void tst_NumberFormat::formatGeneral()
{
    QFETCH(long double, value);
    QFETCH(QString, expected);
    QCOMPARE(FormatGeneral(value, u','), expected);
}

TIRASO_TEST_MAIN(tst_NumberFormat)
#include "tst_NumberFormat.moc"

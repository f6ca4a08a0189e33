// Typed text to value: what a "." means to each caller, and numbers printed
// by other programs arriving on the command line with all their bits.

#include "calc/TypedNumber.h"

#include "../TestSupport.h"

#include <QRandomGenerator>

#include <bit>
#include <charconv>
#include <limits>
#include <optional>

Q_DECLARE_METATYPE(long double)
Q_DECLARE_METATYPE(TypedNumber::Rule)

using TypedNumber::Rule;

class tst_TypedNumber : public QObject
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

    void read_data();
    void read();
    void commandLineReadsPrintedDoublesExactly();
};

void tst_TypedNumber::read_data()
{
    QTest::addColumn<Rule>("rule");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown"); // what a prompt was pre-filled with
    QTest::addColumn<bool>("isNumber");
    QTest::addColumn<long double>("value");

    const auto row = [](const char* name, Rule rule, const char* text, const char* shown, bool isNumber,
                        long double value) {
        QTest::newRow(name) << rule << QString::fromUtf8(text) << QString::fromUtf8(shown) << isNumber << value;
    };
    // clang-format off
    row("editor: 2.125 groups",                  Rule::GroupingEditor, "2.125",             "",      true,  2125.0L);
    row("editor: a number from 0 keeps its dot", Rule::GroupingEditor, "0.001",             "",      true,  0.001L);
    row("editor without groups: 2.125",          Rule::Formula,        "2.125",             "",      true,  2.125L);
    row("prompt: 2.125 is a decimal point",      Rule::Prompt,         "2.125",             "1,000", true,  2.125L);
    row("prompt: the German form",               Rule::Prompt,         "1.500,25",          "1,000", true,  1500.25L);
    row("prompt: German form in a formula",      Rule::Prompt,         "(1.500,25+0.75)*2", "1,000", true,  3002.0L);
    row("prompt: dots without a comma part",     Rule::Prompt,         "1.234.567",         "1,000", false, 0.0L);
    row("prompt: a group of four digits",        Rule::Prompt,         "1.5000,25",         "1,000", false, 0.0L);
    row("prompt: no group begins with 0",        Rule::Prompt,         "0.500,25",          "1,000", false, 0.0L);
    row("prompt: pre-filled, unchanged",         Rule::Prompt,         "1.000",             "1.000", true,  1000.0L);
    row("prompt: pre-filled, edited",            Rule::Prompt,         "1.000",             "1.000,000", true, 1.0L);
    row("command line: 2.125",                   Rule::CommandLine,    "2.125",             "",      true,  2.125L);
    row("command line: no grouping",             Rule::CommandLine,    "1.234,5",           "",      false, 0.0L);
    row("command line: a formula",               Rule::CommandLine,    "2*3,5",             "",      true,  7.0L);
    row("command line: beyond the range",        Rule::CommandLine,    "1e400",             "",      false, 0.0L);
    // clang-format on
}

void tst_TypedNumber::read()
{
    QFETCH(Rule, rule);
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QFETCH(bool, isNumber);
    QFETCH(long double, value);
    TRUVTaRe calculator;
    const TRechenErgebnis result = TypedNumber::Read(calculator, text, rule, shown);
    QCOMPARE(result.Fehler == 0, isNumber);
    QCOMPARE(result.Wert, value);
}

void tst_TypedNumber::commandLineReadsPrintedDoublesExactly()
{
    // Any bit pattern is a double of some magnitude and sign; those with a
    // zero exponent field are the subnormals.
    QRandomGenerator random(22);
    const auto text = [](double value, std::optional<int> precision) {
        char buffer[64];
        const auto end = precision ? std::to_chars(buffer, buffer + sizeof buffer, value,
                                                   std::chars_format::general, *precision)
                                   : std::to_chars(buffer, buffer + sizeof buffer, value);
        return QString::fromLatin1(buffer, end.ptr - buffer);
    };
    TRUVTaRe calculator;
    for (int i = 0; i < 20000; ++i) {
        quint64 bits = random.generate64();
        if (i % 4 == 0)
            bits &= 0x800F'FFFF'FFFF'FFFFull;
        const double value = std::bit_cast<double>(bits);
        if (!std::isfinite(value))
            continue;
        // "%.17g" (what std::to_chars writes with that precision, whatever
        // the locale), the same with a German comma, and the shortest text.
        const QString g17 = text(value, 17);
        const QString forms[] = {g17, QString(g17).replace(u'.', u','), text(value, std::nullopt)};
        for (const QString& form : forms) {
            const TRechenErgebnis result = TypedNumber::Read(calculator, form, Rule::CommandLine);
            const double back = static_cast<double>(result.Wert);
            QVERIFY2(result.Fehler == 0 && std::bit_cast<quint64>(back) == bits, qPrintable(form));
        }
    }
}

TIRASO_TEST_MAIN(tst_TypedNumber)
#include "tst_TypedNumber.moc"

// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "calc/RUVTaRe.h"

#include "calc/DecimalDigits.h"
#include "calc/NumberFormat.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

// How a formula is evaluated
//
// The text is scanned once into a normalised form N: spaces dropped, "."
// turned into ",", the whole wrapped in one more pair of parentheses. Then
// the innermost groups are evaluated from left to right, each on its own,
// and each is replaced by its value rounded to 15 significant digits. That
// rounding is part of the language: 1/3 is 0,333333333333333, and a group's
// value enters the enclosing group as it would read when written out.
//
// A group's value stays a number item in N rather than text. Written out,
// values such as 1E-6 or -3 would be misread by the tokenizer (the "E" is
// not part of the language, and "-(0-3)" would become "--3", whose first
// sign the tokenizer drops), so an evaluated group behaves exactly like a
// number operand, with an optional sign that negates it.

namespace {

enum : quint8 {
    kOk = 0,
    kEmpty = 1,
    kTooLong = 2,
    kDivisionByZero = 3,
    kBadCharacter = 4,
    kMisplacedOperator = 5,
    kBadMinus = 6,
    kBadParenthesis = 7,
    kBadOperand = 8,
    kEndsWithPower = 10,
    kStartsWithPower = 12,
};

constexpr qsizetype kMaxLength = 255;
// Each typed character adds at most two items to N ("," may get a "0" in
// front), plus the two wrapping parentheses.
constexpr int kMaxItems = 2 * kMaxLength + 2;
constexpr int kGroupDigits = 15;
constexpr long double kWholeGroupLimit = 1e15L;
constexpr long double kMaxSquaringExponent = 2147483647.0L;

// An element of N: a character, or the value of an evaluated group.
struct Item {
    long double value;
    char c;
};
constexpr char kValue = 'v';

struct Failure {
    quint8 code = kOk;
    qint32 position = 0;
};

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// Builds N from the formula. Stops at the first character that breaks a rule.
Failure scan(const QString& formula, std::vector<Item>& n)
{
    const qsizetype length = formula.size();
    char last = '(';       // the character most recently written to N
    qint32 lastIndex = -1; // where in the formula it came from
    auto write = [&](char c, qsizetype i) {
        n.push_back({0.0L, c});
        last = c;
        lastIndex = qint32(i);
    };
    n.push_back({0.0L, '('});

    for (qsizetype i = 0; i < length; ++i) {
        const char16_t c = formula.at(i).unicode();
        const char16_t before = i > 0 ? formula.at(i - 1).unicode() : u'\0';
        const bool hasAfter = i + 1 < length;
        const char16_t after = hasAfter ? formula.at(i + 1).unicode() : u'\0';
        const qint32 here = qint32(i);

        if (isDigit(c) || c == u',' || c == u'.') {
            // A number straight after a group, "(2)3", "(2) 3" or "(2),5",
            // would be glued to the group's value and read as 23 or 20,5.
            if (last == ')')
                return {kBadParenthesis, lastIndex};
            if (c == u',' && (last == '(' || last == '*' || last == '+' || last == '-' || last == '/'))
                write('0', i);
            write(c == u'.' ? ',' : char(c), i);
            continue;
        }
        switch (c) {
        case u' ':
            break;
        case u'(':
            // Every character below "0" is a separator, so "(" may follow an
            // operator, a space, a parenthesis or a decimal separator as typed.
            if (i > 0 && before >= u'0' && before != u'^')
                return {kBadParenthesis, here};
            // ...but not when that leaves it glued to a number or another
            // group: "(3)(4)", "2 (3)" and "2,(3)" would read as 34, 23, 2,3.
            if (isDigit(last) || last == ',' || last == ')')
                return {kBadParenthesis, here};
            write('(', i);
            break;
        case u')':
            if (hasAfter && after >= u'0' && after != u'^')
                return {kBadParenthesis, here};
            write(')', i);
            break;
        case u'*':
        case u'+':
        case u'/':
        case u'^':
            if (last != '(' && last != ')' && !isDigit(last))
                return {kMisplacedOperator, here};
            write(char(c), i);
            break;
        case u'-':
            // A "-" must touch what it applies to. "5 -3" subtracts (spaces
            // are dropped), but "5 - 3" is refused on purpose, and so is
            // "5--3": a second minus would have to be a sign.
            if (!hasAfter
                || !(isDigit(after) || after == u'(' || after == u')' || after == u',' || after == u'.'
                     || after == u'/'))
                return {kBadMinus, here};
            write('-', i);
            break;
        default:
            return {kBadCharacter, here};
        }
    }
    return {};
}

// Checks on the formula's first and last character, made even after the scan
// failed. A later check that applies overrides an earlier one.
void endChecks(const QString& formula, Failure& failure)
{
    const qint32 lastIndex = qint32(formula.size() - 1);
    const char16_t last = formula.at(lastIndex).unicode();
    if (last == u'*' || last == u'+' || last == u',' || last == u'-' || last == u'/')
        failure = {kMisplacedOperator, lastIndex};
    else if (last == u'^')
        failure = {kEndsWithPower, lastIndex};

    const char16_t first = formula.at(0).unicode();
    if (first == u'*' || first == u'/')
        failure = {kMisplacedOperator, 0};
    else if (first == u'^')
        failure = {kStartsWithPower, 0};
}

long double checked(long double result)
{
    // Operands are always finite, so anything else is an overflow.
    if (!std::isfinite(result))
        throw EOverflow();
    return result;
}

long double power(long double base, long double exponent)
{
    if (exponent == 0)
        return 1.0L; // 0^0 too
    if (base == 0 && exponent > 0)
        return 0.0L;

    const bool whole = exponent == std::trunc(exponent);
    if (whole && std::fabs(exponent) <= kMaxSquaringExponent) {
        if (base == 0)
            throw EZeroDivide(); // 0 to a negative power: a reciprocal of 0
        // Square and multiply, so that whole powers of negative bases work
        // and small powers are exact.
        auto bits = static_cast<unsigned long>(std::fabs(exponent));
        long double result = 1.0L;
        long double square = base;
        for (;;) {
            if (bits & 1u)
                result *= square;
            bits >>= 1;
            if (bits == 0)
                break;
            square *= square;
        }
        if (exponent > 0)
            return checked(result);
        // The reciprocal of a power that overflowed is tiny but not
        // necessarily zero; of one that underflowed, too large to hold.
        if (std::isinf(result))
            return std::pow(base, exponent);
        if (result == 0)
            throw EOverflow();
        return checked(1.0L / result);
    }

    if (base == 0)
        throw EZeroDivide(); // the logarithm of 0 is minus infinity
    if (base < 0) {
        if (!whole)
            throw EInvalidOp();
        // A whole exponent beyond the squaring range: the sign follows its parity.
        const long double magnitude = std::pow(-base, exponent);
        return checked(std::fmod(exponent, 2.0L) != 0 ? -magnitude : magnitude);
    }
    // exp(exponent * ln base); pow computes it without losing the
    // digits that the product would lose for large results.
    return checked(std::pow(base, exponent));
}

// A group's value as it reads after being written with 15 significant digits.
long double roundToGroupDigits(long double value)
{
    if (value == 0)
        return 0.0L; // written as "0", so the sign of a negative zero is lost
    if (std::fabs(value) < kWholeGroupLimit && value == std::trunc(value))
        return value; // at most 15 digits already
    auto digits = NumberFormat::detail::Digits18(value);
    NumberFormat::detail::RoundToSignificant(digits, kGroupDigits);
    return checked(NumberFormat::detail::ToValue(digits));
}

// The operand being collected while a group is tokenised: the characters of a
// number with an optional leading sign, or the sign and an evaluated group.
class Operand
{
public:
    void clear()
    {
        m_length = 0;
        m_hasValue = false;
        m_malformed = false;
    }

    void startWithSign()
    {
        clear();
        m_text[m_length++] = '-';
    }

    void append(char c)
    {
        if (m_hasValue)
            m_malformed = true;
        else
            m_text[m_length++] = c;
    }

    // The scan refuses numbers glued to a group, so digits next to a value
    // do not occur; should they, the operand is not a number.
    void setValue(long double value)
    {
        const bool signOnly = m_length == 1 && m_text[0] == '-';
        if (m_hasValue || (m_length > 0 && !signOnly))
            m_malformed = true;
        m_hasValue = true;
        m_value = value;
    }

    // An optional "-", then digits with at most one "," and at least one
    // character besides the sign: "," reads as 0, "5," as 5, ",5" as 0,5.
    bool read(long double& result) const
    {
        if (m_malformed)
            return false;
        const bool negative = m_length > 0 && m_text[0] == '-';
        if (m_hasValue) {
            result = negative ? -m_value : m_value;
            return true;
        }
        std::array<char, kMaxItems> digits;
        int count = 0;
        int decimals = 0;
        bool comma = false;
        for (int i = negative ? 1 : 0; i < m_length; ++i) {
            if (m_text[i] == ',') {
                if (comma)
                    return false;
                comma = true;
            } else {
                digits[count++] = m_text[i];
                if (comma)
                    ++decimals;
            }
        }
        if (count == 0 && !comma)
            return false;
        result = NumberFormat::detail::DecimalToValue(digits.data(), count, -decimals, negative);
        return true;
    }

private:
    std::array<char, kMaxItems> m_text;
    int m_length = 0;
    bool m_hasValue = false;
    bool m_malformed = false;
    long double m_value = 0.0L;
};

// A "-" after an operator, a decimal separator or the opening parenthesis is
// a sign and starts a new operand (dropping a dangling "5," in front of it);
// after a number or a group's value it subtracts.
bool isSign(const Item* items, int k)
{
    const char front = k == 0 ? '(' : items[k - 1].c;
    return front != kValue && (front < '0' || front == '^');
}

struct GroupResult {
    quint8 code = kOk;
    long double value = 0.0L;
};

// Evaluates the items between one pair of parentheses; they hold no other
// parenthesis.
GroupResult evaluateGroup(const Item* items, int count)
{
    if (count == 0)
        return {kBadOperand}; // "()"

    std::array<long double, kMaxItems / 2 + 1> numbers;
    std::array<char, kMaxItems / 2> operators;
    int operatorCount = 0;
    Operand operand;
    auto endOperand = [&] {
        long double value = 0.0L;
        if (!operand.read(value))
            return false;
        numbers[operatorCount] = value;
        operand.clear();
        return true;
    };

    for (int k = 0; k < count; ++k) {
        const Item& item = items[k];
        const char c = item.c;
        if (c == kValue) {
            operand.setValue(item.value);
        } else if (isDigit(c) || c == ',') {
            operand.append(c);
        } else if (c == '-' && isSign(items, k)) {
            operand.startWithSign();
        } else {
            if (!endOperand())
                return {kBadOperand};
            operators[operatorCount++] = c;
        }
    }
    if (!endOperand())
        return {kBadOperand};

    // The operators are reduced in five separate stages, strictly in this
    // order, and within a stage from left to right:
    //   "^"  left-associative on purpose, 2^3^2 is 64. A sign already belongs
    //        to its number, so -2^2 is 4 and 2^-1 is 0,5.
    //   "/"  before "*", and "-" before "+", as stages of their own. That
    //        gives the same results as plain left-to-right evaluation apart
    //        from rounding (a*b/c is a*(b/c), a+b-c is a+(b-c)). Do not merge
    //        the stages: the last digits of results and which failure is
    //        reported first (a division by zero, then an overflow in "*")
    //        depend on this order.
    //   "*", "-", "+".
    // Each step stores its result in the right-hand number and drops the
    // operator and the left-hand number.
    GroupResult group;
    for (const char stage : {'^', '/', '*', '-', '+'}) {
        int kept = 0; // operators of later stages kept so far
        for (int i = 0; i < operatorCount; ++i) {
            const long double right = numbers[i + 1];
            if (operators[i] != stage) {
                operators[kept] = operators[i];
                numbers[++kept] = right;
                continue;
            }
            long double& left = numbers[kept];
            switch (stage) {
            case '^':
                left = power(left, right);
                break;
            case '/':
                if (right == 0) {
                    // Reported once the whole group is done; the other
                    // stages still run and may still overflow.
                    group.code = kDivisionByZero;
                    left = right;
                } else {
                    left = checked(left / right);
                }
                break;
            case '*':
                left = checked(left * right);
                break;
            case '-':
                left = checked(left - right);
                break;
            default:
                left = checked(left + right);
                break;
            }
        }
        operatorCount = kept;
    }
    if (group.code == kOk)
        group.value = roundToGroupDigits(numbers[0]);
    return group;
}

// What is left when the parentheses did not pair up in order, "2)+(3" leaves
// 2+3, is read as one number in the general format or refused with an
// exception naming the text.
long double readLeftover(const Item* items, int count)
{
    QString text;
    for (int i = 0; i < count; ++i) {
        if (items[i].c == kValue)
            text += NumberFormat::FormatGeneral(items[i].value, u',');
        else
            text += QLatin1Char(items[i].c);
    }

    const qsizetype length = text.size();
    qsizetype i = 0;
    const bool negative = length > 0 && text.at(0) == u'-';
    if (negative)
        ++i;
    std::vector<char> digits;
    int decimals = 0;
    bool comma = false;
    bool mantissa = false;
    for (; i < length && (isDigit(text.at(i).unicode()) || text.at(i) == u','); ++i) {
        mantissa = true;
        if (text.at(i) == u',') {
            if (comma)
                throw EConvertError(text);
            comma = true;
        } else {
            digits.push_back(char(text.at(i).unicode()));
            decimals += comma ? 1 : 0;
        }
    }
    long exponent = 0;
    if (mantissa && i < length && text.at(i) == u'E') {
        ++i;
        const bool negativeExponent = i < length && text.at(i) == u'-';
        if (i < length && (text.at(i) == u'-' || text.at(i) == u'+'))
            ++i;
        const qsizetype start = i;
        for (; i < length && isDigit(text.at(i).unicode()); ++i)
            exponent = std::min(exponent * 10 + (text.at(i).unicode() - u'0'), 100000L);
        if (i == start)
            throw EConvertError(text);
        if (negativeExponent)
            exponent = -exponent;
    }
    if (!mantissa || i != length)
        throw EConvertError(text);
    return checked(
        NumberFormat::detail::DecimalToValue(digits.data(), int(digits.size()), int(exponent) - decimals, negative));
}

} // namespace

TRUVTaRe::TRUVTaRe(QObject* owner)
    : QObject(owner)
{
}

void TRUVTaRe::Berechnen(const QString& Formel, TRechenErgebnis& Ergebnis)
{
    Ergebnis = {kOk, 0, 0.0L};
    if (Formel.isEmpty()) {
        Ergebnis.Fehler = kEmpty;
        return;
    }
    if (Formel.size() > kMaxLength) {
        Ergebnis.Fehler = kTooLong;
        return;
    }

    std::vector<Item> n;
    n.reserve(std::size_t(kMaxItems));
    Failure failure = scan(Formel, n);
    endChecks(Formel, failure);
    if (failure.code != kOk) {
        Ergebnis.Fehler = failure.code;
        Ergebnis.FehlerPosition = failure.position;
        return;
    }
    n.push_back({0.0L, ')'});

    int balance = 0;
    for (const Item& item : n)
        balance += item.c == '(' ? 1 : item.c == ')' ? -1 : 0;
    const auto unpaired = [&] {
        Ergebnis.Fehler = kBadParenthesis;
        Ergebnis.FehlerPosition = qint32(Formel.indexOf(u'('));
    };
    if (balance != 0) {
        unpaired();
        return;
    }

    // Innermost groups first, from left to right: the first ")" closes the
    // nearest "(" before it. N is compacted in place as groups become values.
    std::array<int, kMaxItems> opens;
    int openCount = 0;
    int end = 0;
    for (const Item& item : n) {
        if (item.c != ')') {
            if (item.c == '(')
                opens[openCount++] = end;
            n[std::size_t(end++)] = item;
            continue;
        }
        if (openCount == 0) {
            // A ")" with no "(" left before it, as in "2))+((3".
            unpaired();
            return;
        }
        const int open = opens[--openCount];
        const GroupResult group = evaluateGroup(n.data() + open + 1, end - open - 1);
        if (group.code != kOk) {
            Ergebnis.Fehler = group.code;
            return;
        }
        n[std::size_t(open)] = {group.value, kValue};
        end = open + 1;
    }

    Ergebnis.Wert = end == 1 && n[0].c == kValue ? n[0].value : readLeftover(n.data(), end);
}

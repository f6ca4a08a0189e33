// SPDX-FileCopyrightText: 2024 Tiraso-Projekt
// SPDX-License-Identifier: GPL-3.0-or-later

#include "calc/RUVTaRe.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

// Any input must end in a documented result or in one of the calculator's
// four exceptions. Anything else is a finding: a sanitizer report, another
// exception (it escapes and aborts), or a result that breaks the contract.

namespace {

bool inLanguage(QChar c)
{
    return c.isDigit() ? c.unicode() <= u'9' : QStringLiteral(" .,()*+-/^").contains(c);
}

bool consistent(const QString& formula, const TRechenErgebnis& r)
{
    const qint32 length = qint32(formula.size());
    if ((r.Fehler == 1) != (length == 0) || (r.Fehler == 2) != (length > 255))
        return false;
    if (r.Fehler != 0 && r.Wert != 0)
        return false;
    switch (r.Fehler) {
    case 0:
        return r.FehlerPosition == 0 && std::isfinite(r.Wert);
    case 1:
    case 2:
    case 3:
    case 8:
    case 12:
        return r.FehlerPosition == 0;
    case 4:
        return r.FehlerPosition >= 0 && r.FehlerPosition < length && !inLanguage(formula.at(r.FehlerPosition));
    case 5:
    case 6:
    case 10:
        return r.FehlerPosition >= 0 && r.FehlerPosition < length;
    case 7:
        return r.FehlerPosition >= -1 && r.FehlerPosition < length;
    default:
        return false;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static TRUVTaRe calculator;
    const QString formula = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    // Left-overs from an earlier call must not survive.
    TRechenErgebnis result{99, 99, 99.0L};
    try {
        calculator.Berechnen(formula, result);
    } catch (const EInvalidOp&) {
        return 0;
    } catch (const EZeroDivide&) {
        return 0;
    } catch (const EOverflow&) {
        return 0;
    } catch (const EConvertError&) {
        return 0;
    }
    if (!consistent(formula, result))
        std::abort();
    return 0;
}

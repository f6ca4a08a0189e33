// Temporary stand-in until the calculator branch lands.
#include "calc/NumberFormat.h"

namespace NumberFormat {
QString FormatN(int decimals, long double value, const QLocale& locale)
{
    if (decimals < 0 || decimals > 18)
        decimals = 2;
    return locale.toString(double(value), 'f', decimals);
}
QString FormatF(int decimals, long double value, const QLocale& locale)
{
    QLocale l = locale;
    l.setNumberOptions(QLocale::OmitGroupSeparator);
    return FormatN(decimals, value, l);
}
QString FormatGeneral(long double value, QChar decimalSeparator)
{
    return QString::number(double(value), 'g', 15).replace(QLatin1Char('.'), decimalSeparator);
}
}

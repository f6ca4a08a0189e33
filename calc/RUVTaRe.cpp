#include "calc/RUVTaRe.h"
void TRUVTaRe::Berechnen(const QString& Formel, TRechenErgebnis& Ergebnis)
{
    bool ok = false;
    const double v = QString(Formel).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    Ergebnis = {quint8(ok ? 0 : 4), 0, ok ? v : 0};
}

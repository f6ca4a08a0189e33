#pragma once
// Temporary stand-in until the calculator branch lands.
#include <QObject>
#include <QString>
struct TRechenErgebnis {
    quint8 Fehler = 0;
    qint32 FehlerPosition = 0;
    long double Wert = 0;
};
class TRUVTaRe : public QObject
{
    Q_OBJECT
public:
    explicit TRUVTaRe(QObject* owner = nullptr) : QObject(owner) {}
    void Berechnen(const QString& Formel, TRechenErgebnis& Ergebnis);
};

#include "ScQuivaTesto.h"

#include <QDate>

namespace TestoQuiva {

QStringView TagliaSpazi(QStringView testo)
{
    qsizetype inizio = 0;
    qsizetype fine = testo.size();
    while (inizio < fine && testo[inizio] == u' ')
        ++inizio;
    while (fine > inizio && testo[fine - 1] == u' ')
        --fine;
    return testo.sliced(inizio, fine - inizio);
}

void SpazioPer(QString& testo, qsizetype n)
{
    if (testo.capacity() > 4096 && testo.capacity() > 2 * n)
        testo = QString();
    testo.resize(n);
}

QStringView TagliaSpaziDestra(QStringView testo)
{
    qsizetype fine = testo.size();
    while (fine > 0 && testo[fine - 1] == u' ')
        --fine;
    return testo.first(fine);
}

bool SoloZeri(QStringView testo)
{
    if (testo.isEmpty())
        return false;
    for (QChar c : testo)
        if (c != u'0')
            return false;
    return true;
}

QString TestoNumero(double numero)
{
    QString testo = QString::number(numero, 'g', 15);
    testo.replace(QLatin1Char('.'), QLatin1Char(','));
    return testo;
}

QString TestoDaValore(const QVariant& valore)
{
    if (!valore.isValid() || valore.isNull())
        return {};
    switch (valore.typeId()) {
    case QMetaType::QString: return valore.toString();
    case QMetaType::Double:
    case QMetaType::Float: return TestoNumero(valore.toDouble());
    case QMetaType::QDate: return valore.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    default: return valore.toString();
    }
}

}  // namespace TestoQuiva

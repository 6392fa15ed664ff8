#include "ImpostazioniGenerali.h"

bool ImpostazioniGenerali::Massimizza(const QString& programma) const
{
    const QString lista = massimizzato.toLower();
    if (lista == QLatin1String("tutti,"))
        return true;
    if (programma.trimmed().isEmpty())
        return false;
    const QStringList nomi = lista.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString& nome : nomi) {
        if (nome.trimmed() == programma.trimmed().toLower())
            return true;
    }
    return false;
}

QString ImpostazioniGenerali::NomeMese(int mese)
{
    static const char* const nomi[] = {"Gennaio", "Febbraio", "Marzo",     "Aprile",  "Maggio",   "Giugno",
                                       "Luglio",  "Agosto",   "Settembre", "Ottobre", "Novembre", "Dicembre"};
    if (mese < 1 || mese > 12)
        return {};
    return QString::fromLatin1(nomi[mese - 1]);
}

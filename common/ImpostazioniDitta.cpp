#include "ImpostazioniDitta.h"

#include "FormUtility.h"

namespace {
bool Diviso(const QString& operatore) { return operatore.trimmed() != QLatin1String("*"); }
}  // namespace

double ImpostazioniDitta::LireInEuro(double lire, int decimali) const
{
    double euro = lire;
    if (cambioLiraEuro != 0)
        euro = Diviso(operCambio) ? lire / cambioLiraEuro : lire * cambioLiraEuro;
    return FormUtility::Arrotonda(euro, QLatin1Char('A'), decimali);
}

double ImpostazioniDitta::EuroInLire(double euro, int decimali) const
{
    double lire = euro;
    if (cambioLiraEuro != 0)
        lire = Diviso(operCambio) ? euro * cambioLiraEuro : euro / cambioLiraEuro;
    return FormUtility::Arrotonda(lire, QLatin1Char('A'), decimali);
}

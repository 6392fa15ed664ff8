#include "RigaLetta.h"

#include "ErroreRun.h"
#include "Recordset.h"

int RitrovaRiga(const Recordset& letto, int riga, const Recordset& fresco)
{
    const int identita = letto.Identita();
    const int colonne = static_cast<int>(letto.Colonne().size());
    auto uguali = [&](int r, int da, int a) {
        for (int c = da; c < a; ++c)
            if (fresco.Valore(r, c) != letto.Valore(riga, c))
                return false;
        return true;
    };
    int trovata = -1;
    if (identita > 0 && riga >= 0 && riga < letto.NumeroRighe() && fresco.Identita() == identita
        && fresco.Colonne() == letto.Colonne())
        for (int r = 0; r < fresco.NumeroRighe() && trovata == -1; ++r)
            if (uguali(r, 0, identita))
                trovata = uguali(r, identita, colonne) ? r : -2;
    if (trovata < 0)
        throw ErroreRun(CodiciErrore::DatoVariato,
                        QStringLiteral("Il dato è stato modificato o cancellato da un altro utente"));
    return trovata;
}

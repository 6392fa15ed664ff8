#include "EseguiDefinizioni.h"

#include "ScQuiva.h"
#include "StatoElaborazione.h"

std::vector<EsitoDefinizione> EseguiDefinizioni(ContestoQuiva& contesto, const QStringList& codici,
                                                ProgressMonitor& progresso, ValueStore& valori,
                                                const OsservatoreDefinizioni& osservatore)
{
    std::vector<EsitoDefinizione> esiti;
    for (int i = 0; i < codici.size(); ++i) {
        if (StatoElaborazione.load() == Stato::Interrotto)
            break;
        if (osservatore.prima)
            osservatore.prima(i);
        EsitoDefinizione esito;
        esito.codice = codici[i];
        {
            ScQuiva motore(contesto);
            motore.ogInElab = &progresso;
            motore.ogValDefault = &valori;
            esito.lettura = motore.LeggiTracciato(esito.codice);
            if (esito.lettura == 0) {
                if (osservatore.letta)
                    osservatore.letta(i, motore);
                esito.carico = motore.QuivaDati(esito.errori);
            }
        }
        esiti.push_back(esito);
        if (osservatore.dopo)
            osservatore.dopo(i, esito);
        if (esito.carico != 0)
            break;
    }
    return esiti;
}

long ErroriTotali(const std::vector<EsitoDefinizione>& esiti)
{
    long totale = 0;
    for (const EsitoDefinizione& esito : esiti)
        totale += esito.errori;
    return totale;
}

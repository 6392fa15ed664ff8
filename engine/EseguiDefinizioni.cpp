#include "EseguiDefinizioni.h"

#include "ScQuiva.h"
#include "StatoElaborazione.h"

#include <QElapsedTimer>

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
        QElapsedTimer tempo;
        tempo.start();
        {
            ScQuiva motore(contesto);
            motore.ogInElab = &progresso;
            motore.ogValDefault = &valori;
            esito.lettura = motore.LeggiTracciato(esito.codice);
            if (esito.lettura == 0) {
                if (osservatore.letta)
                    osservatore.letta(i, motore);
                esito.carico = motore.QuivaDati(esito.errori);
                esito.conteggi = motore.Conteggi();
                for (int t = 1; t <= ScQuiva::NumSlot; ++t)
                    esito.tabelle[t] = motore.slot(t).tabella;
            }
        }
        esito.millisecondi = tempo.elapsed();
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

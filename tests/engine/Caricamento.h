#pragma once
// Runs one definition the way the load dialog does, for the engine tests.
#include "AmbienteProva.h"
#include "ContestoQuiva.h"
#include "EseguiDefinizioni.h"
#include "ProgressMonitor.h"
#include "StatoElaborazione.h"
#include "ValueStore.h"

struct Caricamento {
    AmbienteProva& ambiente;
    MessaggiRegistrati messaggi;
    ContestoQuiva contesto{ambiente.Db(), messaggi, ImpostazioniDitta{}, {}, {}, false};
    ValueStore valori;
    long errori = 0;

    explicit Caricamento(AmbienteProva& a) : ambiente(a) {}

    // LeggiTracciato and, when it succeeds, QuivaDati; the first non-zero
    // result is returned.
    int Esegui(const QString& codice, ProgressMonitor* progresso = nullptr)
    {
        StatoElaborazione.store(Stato::InCorso);
        const std::vector<EsitoDefinizione> esiti =
            EseguiDefinizioni(contesto, {codice}, progresso ? *progresso : ProgressMonitor::Muto(), valori);
        StatoElaborazione.store(Stato::Inattivo);
        errori += ErroriTotali(esiti);
        return esiti.front().lettura != 0 ? esiti.front().lettura : esiti.front().carico;
    }
};

#pragma once
// Runs one definition the way the load dialog does, for the engine tests.
#include "AmbienteProva.h"
#include "ContestoQuiva.h"
#include "EseguiDefinizioni.h"
#include "ProgressMonitor.h"
#include "StatoElaborazione.h"
#include "ValueStore.h"

// Records the progress messages and confirms a stop when the accepted-line
// count reaches fermaA.
class ProgressoCheFerma : public ProgressMonitorMuto {
public:
    long fermaA = -1;
    QStringList messaggi;
    FaseQuiva fase = FaseQuiva::Preparazione;
    void Fase(FaseQuiva f, const QString& nome) override
    {
        fase = f;
        messaggi << TestoFase(f, nome);
    }
    void Posizione(long posizione) override
    {
        if (fase == FaseQuiva::Caricamento && posizione == fermaA)
            StatoElaborazione.store(Stato::Interrotto);
    }
};

struct Caricamento {
    AmbienteProva& ambiente;
    MessaggiRegistrati messaggi;
    ContestoQuiva contesto {ambiente.Db(), messaggi, ImpostazioniDitta {}, {}, {}, false};
    ValueStore valori;
    long errori = 0;

    explicit Caricamento(AmbienteProva& a) : ambiente(a) { }

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

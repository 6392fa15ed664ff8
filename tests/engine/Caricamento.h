#pragma once
// Runs one definition the way the load dialog does, for the engine tests.
#include "AmbienteProva.h"
#include "ContestoQuiva.h"
#include "ProgressMonitor.h"
#include "ScQuiva.h"
#include "StatoElaborazione.h"
#include "ValueStore.h"

// Records the progress messages and confirms a stop when the accepted-line
// count reaches fermaA.
class ProgressoCheFerma : public ProgressMonitor {
public:
    long fermaA = -1;
    QStringList messaggi;
    void Avanza(long posizione, const QString& messaggio) override
    {
        if (!messaggio.isNull())
            messaggi << messaggio;
        if (posizione == fermaA && messaggio.isNull())
            StatoElaborazione.store(Stato::Interrotto);
    }
    void Conta(long, long) override {}
    void VisibileEtichetta(const QString&, bool) override {}
};

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
        ScQuiva motore(contesto);
        motore.ogInElab = progresso;
        motore.ogValDefault = &valori;
        const int letto = motore.LeggiTracciato(codice);
        if (letto != 0)
            return letto;
        StatoElaborazione.store(Stato::InCorso);
        const int esito = motore.QuivaDati(errori);
        StatoElaborazione.store(Stato::Inattivo);
        return esito;
    }
};

#pragma once
// What the load engine tells a progress display, in its own terms: the phase
// of the work, how far it has gone, the total when one is known, the lines
// rejected so far. The progress window, the terminal line of quiva-load and
// the tests turn this into what they show. Every call must let pending
// interface events run, so that a stop can be asked between lines.
#include <QString>

enum class FaseQuiva {
    Preparazione,          // a definition's rows are read; nome = its code
    VerificaConversioni,   // its decode rows are read
    CancellazioneErrori,   // its old error rows are deleted
    CancellazioneTabella,  // a target table is emptied; nome = the table
    PreparaArchivi,        // the target tables are opened; nome = the first
    Caricamento,           // the lines of the file; nome = the definition
    QueryFinali,           // the final queries run
    AttesaScrittura,       // another load holds the company; position = seconds waited
};

// The message line of a phase, as the program shows it.
QString TestoFase(FaseQuiva fase, const QString& nome);
// True when the phase counts towards a total ("12 di 30"); otherwise the
// display shows the rejected lines next to the position.
bool FaseConTotale(FaseQuiva fase);

class ProgressMonitor {
public:
    virtual ~ProgressMonitor() = default;
    // A new phase begins; its position starts at 0.
    virtual void Fase(FaseQuiva fase, const QString& nome) = 0;
    // Rows read, lines accepted or queries run in the current phase.
    virtual void Posizione(long posizione) = 0;
    virtual void Totale(long totale) = 0;
    virtual void Errori(long errori) = 0;
    // The accepted lines whose writes are committed: a crash can no longer
    // lose them. The position may run ahead by the open batch.
    virtual void Salvate(long /*righe*/) { }
    // How much of the source file the lines handed on so far took.
    virtual void Byte(qint64 /*letti*/, qint64 /*totale*/) { }

    // The display that shows nothing.
    static ProgressMonitor& Muto();
};

class ProgressMonitorMuto : public ProgressMonitor {
public:
    void Fase(FaseQuiva, const QString&) override { }
    void Posizione(long) override { }
    void Totale(long) override { }
    void Errori(long) override { }
};

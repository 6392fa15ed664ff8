#pragma once
// Progress of a load on a terminal: one line on the error stream, redrawn at
// most ten times a second. Silent when the error stream is not a terminal.
// Lines read and lines saved (committed) are shown apart. Every advance is a
// point where a second Ctrl+C may end the program.
#include "ProgressMonitor.h"

#include <QElapsedTimer>

class ConsoleProgress : public ProgressMonitor {
public:
    ConsoleProgress();
    ~ConsoleProgress() override;
    void Avanza(long posizione, const QString& messaggio = QString()) override;
    void Conta(long conteggio, long secondo = 0) override;
    void VisibileEtichetta(const QString& etichetta, bool visibile) override;
    void Salvate(long righe) override;

private:
    void Disegna(bool subito);

    bool m_terminale;
    QElapsedTimer m_tempo;
    QString m_messaggio;
    long m_posizione = 0;
    long m_conteggio = 0;
    long m_salvate = -1;  // -1 until the load starts writing
    bool m_errori = true;  // the second counter counts errors ("LabErrori")
};

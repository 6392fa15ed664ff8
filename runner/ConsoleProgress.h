#pragma once
// Progress of a load on a terminal: one line on the error stream, redrawn at
// most ten times a second. Silent when the error stream is not a terminal.
// Lines read and lines saved (committed) are shown apart. A new phase or
// position is a point where a second Ctrl+C may end the program; a count of
// errors is not (it comes in the middle of a line).
#include "ProgressMonitor.h"

#include <QElapsedTimer>

class ConsoleProgress : public ProgressMonitor {
public:
    ConsoleProgress();
    ~ConsoleProgress() override;
    void Fase(FaseQuiva fase, const QString& nome) override;
    void Posizione(long posizione) override;
    void Totale(long totale) override;
    void Errori(long errori) override;
    void Salvate(long righe) override;

private:
    void Disegna(bool subito);

    bool m_terminale;
    QElapsedTimer m_tempo;
    QString m_messaggio;
    bool m_conTotale = false;
    long m_posizione = 0;
    long m_totale = 0;
    long m_errori = 0;
    long m_salvate = -1;  // -1 until the load starts writing
};

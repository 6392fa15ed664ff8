#pragma once
// Progress of a load on a terminal: one line on the error stream, redrawn at
// most ten times a second. Silent when the error stream is not a terminal.
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

private:
    void Disegna(bool subito);

    bool m_terminale;
    QElapsedTimer m_tempo;
    QString m_messaggio;
    bool m_conTotale = false;
    long m_posizione = 0;
    long m_totale = 0;
    long m_errori = 0;
};

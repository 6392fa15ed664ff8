#pragma once
// Progress of a load on a terminal: one line on the error stream, redrawn at
// most ten times a second, with the share of the file read, the time left,
// the lines read, saved (committed) and rejected. On a "dumb" terminal each
// phase is a plain line instead; silent when the error stream is not a
// terminal. A new phase or position is a point where a second Ctrl+C may end
// the program; a count of errors is not (it comes in the middle of a line).
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
    void Byte(qint64 letti, qint64 totale) override;
    // Clears the line, before a notice.
    void Pulisci();

private:
    void Disegna(bool subito);
    QString Riga() const;

    enum class Schermo { Nessuno, Semplice, Completo } m_schermo;
    QElapsedTimer m_tempo;
    QElapsedTimer m_caricamento;  // since the lines began
    FaseQuiva m_fase = FaseQuiva::Preparazione;
    QString m_messaggio;
    long m_posizione = 0;
    long m_totale = 0;
    long m_errori = 0;
    long m_salvate = -1;  // -1 until the load starts writing
    qint64 m_byteLetti = 0;
    qint64 m_byteTotali = 0;
    bool m_disegnata = false;  // a line stands on the terminal
};

// Whether the error stream is a terminal that takes cursor controls.
bool TerminaleCompleto();

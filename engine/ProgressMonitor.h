#pragma once
// What the load engine drives on the progress window of a load. The desktop
// progress window, the terminal bar of the headless runner and the tests
// implement it. Every update must let pending interface events run.
#include <QString>

class ProgressMonitor {
public:
    virtual ~ProgressMonitor() = default;
    // Advance the first counter to posizione; a non-null message replaces the
    // message line.
    virtual void Avanza(long posizione, const QString& messaggio = QString()) = 0;
    // Set the second counter: shown after "di" while "LabDi" is visible, after
    // "Errori:" while "LabErrori" is visible. The second argument is always 0.
    virtual void Conta(long conteggio, long secondo = 0) = 0;
    // Show or hide one of the labels "LabErrori" and "LabDi".
    virtual void VisibileEtichetta(const QString& etichetta, bool visibile) = 0;
    // The accepted lines whose writes are committed: a crash can no longer
    // lose them. The first counter may run ahead by the open batch.
    virtual void Salvate(long /*righe*/) {}
};

// A monitor that shows nothing.
class ProgressMonitorMuto : public ProgressMonitor {
public:
    void Avanza(long, const QString& = QString()) override {}
    void Conta(long, long = 0) override {}
    void VisibileEtichetta(const QString&, bool) override {}
};

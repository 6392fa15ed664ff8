#pragma once
// quiva-load --prova: the loads run inside a transaction that is rolled back
// at the end; what they would have done is reported.
#include "ProgressMonitor.h"

#include <QString>

class DatabaseLink;

// Passes everything on to the terminal display and keeps the number of
// lines the load handled (the engine's first counter).
class ProgressoProva : public ProgressMonitor {
public:
    explicit ProgressoProva(ProgressMonitor& schermo) : m_schermo(schermo) {}
    void Avanza(long posizione, const QString& messaggio = QString()) override;
    void Conta(long conteggio, long secondo = 0) override { m_schermo.Conta(conteggio, secondo); }
    void VisibileEtichetta(const QString& etichetta, bool visibile) override
    {
        m_schermo.VisibileEtichetta(etichetta, visibile);
    }
    long Righe() const { return m_righe; }

private:
    ProgressMonitor& m_schermo;
    long m_righe = 0;
};

// The report of one definition's trial: how many lines would be loaded and
// every line that would be rejected with its reason, read from the error
// rows the load has just written (before they are rolled back).
QString RapportoProva(DatabaseLink& db, const QString& codice, long righeLette);

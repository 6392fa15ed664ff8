#pragma once
// quiva-load --prova: the loads run inside a transaction that is rolled back
// at the end; what they would have done is reported.
#include "ProgressMonitor.h"

#include <QString>

class DatabaseLink;

// Passes everything on to the terminal display and keeps the number of
// lines the last load handled.
class ProgressoProva : public ProgressMonitor {
public:
    explicit ProgressoProva(ProgressMonitor& schermo) : m_schermo(schermo) { }
    void Fase(FaseQuiva fase, const QString& nome) override;
    void Posizione(long posizione) override;
    void Totale(long totale) override { m_schermo.Totale(totale); }
    void Errori(long errori) override { m_schermo.Errori(errori); }
    void Salvate(long righe) override { m_schermo.Salvate(righe); }
    void Byte(qint64 letti, qint64 totale) override { m_schermo.Byte(letti, totale); }
    long Righe() const { return m_righe; }

private:
    ProgressMonitor& m_schermo;
    bool m_caricamento = false;
    long m_righe = 0;
};

// The report of one definition's trial: how many lines would be loaded and
// every line that would be rejected with its reason, read from the error
// rows the load has just written (before they are rolled back).
QString RapportoProva(DatabaseLink& db, const QString& codice, long righeLette);

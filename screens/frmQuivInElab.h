#pragma once
// Progress window of a load: title, heading, message line and the counters
// "Records" / "Letti:" / "di" / "Salvate:" / "Errori:". "Salvate" counts the
// lines already committed, which a crash cannot lose. The engine drives it through
// ProgressMonitor; between updates it lets the interface run, at most every
// few tens of milliseconds, so that the stop button answers quickly without
// slowing the load.
#include "ProgressMonitor.h"

#include <QElapsedTimer>
#include <QWidget>

class QLabel;
class QProgressBar;

class frmQuivInElab : public QWidget, public ProgressMonitor {
    Q_OBJECT
public:
    static constexpr int IntervalloEventiMs = 50;

    explicit frmQuivInElab(QWidget* parent = nullptr);

    // Shows the window with its title and heading; counters start at 0.
    void Apri(const QString& titolo, const QString& intestazione);
    void Chiudi();
    // Brings the window forward again.
    void Mostra();

    void Fase(FaseQuiva fase, const QString& nome) override;
    void Posizione(long posizione) override;
    void Totale(long totale) override;
    void Errori(long errori) override;
    void Salvate(long righe) override;

    QLabel* LabIntestazione;
    QLabel* LabMessaggio;
    QLabel* LabRecords;
    QLabel* LabLetti;
    QLabel* txtLetti;
    QLabel* LabDi;
    QLabel* txtTotale;
    QLabel* LabSalvate;
    QLabel* txtSalvate;
    QLabel* LabErrori;
    QLabel* txtErrori;
    QProgressBar* barAvanzamento;

private:
    // Shows the values; lets events run when forza or enough time passed.
    void Aggiorna(bool forza);
    void Disponi();
    void MostraTotale(bool conTotale);

    FaseQuiva m_fase = FaseQuiva::Preparazione;
    long m_posizione = 0;
    long m_totale = 0;
    long m_errori = 0;
    long m_salvate = 0;
    QElapsedTimer m_tempo;
};

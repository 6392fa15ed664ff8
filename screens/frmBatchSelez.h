#pragma once
// Batch preparation: which definitions take part in unattended runs (the
// column "Quiva", stored as QuivaFile.Batch) and, on the detail screen, the
// constant answers of their prompted fields (QuivaDettaglio.CostBatch).
#include "ContestoQuiva.h"
#include "Maschera.h"
#include "RecordsetManager.h"

#include <QPointer>

class ModelloRecordset;
class QItemSelection;
class QPushButton;
class QTableView;
class frmBatchSelezDett;

class frmBatchSelez : public Maschera {
    Q_OBJECT
public:
    static constexpr int ContestoHelp = 3701;
    static inline const QString Caption = QStringLiteral("Selezione File per Quivamento Batch");

    explicit frmBatchSelez(const ContestoQuiva& contesto, QWidget* parent = nullptr);
    ~frmBatchSelez() override;

    void Carica() override;
    void PassaA() override;
    bool PuoChiudere(QString& motivo) override;

    void PrepGrid();
    void comDettagli_Click();
    void ComOk_Click();
    // Called by the detail screen as it closes: this screen comes back.
    void DopoGestDettaglio();

    // The prompted fields of a definition, as the detail screen shows them.
    static QString SqlDettaglio(const QString& codice);
    // The open detail record set (valid while the detail screen is open).
    Recordset& RecordsetDettaglio() const { return ogRecDet.Oggetto(m_nomeDettaglio); }
    QString ValoreRiga(int riga, const QString& colonna) const;
    frmBatchSelezDett* Dettaglio() const;

    int oiInDett = -1;  // 1 while the detail screen is open

    QTableView* dbgQuiva;
    QPushButton* comDettagli;
    QPushButton* ComOk;

private:
    bool CambiaBatch(int riga, QString& valore);
    void RigaCambiata(int riga);
    void SelChange(const QItemSelection& selezionate, const QItemSelection& deselezionate);

    ContestoQuiva m_ctx;
    RecordsetManager m_rs;
    QString m_nomeRs;  // DatQuiva
    ModelloRecordset* m_modello;
    RecordsetManager ogRecDet;
    QString m_nomeDettaglio;
    QPointer<frmBatchSelezDett> m_dettaglio;
};

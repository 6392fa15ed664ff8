#pragma once
// Constant answers of a definition's prompted fields for batch runs, edited
// in the record set the batch screen opened. Closing it gives the batch
// screen back.
#include "ContestoQuiva.h"
#include "Maschera.h"

#include <QPointer>

class ModelloRecordset;
class QPushButton;
class QTableView;
class frmBatchSelez;

class frmBatchSelezDett : public Maschera {
    Q_OBJECT
public:
    explicit frmBatchSelezDett(const ContestoQuiva& contesto, frmBatchSelez& batch, QWidget* parent = nullptr);
    ~frmBatchSelezDett() override;

    void Carica() override;
    void PassaA() override;
    void PrepGrid();

    QString osCodice;  // the definition whose fields are shown

    QTableView* dbgQuiva;
    QPushButton* ComOk;

protected:
    void closeEvent(QCloseEvent* evento) override;

private:
    bool CambiaCostante(int riga, QString& valore);

    ContestoQuiva m_ctx;
    QPointer<frmBatchSelez> m_batch;
    ModelloRecordset* m_modello;
};

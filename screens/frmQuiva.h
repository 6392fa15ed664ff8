#pragma once
// The load dialog: every load definition in a grid; the selected ones are
// loaded in the order they were selected, after their base values have been
// asked, with a progress window and a stop button.
#include "ContestoQuiva.h"
#include "Maschera.h"
#include "RecordsetManager.h"
#include "ValoriBase.h"

#include <QList>
#include <memory>

class ModelloRecordset;
class QItemSelection;
class QLabel;
class QPushButton;
class QTableView;
class ValueStore;
class frmQuivInElab;
class frmRicValBase;

class frmQuiva : public Maschera {
    Q_OBJECT
public:
    static constexpr int ContestoHelp = 3700;

    explicit frmQuiva(const ContestoQuiva& contesto, QWidget* parent = nullptr);
    ~frmQuiva() override;

    void Carica() override;
    void PassaA() override;
    bool PuoChiudere(QString& motivo) override;

    void PrepGrid();
    const QString& SqlGriglia() const { return m_sqlGriglia; }

    // Base values: 0 go on, anything else stops the click.
    int RicValDefault(const QString& codice);
    int ChiediValBase();

    void ComOk_Click();
    void ComStop_Click();
    void ComAnnulla_Click();

    // Selected grid rows, in the order the user selected them.
    const QList<int>& Selezione() const { return m_ordine; }
    // Value of a column of a grid row.
    QString ValoreRiga(int riga, const QString& colonna) const;
    bool InElaborazione() const { return m_inElaborazione; }
    // The base values of the run in progress (null outside a run).
    const ValueStore* ValDefault() const { return ogValDefault.get(); }

    QLabel* Label1;
    QTableView* dbgQuiva;
    QPushButton* ComOk;
    QPushButton* ComAnnulla;
    QPushButton* ComStop;
    frmQuivInElab* Progresso() const { return m_progresso; }
    // The prompt window while the base values are being collected.
    frmRicValBase* FinestraValori() const { return m_finestraValori.get(); }

protected:
    void closeEvent(QCloseEvent* evento) override;

private:
    void dbgQuiva_SelChange(const QItemSelection& selezionate, const QItemSelection& deselezionate);
    void SpostaRigaCorrente(int riga);
    void TogliDallaSelezione(int riga);
    void Occupato(bool occupato);
    void PosizionaProgresso();

    ContestoQuiva m_ctx;
    RecordsetManager m_rs;
    QString m_nomeRs;  // record set of the grid (DatQuiva)
    QString m_sqlGriglia;
    ModelloRecordset* m_modello;
    QList<int> m_ordine;
    bool m_selezioneInterna = false;  // selection changed by the dialog itself
    bool m_inElaborazione = false;
    RaccoltaValBase m_raccolta;
    std::unique_ptr<frmRicValBase> m_finestraValori;
    std::unique_ptr<ValueStore> ogValDefault;
    frmQuivInElab* m_progresso;
};

#pragma once
// Error review: the definitions that have rejected lines in a combo, the
// rejected lines of the chosen one in a grid; they can be cleared, or saved
// to a text file to be corrected and loaded again.
#include "ContestoQuiva.h"
#include "Maschera.h"
#include "RecordsetManager.h"

#include <functional>

class ModelloRecordset;
class QComboBox;
class QLabel;
class QPushButton;
class QTableView;

class frmVerErrori : public Maschera {
    Q_OBJECT
public:
    static constexpr int ContestoHelp = 3750;
    static inline const QString NessunaScelta = QStringLiteral("NessunaScelta");

    explicit frmVerErrori(const ContestoQuiva& contesto, QWidget* parent = nullptr);
    ~frmVerErrori() override;

    void Carica() override;
    void PassaA() override;

    void ImpostaCombo();
    void PrepGrid();
    // "3 righe scartate (4 errori)": lines, then error rows where they differ.
    static QString TestoConteggio(int righe, int errori);

    void comOk_Click();
    void ComSalva_Click();
    void ComAnnulla_Click();

    // The save dialog: gets the proposed path, gives the chosen one (empty
    // when cancelled). Replaceable for tests.
    std::function<QString(const QString& proposta)> ChiediFile;

    QLabel* Label2;
    QComboBox* CobCodice;
    QTableView* dbgErrori;
    QLabel* LabRighe;
    QPushButton* comOk;
    QPushButton* ComSalva;
    QPushButton* ComAnnulla;

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

private:
    void ApriGriglia(const QString& codice);
    void MostraConteggio();

    ContestoQuiva m_ctx;
    RecordsetManager m_rs;
    QString m_nomeRs;         // record set of the grid (DatErrori)
    QString m_codiceGriglia;  // definition whose rows the grid shows
    ModelloRecordset* m_modello;
};

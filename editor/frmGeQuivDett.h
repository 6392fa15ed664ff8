#pragma once
// The field detail editor ("Dettagli Campi da Quivare"): the QuivaDettaglio
// rows of one definition in a grid, the current one in a detail panel. The
// stored field name joins a table code and a column of that table; the
// column combo offers the columns of the table the code stands for. A
// definition without rows gets one row per column of its main table.
#include "ContestoEditor.h"
#include "LinePageEditor.h"
#include "Maschera.h"

#include <QMap>

class BarraComandi;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTableView;

// What the header editor hands over: the definition and its target tables
// (slot 1 has no code).
struct TabelleDefinizione {
    QString osCodice;
    QString tabelle[5];
    QString codici[5];
};

class frmGeQuivDett : public Maschera, public ClienteRighe {
    Q_OBJECT
public:
    static constexpr int ContestoHelp = 3610;

    frmGeQuivDett(const ContestoEditor& contesto, const TabelleDefinizione& testata, QWidget* parent = nullptr);
    ~frmGeQuivDett() override;

    void Carica() override;
    bool PuoChiudere(QString& motivo) override;

    void ButtonComando(const QString& psKey);
    // Shows the row of this stored field name; false when there is none
    // (or the user chose to stay on unsaved changes).
    bool VaiACampo(const QString& nomeCampo);
    // Open previews of the definition, and this editor's checks, follow its
    // saved rows.
    void DefinizioneCambiata();
    // ClienteRighe
    QString PrepSql() override;
    void PersColonne() override;
    bool CercaTab();
    void CompCampiCombo();
    static void CompComboTipi(QComboBox* combo);
    void CreaRigheCampi();
    int PersLPaPri(int evento, const QVariantList& parametri);
    int PersLPaDop(int evento, const QVariantList& parametri);
    // ClientePagina
    int PersPagPri(int evento, const QVariantList& parametri) override { return PersLPaPri(evento, parametri); }
    int PersPagDop(int evento, const QVariantList& parametri) override { return PersLPaDop(evento, parametri); }
    void ChiudiFrm() override { close(); }
    void MenuFrm() override;

    LinePageEditor& Pagina() { return *m_pagina; }
    const QString& TabellaCorrente() const { return m_tabellaCorrente; }

    BarraComandi* tolComandi;
    QMap<int, QLineEdit*> txt;
    QMap<int, QComboBox*> Cob;
    QMap<int, QCheckBox*> Che;
    QLineEdit* txtTabella;
    QLineEdit* txtRiga;
    QTableView* dbgRiga;
    QLabel* lblTipOpe;
    QLabel* lblMessaggio;

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;

private:
    bool ComandoProprio(const QString& chiave);
    void ApriSopra(Maschera* finestra);
    QLineEdit* NuovaCasella(int indice);
    QComboBox* NuovoCombo(int indice, bool modificabile);
    QCheckBox* NuovaSpunta(int indice);
    void RegistraCampi();
    QString ControllaCampo(int indice, const QString& valore);
    bool txt15_LostFocus();
    void cob_Click(int indice);
    void cob_LostFocus(int indice);
    void ScriviNomeCampo();
    void MostraNomeCampo();
    void AggSpecchi();
    void AbilitaSpecchi();

    ContestoEditor m_ctx;
    TabelleDefinizione m_testata;
    LinePageEditor* m_pagina = nullptr;
    QString m_tabellaCorrente;
    QString m_nomeTipi;
    bool m_mostrando =
        false;  // the row is being shown: mirrors do not write  // stored name the types were last taken for
};

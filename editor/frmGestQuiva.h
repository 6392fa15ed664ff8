#pragma once
// The definition header editor ("Tabella Quivamento"): one QuivaFile row per
// load definition, with its five target tables on tab pages. Search, save,
// delete, duplicate and navigation are the page's; this screen declares the
// fields, mirrors combos and check boxes into them, deletes and copies a
// definition's field and decode rows with it, and opens the list.
#include "ClientePagina.h"
#include "ContestoEditor.h"
#include "Maschera.h"
#include "frmGestQuivLis.h"

#include <QMap>
#include <QPointer>
#include <functional>

class BarraComandi;
class PageEditor;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTabWidget;
class frmGeQuivDett;
class frmGestQuivLis;

class frmGestQuiva : public Maschera, public ClientePagina {
    Q_OBJECT
public:
    static constexpr int ContestoHelp = 3600;

    explicit frmGestQuiva(const ContestoEditor& contesto, QWidget* parent = nullptr);
    ~frmGestQuiva() override;

    void Carica() override;
    void PassaA() override;
    bool PuoChiudere(QString& motivo) override;

    void ButtonComando(const QString& psKey);
    // ClientePagina
    int PersPagPri(int evento, const QVariantList& parametri) override;
    int PersPagDop(int evento, const QVariantList& parametri) override;
    void ChiudiFrm() override { close(); }
    void MenuFrm() override;

    void DuplicaDett();
    void AggNonText();
    void CompTxtToChe(int indice);
    void CompListaTabella();
    void SistemaPagina(int piIndex, bool pbSetFocus);
    void ComDett_Click();
    void ComTrasf_Click(int n);
    void ComEsporta_Click();
    void ComImporta_Click();
    // A new definition proposed from its source file, shown in the preview
    // and written only when the user saves it there.
    void ComCreaDaFile_Click();
    // Shows a field row in the field detail editor, opening it if needed.
    void VaiACampo(const QString& nomeCampo);
    // Chooses the file of an export (salva) or an import; empty: cancelled.
    std::function<QString(bool salva, const QString& proposta)> sceltaFile;

    PageEditor& Pagina() { return *m_pagina; }
    frmGestQuivLis* Lista() const { return m_lista; }

    // Values handed to the field detail editor.
    QString osCodice, osTabella, osTabella2, osTabella3, osTabella4, osTabella5;
    QString osCodTab2, osCodTab3, osCodTab4, osCodTab5;

    BarraComandi* tolComandi;
    QMap<int, QLineEdit*> txt;
    QMap<int, QComboBox*> Cob;
    QMap<int, QCheckBox*> CheAzz;
    QTabWidget* TasPagine;
    QPushButton* ComDett;
    QPushButton* ComEsporta;
    QPushButton* ComImporta;
    QPushButton* ComTrasf[5];
    QLabel* lblTipOpe;
    QLabel* lblMessaggio;
    QStatusBar* staMessaggi;

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

private:
    void CostruisciPagine();
    QWidget* CostruisciPagina(int n);
    void RegistraCampi();
    QLineEdit* NuovaCasella(int indice, QWidget* padre);
    QComboBox* ComboTabelle(int indice, QWidget* padre);
    QCheckBox* CheckAzzera(int indice, QWidget* padre);
    QComboBox* ComboCodici(int indice, const QStringList& voci, QWidget* padre);
    void Cob_Click(int indice);
    void AbilitaSpecchi();
    QString Letterale(const QString& codice) const;
    // Loads a screen opened from here and shows it modally.
    void ApriModale(Maschera* maschera);
    // The preview, the check and the proposal: windows over this one.
    bool ComandoProprio(const QString& chiave);
    void ApriSopra(Maschera* finestra);

    ContestoEditor m_ctx;
    PageEditor* m_pagina = nullptr;
    QPointer<frmGestQuivLis> m_lista;
    QPointer<frmGeQuivDett> m_dettagli;
    QString m_codiceOrigine;  // the definition being duplicated
};

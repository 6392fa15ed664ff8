#pragma once
// The search list of load definitions ("Lista Tabella Quivamento"): filter
// boxes, the definitions in a grid, and the chosen one handed back to the
// header editor.
#include "ContestoEditor.h"
#include "ListBrowser.h"
#include "ListPageLink.h"
#include "Maschera.h"

#include <QTimer>

class BarraComandi;
class PageEditor;
class QComboBox;
class QLineEdit;
class QRadioButton;
class QPushButton;
class QTableView;

class frmGestQuivLis : public Maschera, public ClienteLista {
    Q_OBJECT
public:
    explicit frmGestQuivLis(const ContestoEditor& contesto, QWidget* parent = nullptr);
    ~frmGestQuivLis() override;

    void Carica() override;

    // ClienteLista
    QString PrepSql(const QString& psWhere) override;
    bool VerSelez() override;

    void ButtonComando(const QString& psKey);
    void PersColonne();
    // The column of the record set shown in a grid column.
    QString ColToSourceField(int piColIndex) const;
    QStringList ListaKey() const { return m_link->ListaKey(); }
    void impOggBase(PageEditor* pagina) { m_link->impOggBase(pagina); }
    ListPageLink& Link() { return *m_link; }
    ListBrowser& Browser() { return *m_browser; }
    void ListaAvanti() { m_link->ListaAvanti(); }
    void ListaIndietro() { m_link->ListaIndietro(); }
    const QString& osSql() const { return m_sql; }

    BarraComandi* tolComandi;
    QLineEdit* txtCodiceDa;
    QLineEdit* txtCodiceA;
    QLineEdit* txtInTabella;
    QLineEdit* txtInOrigine;
    QPushButton* ComCerca;
    QLineEdit* txtCerca;
    QComboBox* CobCerca;
    QRadioButton* optDirezione[4];  // Primo, Successivo, Precedente, Ultimo
    QLineEdit* txtRiga;
    QTableView* dbgRiga;
    QTimer timVarie;  // deferred selection after a click

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

private:
    void dbgRiga_Click();
    void timVarie_Timer();

    ContestoEditor m_ctx;
    ListBrowser* m_browser;
    ListPageLink* m_link;
    QString m_sql;
    QString m_comando;  // the command being run
    bool m_clicPendente = false;
    bool m_ridimensionato = false;  // header click or column resize since the click
};

#pragma once
// The transformation editor ("Trasformazioni per quivamento dati"): the
// QuivaDecod rows of one definition and one target table, edited directly
// in the grid. The field of a row is chosen from the list of the table's
// columns, never typed; every row saved carries the caller's definition
// code and table.
#include "ContestoEditor.h"
#include "Maschera.h"

class BarraComandi;
class ListBrowser;
class QLineEdit;
class QListWidget;
class QTableView;

class frmTrasform : public Maschera {
    Q_OBJECT
public:
    static constexpr int ContestoHelp = 3620;

    explicit frmTrasform(const ContestoEditor& contesto, QWidget* parent = nullptr);
    ~frmTrasform() override;

    // Set by the caller before the form is shown.
    QString osCodice;
    QString osTabella;
    QString osParam;
    QString osKeyAttivazione;
    int oiNumKey = 0;
    void ImpostaAbilRW(int abilRW);

    // The list's SQL: psTabella itself when pbSql, else the decode rows of
    // osCodice and osTabella in psTabella. pbAbilita: load and show it.
    void TabellaStd(const QString& psNomeLin, const QString& psTabella, int piNumKey, bool pbAbilita, bool pbSql);
    void Carica() override;
    void CompCampiCombo();
    void PersColonne();
    void ButtonComando(const QString& psKey);
    QString ColToSourceField(int piColIndex) const;
    const QString& osSql() const { return m_sql; }
    ListBrowser& Browser() { return *m_browser; }

    BarraComandi* tolComandi;
    QLineEdit* txtCodice;
    QLineEdit* txtTabella;
    QLineEdit* txtRiga;
    QTableView* dbgRiga;
    QListWidget* LisCampo;

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;

private:
    int ColonnaNomeCampo() const;
    bool CellaInModifica() const;
    void ApriLisCampo();
    void PrendiLisCampo();
    void Duplica();
    bool ControllaRiga(QVariantMap& riga, QString& motivo);

    ContestoEditor m_ctx;
    ListBrowser* m_browser = nullptr;
    QString m_sql;
    QString m_nomeLista;
    QString m_comando;  // the command being run
};

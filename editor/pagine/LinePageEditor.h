#pragma once
// The line page: the rows of one record set in a grid, the current row in a
// detail panel of declared fields. The screen gives the SQL of the rows and
// the column widths; the page keeps the grid and the current row, runs new /
// save / delete / cancel / copy / change of key, validates the fields and
// asks about unsaved changes before moving to another row or closing.
//
// Events: 8 (before and after a new row is prepared; 1st parameter 1 when
// the values of the current row are kept, as for "Duplica", whose copy takes
// the key typed in answer to its question and is saved at once) and 16
// (after a row is shown).
#include "PaginaBase.h"

#include <QMap>
#include <QSet>

class DatabaseLink;
class ListBrowser;
class QLineEdit;
class RichiestaTesto;
class QTableView;
class RecordsetManager;

class ClienteRighe : public ClientePagina {
public:
    // The SQL of the rows, selecting from the page's table.
    virtual QString PrepSql() = 0;
    // Column captions and widths of the grid.
    virtual void PersColonne() { }
};

class LinePageEditor : public PaginaBase {
    Q_OBJECT
public:
    LinePageEditor(QWidget& schermo, ClienteRighe& cliente, FinestraMessaggi& messaggi, DatabaseLink& db);
    ~LinePageEditor() override;

    void ImpostaGriglia(QTableView& griglia, QLineEdit* txtRiga);
    void ImpostaTabella(const QString& tabella) { m_tabella = tabella; }
    // A field whose value comes from the calling screen: never typed, kept
    // by a new row.
    void Fisso(int indice) { m_fissi.insert(indice); }
    // Where "Duplica" asks the new key of the copy; without it the copy is
    // left to be completed and saved by the user.
    void ImpostaDomande(RichiestaTesto* domande) { m_domande = domande; }
    // The attributes a field was registered with (null when unknown).
    const AttributiCampo* Attributi(int indice);

    // Finishing step: opens the rows and shows the first.
    void Avvia();
    // Reads the rows again (PrepSql), staying on the same row when possible.
    void Riapri();
    ListBrowser& Browser() { return *m_browser; }
    // Shows the row with this key (asking about unsaved changes first);
    // false when it stays where it was.
    bool MostraChiave(const QStringList& chiave);
    // Called once a row was written or deleted.
    std::function<void()> righeScritte;
    // 0-based grid row shown in the panel, -1 when none.
    int RigaMostrata() const { return m_rigaMostrata; }

    TipoPagina Tipo() const override { return TipoPagina::Righe; }
    bool GrigliaAttiva(const QWidget* attivo) const override;

protected:
    void Esegui(const QString& chiave) override;
    bool Salva() override;
    void StatoCambiato() override;

private:
    void Nuovo(bool mantieniValori, const QMap<int, QString>& chiave = {});
    void Duplica();
    void Cancella();
    void MostraRiga(int riga);
    void Sposta(int riga);
    void RigaScelta(int riga);
    int RigaConChiave(const QStringList& chiave);
    // The shown row, read again now and made current in a set of rs (whose
    // name is returned); raises ErroreRun DatoVariato when it changed.
    QString RigaDaScrivere(RecordsetManager& rs);

    ClienteRighe& m_righe;
    DatabaseLink& m_db;
    QString m_tabella;
    ListBrowser* m_browser = nullptr;
    QTableView* m_griglia = nullptr;
    QSet<int> m_fissi;
    RichiestaTesto* m_domande = nullptr;
    int m_rigaMostrata = -1;
    bool m_chiaveAperta = false;
    bool m_spostando = false;  // the page itself moves the grid
};

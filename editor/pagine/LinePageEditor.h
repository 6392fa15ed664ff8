#pragma once
// The line page: the rows of one record set in a grid, and the current row
// in the text boxes of a detail panel. Choosing a row in the grid shows it;
// the page inserts, saves (after checking every field), deletes with
// confirmation and cancels, asks about unsaved changes before moving, and
// validates each field when it is left.
#include "ArchivioPagina.h"
#include "CampiPagina.h"
#include "ClientePagina.h"
#include "ListBrowser.h"
#include "TastiPagina.h"

#include <QObject>
#include <QPointer>
#include <QSet>
#include <functional>
#include <memory>

class BarraComandi;
class DatabaseLink;
class FinestraMessaggi;
class QLabel;
class QLineEdit;
class QTableView;

class LinePageEditor : public QObject, public PaginaComandi {
    Q_OBJECT
public:
    LinePageEditor(QWidget& schermo, ClientePagina& cliente, QTableView& griglia, DatabaseLink& db, FinestraMessaggi& messaggi);
    ~LinePageEditor() override;

    void ImpostaTabella(const QString& tabella) { m_tabella = tabella; }
    void Registra(int indice, QLineEdit* txt, const QString& colonna, const QString& nome, const AttributiCampo& attributi = {})
    {
        m_campi.Registra(indice, txt, colonna, nome, attributi);
    }
    CampiPagina& Campi() { return m_campi; }
    // A field of the fixed area: kept for every row, never typed in.
    void Fisso(int indice) { m_fissi.insert(indice); }
    void ImpostaBarra(BarraComandi* barra);
    void ImpostaContatore(QLineEdit* txtRiga) { m_browser->ImpostaContatore(txtRiga); }
    void ImpostaEtichettaOperazione(QLabel* etichetta) { m_etichetta = etichetta; }
    std::function<void(const QString&)> messaggioStato;
    // The screen's own check of a field left with a value; a non-empty
    // answer refuses it and is shown in the message window.
    std::function<QString(int indice)> controlloCampo;
    // Where toolbar clicks and page keys go first (the screen's command
    // entry, which ends by calling Comando); unset: straight to Comando.
    std::function<void(const QString&)> inoltraComando;
    void Iscrivi(int evento) { m_eventi.insert(evento); }
    void SolaLettura();
    bool InSolaLettura() const { return m_soloLettura; }

    // Opens the rows of the SQL and shows the first.
    void SettaRecordset(const QString& sql);
    void PersColonne(const QList<ColonnaLista>& colonne) { m_browser->PersColonne(colonne); }
    ListBrowser& Browser() { return *m_browser; }
    int Conteggio() const { return m_browser->Conteggio(); }
    // Finishing step: watches the fields and installs the page keys.
    void Avvia();

    void Comando(const QString& chiave);
    bool PuoChiudere() { return ChiediSalvataggio(); }
    bool InComando() const { return m_inComando; }
    // The field's check, as when it is left: false when refused.
    bool ValidaCampo(int indice);

    // PaginaComandi
    TipoPagina Tipo() const override { return TipoPagina::Righe; }
    BarraComandi* Barra() const override { return m_barra; }
    void EseguiComando(const QString& chiave) override { inoltraComando ? inoltraComando(chiave) : Comando(chiave); }
    int oiFlagOpe() const override { return m_flagOpe; }
    QString VarDati() const override { return m_flagOpe == 0 ? QString() : m_campi.VarDati(); }
    bool GrigliaAttiva(const QWidget* attivo) const override;

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

private:
    void Esegui(const QString& chiave);
    void RigaScelta(int riga);
    void MostraCorrente();
    void Nuova();
    bool Salva();
    void Cancella();
    void VaiA(int riga);    // after asking about unsaved changes
    void Sposta(int riga);
    void ImpostaStato(int stato);
    bool ChiediSalvataggio();
    bool ControllaPerSalvare();
    bool Uscito(CampoPagina& campo);
    void Riapri(const QStringList& chiave);
    QStringList ChiaveRiga(int riga) const;
    ArchivioPagina& Archivio();
    void Avviso(const QString& testo);
    void Stato(const QString& testo);

    QWidget& m_schermo;
    ClientePagina& m_cliente;
    QTableView& m_griglia;
    DatabaseLink& m_db;
    FinestraMessaggi& m_messaggi;
    ListBrowser* m_browser;
    QString m_tabella;
    CampiPagina m_campi;
    std::unique_ptr<ArchivioPagina> m_archivio;
    BarraComandi* m_barra = nullptr;
    QPointer<QLabel> m_etichetta;
    QSet<int> m_eventi;
    QSet<int> m_fissi;
    int m_flagOpe = 0;              // 0 no row, 1 a stored row, 2 a new row
    int m_riga = -1;                // grid row shown
    QStringList m_chiaveCorrente;   // key of the stored row shown
    bool m_soloLettura = false;
    bool m_inComando = false;
    bool m_spostando = false;       // the page itself moves the grid
};

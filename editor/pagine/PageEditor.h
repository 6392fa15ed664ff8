#pragma once
// The single-record page: one row of one table in text boxes. The screen
// declares its fields and subscribes to page events; the page runs the
// commands (search by the typed values, new, save, delete with confirmation,
// cancel, duplicate under a new key, change of key, first / previous / next /
// last, the linked search list), validates each field when it is left and
// asks about unsaved changes before moving or closing.
#include "ArchivioPagina.h"
#include "CampiPagina.h"
#include "ClientePagina.h"
#include "TastiPagina.h"

#include <QObject>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QSet>
#include <functional>
#include <memory>

class DatabaseLink;
class FinestraMessaggi;
class QLabel;
class RichiestaTesto;

class PageEditor : public QObject, public PaginaComandi {
    Q_OBJECT
public:
    PageEditor(QWidget& schermo, ClientePagina& cliente, FinestraMessaggi& messaggi, RichiestaTesto* domande);
    ~PageEditor() override;

    void ImpostaTabella(const QString& tabella) { m_tabella = tabella; }
    void Registra(int indice, QLineEdit* txt, const QString& colonna, const QString& nome, const AttributiCampo& attributi = {})
    {
        m_campi.Registra(indice, txt, colonna, nome, attributi);
    }
    CampiPagina& Campi() { return m_campi; }
    void ImpostaDatabase(DatabaseLink& db) { m_db = &db; }
    void ImpostaBarra(BarraComandi* barra);
    // Label that shows the operation ("Ricerca", "Variazione", "Inserimento").
    void ImpostaEtichettaOperazione(QLabel* etichetta) { m_etichetta = etichetta; }
    // Where short notices go (the status bar).
    std::function<void(const QString&)> messaggioStato;
    void Iscrivi(int evento) { m_eventi.insert(evento); }
    void CollegaLista(ListaCollegata* lista) { m_lista = lista; }
    // Creates the search list when "Lista" finds none linked.
    std::function<void()> apriLista;
    // Nothing that writes runs; the write commands say why.
    void SolaLettura();
    bool InSolaLettura() const { return m_soloLettura; }

    // Finishing step: watches the fields, installs the page keys and starts
    // in search state.
    void Avvia();

    // Command entry: validates the field being typed first, runs the
    // command, then gives the focus back to that field.
    void Comando(const QString& chiave);
    // Whether the page may be left (asks about unsaved changes).
    bool PuoChiudere();
    // Shows the row with that key (the list hands it over).
    bool Posiziona(const QStringList& chiave);
    void ListaChiusa() { AggiornaBarra(); }
    bool InComando() const { return m_inComando; }

    // PaginaComandi
    TipoPagina Tipo() const override { return TipoPagina::Record; }
    BarraComandi* Barra() const override { return m_barra; }
    void EseguiComando(const QString& chiave) override { Comando(chiave); }
    int oiFlagOpe() const override { return m_flagOpe; }
    QString VarDati() const override;

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

private:
    void Esegui(const QString& chiave);
    void Cerca();
    bool Salva();
    void Cancella();
    void Annulla();
    void Duplica();
    void VariaChiave();
    void Naviga(ArchivioPagina::Verso verso);

    // Fields emptied for a search (modo 0) or prepared for a new row (2).
    void Prepara(int modo);
    void MostraRiga(const QVariantMap& riga);
    void ImpostaStato(int stato);
    void BloccaChiave(bool bloccata);
    void AggiornaBarra();
    // Saves, discards or stays, as the user answers; false: stay.
    bool ChiediSalvataggio();
    bool Uscito(CampoPagina& campo);
    bool ControllaPerSalvare();
    QString WhereRicerca();
    QVariantMap ValoriDaScrivere();
    QList<ColonnaChiave> ColonneChiave();
    ArchivioPagina& Archivio();
    void Avviso(const QString& testo);
    void Stato(const QString& testo);
    int Prima(int evento, const QVariantList& parametri);
    void Dopo(int evento, const QVariantList& parametri);

    QWidget& m_schermo;
    ClientePagina& m_cliente;
    FinestraMessaggi& m_messaggi;
    RichiestaTesto* m_domande;
    DatabaseLink* m_db = nullptr;
    QString m_tabella;
    CampiPagina m_campi;
    std::unique_ptr<ArchivioPagina> m_archivio;
    BarraComandi* m_barra = nullptr;
    QPointer<QLabel> m_etichetta;
    ListaCollegata* m_lista = nullptr;
    QSet<int> m_eventi;
    int m_flagOpe = 0;
    QStringList m_chiaveCorrente;   // key of the row shown (state 1)
    bool m_chiaveAperta = false;    // VarKey: the key may be changed
    bool m_soloLettura = false;
    bool m_inComando = false;
};

#pragma once
// The single-record page: one row of one table in text boxes. The screen
// declares its fields and subscribes to page events; the page runs the
// commands (search by the typed values, new, save, delete with confirmation,
// cancel, duplicate under a new key, change of key, first / previous / next /
// last, the linked search list), validates each field when it is left and
// asks about unsaved changes before moving or closing.
#include "ArchivioPagina.h"
#include "PaginaBase.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <functional>
#include <memory>

class DatabaseLink;
class FinestraMessaggi;
class QLabel;
class RichiestaTesto;

class PageEditor : public PaginaBase {
    Q_OBJECT
public:
    PageEditor(QWidget& schermo, ClientePagina& cliente, FinestraMessaggi& messaggi, RichiestaTesto* domande);
    ~PageEditor() override;

    void ImpostaTabella(const QString& tabella) { m_tabella = tabella; }
    void ImpostaDatabase(DatabaseLink& db) { m_db = &db; }
    // Label that shows the operation ("Ricerca", "Variazione", "Inserimento").
    void ImpostaEtichettaOperazione(QLabel* etichetta) { m_etichetta = etichetta; }
    void CollegaLista(ListaCollegata* lista) { m_lista = lista; }
    // Creates the search list when "Lista" finds none linked.
    std::function<void()> apriLista;

    // Finishing step: watches the fields, installs the page keys and starts
    // in search state.
    void Avvia();
    // Shows the row with that key (the list hands it over).
    bool Posiziona(const QStringList& chiave);
    // Drops what is being typed, without asking, and goes back to searching.
    void Abbandona() { Prepara(0); }
    void ListaChiusa() { AggiornaBarra(); }
    // Key of the row shown; empty when none is.
    QStringList ChiaveCorrente() const { return m_flagOpe == 1 ? m_chiaveCorrente : QStringList(); }

    TipoPagina Tipo() const override { return TipoPagina::Record; }

protected:
    void Esegui(const QString& chiave) override;
    bool Salva() override;
    void StatoCambiato() override;

private:
    void Cerca();
    void Cancella();
    void Annulla();
    void Duplica();
    void VariaChiave();
    void Naviga(ArchivioPagina::Verso verso);

    // Fields emptied for a search (modo 0) or prepared for a new row (2).
    void Prepara(int modo);
    void MostraRiga(const QVariantMap& riga);
    void AggiornaBarra();
    QString WhereRicerca();
    QList<ColonnaChiave> ColonneChiave();
    ArchivioPagina& Archivio();

    RichiestaTesto* m_domande;
    DatabaseLink* m_db = nullptr;
    QString m_tabella;
    std::unique_ptr<ArchivioPagina> m_archivio;
    QPointer<QLabel> m_etichetta;
    ListaCollegata* m_lista = nullptr;
    QStringList m_chiaveCorrente;  // key of the row shown (state 1)
    bool m_chiaveAperta = false;   // VarKey: the key may be changed
};

#pragma once
// The selection side of a search list: the filter boxes with their column
// and operator, the where-clause they make, the selection commands
// ("Ricerca", "AzzSel", "Seleziona", "Torna") and the hand-over of the
// chosen row to the calling page, which can also step through the list.
#include "ClientePagina.h"
#include "PageEditor.h"

#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class ListBrowser;
class PageEditor;
class QLineEdit;
class QWidget;

// What the list screen answers.
class ClienteLista {
public:
    virtual ~ClienteLista() = default;
    virtual QString PrepSql(const QString& psWhere) = 0;
    // Whether the filter values allow a search.
    virtual bool VerSelez() = 0;
};

class ListPageLink : public QObject, public ListaCollegata {
    Q_OBJECT
public:
    ListPageLink(QWidget& lista, ClienteLista& cliente, ListBrowser& browser);
    ~ListPageLink() override;

    // Operators: ">=", "<=", "like*" (begins with the typed text), "=".
    void RegistraFiltro(QLineEdit* casella, const QString& colonna, const QString& operatore);
    // The conditions of the filled boxes joined with "and".
    QString Where() const;
    // Runs a selection command; false when the key is not one of these.
    bool Comando(const QString& chiave);
    // True while the list is going away: no search should start then.
    bool InChiusura() const { return m_inChiusura; }

    // The page positioned by "Seleziona" and by the list steps.
    void impOggBase(PageEditor* pagina);
    PageEditor* Pagina() const { return m_pagina; }
    // Key of the current row, in the page's key order.
    QStringList ListaKey() const;
    // Called when the list screen closes: the page is told.
    void Chiusa();

    // ListaCollegata
    void MostraLista() override;
    bool ListaAperta() const override;
    void ListaAvanti() override;
    void ListaIndietro() override;

private:
    struct Filtro {
        QPointer<QLineEdit> casella;
        QString colonna;
        QString operatore;
    };
    void Ricerca();
    bool PosizionaPagina();
    // One row on for "(+)" / "(-)": the list moves back when the page
    // stays where it was (changes kept, row gone).
    void Passo(const QString& comando);
    // The list on the row the page shows.
    void SullaRigaDellaPagina();
    void Torna();

    QWidget& m_lista;
    ClienteLista& m_cliente;
    ListBrowser& m_browser;
    QList<Filtro> m_filtri;
    QPointer<PageEditor> m_pagina;
    bool m_inChiusura = false;
};

// A "like" pattern that matches texts beginning with testo: the pattern
// characters of the typed text are taken literally.
QString ModelloIniziaCon(const QString& testo);

// Range check of two boxes compared as text (case ignored): 1 when both are
// filled and the first comes after the second, 0 otherwise.
int ControlloIntervallo(const QLineEdit& da, const QLineEdit& a);

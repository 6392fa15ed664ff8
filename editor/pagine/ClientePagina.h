#pragma once
// What a screen answers to its page component: the hooks run before and
// after each numbered page event, and closing / menu.
#include <QVariantList>

namespace EventiPagina {
constexpr int Stato = 1;            // after: the operation changed; 1st parameter the new oiFlagOpe
constexpr int Mostrato = 5;         // after: a stored row is shown
constexpr int Preparato = 8;        // before/after: fields prepared; 1st parameter 0 search, 1 values kept, 2 new row
constexpr int ChiaveBloccata = 15;  // after: key fields locked (1st parameter 0) or opened to change (1)
constexpr int Cancellazione = 16;   // before/after: the row is deleted; after: 2nd parameter 1 done, 0 not
constexpr int Duplicazione = 17;    // before/after: the row is copied under a new key; 1st parameter 1, 3 cancelled
constexpr int ChiaveCambiata = 18;  // before: a changed key is written; parameters old key, new key

// Line pages.
constexpr int RigaNuova = 8;      // before/after: an empty row is prepared
constexpr int RigaMostrata = 16;  // after: the current row is shown
}  // namespace EventiPagina

class ClientePagina {
public:
    virtual ~ClientePagina() = default;
    // Before an operation: anything but 0 stops it. Raising undoes it.
    virtual int PersPagPri(int evento, const QVariantList& parametri)
    {
        (void)evento, (void)parametri;
        return 0;
    }
    // After an operation; for event 17 still inside its transaction, so that
    // raising undoes the copy.
    virtual int PersPagDop(int evento, const QVariantList& parametri)
    {
        (void)evento, (void)parametri;
        return 0;
    }
    virtual void ChiudiFrm() = 0;
    virtual void MenuFrm() = 0;
};

// The search list linked to a page.
class ListaCollegata {
public:
    virtual ~ListaCollegata() = default;
    virtual void MostraLista() = 0;
    virtual bool ListaAperta() const = 0;
    virtual void ListaAvanti() = 0;
    virtual void ListaIndietro() = 0;
};

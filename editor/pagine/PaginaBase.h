#pragma once
// What the single-record page and the line page share: the declared fields,
// the toolbar, the subscribed events, the operation state, command entry
// (the field being typed is validated first and gets the focus back), the
// check on leaving a field, the checks before a save and the question about
// unsaved changes.
#include "CampiPagina.h"
#include "ClientePagina.h"
#include "TastiPagina.h"

#include <QObject>
#include <QSet>
#include <functional>

class FinestraMessaggi;

class PaginaBase : public QObject, public PaginaComandi {
    Q_OBJECT
public:
    PaginaBase(QWidget& schermo, ClientePagina& cliente, FinestraMessaggi& messaggi);

    void Registra(int indice, QLineEdit* txt, const QString& colonna, const QString& nome,
                  const AttributiCampo& attributi = {})
    {
        m_campi.Registra(indice, txt, colonna, nome, attributi);
    }
    CampiPagina& Campi() { return m_campi; }
    void ImpostaBarra(BarraComandi* barra);
    void Iscrivi(int evento) { m_eventi.insert(evento); }
    // Where short notices go (the status bar).
    std::function<void(const QString&)> messaggioStato;
    // The screen's own toolbar commands: true when it ran the command.
    std::function<bool(const QString&)> comandoSchermo;
    // Nothing that writes runs; the write commands say why.
    void SolaLettura();
    bool InSolaLettura() const { return m_soloLettura; }

    // Command entry: validates the field being typed first, runs the
    // command, then gives the focus back to that field.
    void Comando(const QString& chiave);
    bool InComando() const { return m_inComando; }
    // Whether the page may be left (asks about unsaved changes).
    bool PuoChiudere() { return ChiediSalvataggio(); }

    // PaginaComandi
    BarraComandi* Barra() const override { return m_barra; }
    void EseguiComando(const QString& chiave) override { Comando(chiave); }
    int oiFlagOpe() const override { return m_flagOpe; }
    QString VarDati() const override;

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;
    // Watches the fields and installs the page keys.
    void AvviaBase();
    virtual void Esegui(const QString& chiave) = 0;
    virtual bool Salva() = 0;
    // The state changed: fields, toolbar and label follow.
    virtual void StatoCambiato() { }

    void ImpostaStato(int stato);
    bool Uscito(CampoPagina& campo);
    // Errors, empty key fields and empty required fields refuse a save.
    bool ControllaPerSalvare();
    // Saves, discards or stays, as the user answers; false: stay.
    bool ChiediSalvataggio();
    QVariantMap ValoriDaScrivere();
    int Prima(int evento, const QVariantList& parametri);
    void Dopo(int evento, const QVariantList& parametri);
    void Avviso(const QString& testo);
    void Stato(const QString& testo);

    QWidget& m_schermo;
    ClientePagina& m_cliente;
    FinestraMessaggi& m_messaggi;
    CampiPagina m_campi;
    BarraComandi* m_barra = nullptr;
    QSet<int> m_eventi;
    int m_flagOpe = 0;
    bool m_soloLettura = false;
    bool m_inComando = false;
};

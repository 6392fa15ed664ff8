#include "PaginaBase.h"

#include "BarraComandi.h"
#include "FinestraMessaggi.h"
#include "Tastiera.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

PaginaBase::PaginaBase(QWidget& schermo, ClientePagina& cliente, FinestraMessaggi& messaggi)
    : QObject(&schermo), m_schermo(schermo), m_cliente(cliente), m_messaggi(messaggi)
{
}

void PaginaBase::ImpostaBarra(BarraComandi* barra)
{
    m_barra = barra;
    connect(barra, &BarraComandi::Comando, this, &PaginaBase::Comando);
}

void PaginaBase::SolaLettura()
{
    m_soloLettura = true;
    if (m_barra)
        m_barra->Blocca(ComandiScrittura(), QStringLiteral("non disponibile: maschera aperta in sola lettura"));
    ImpostaStato(m_flagOpe);
}

void PaginaBase::AvviaBase()
{
    for (CampoPagina& c : m_campi.Tutti())
        c.txt->installEventFilter(this);
    InstallaTastiPagina(m_schermo, *this);
}

QString PaginaBase::VarDati() const { return m_flagOpe == 0 ? QString() : m_campi.VarDati(); }

void PaginaBase::ImpostaStato(int stato)
{
    m_flagOpe = stato;
    StatoCambiato();
    Dopo(EventiPagina::Stato, {stato});
}

int PaginaBase::Prima(int evento, const QVariantList& parametri)
{
    return m_eventi.contains(evento) ? m_cliente.PersPagPri(evento, parametri) : 0;
}

void PaginaBase::Dopo(int evento, const QVariantList& parametri)
{
    if (m_eventi.contains(evento))
        m_cliente.PersPagDop(evento, parametri);
}

void PaginaBase::Avviso(const QString& testo) { m_messaggi.msgCom(testo, {QStringLiteral("&Ok")}); }

void PaginaBase::Stato(const QString& testo)
{
    if (messaggioStato)
        messaggioStato(testo);
}

bool PaginaBase::eventFilter(QObject* oggetto, QEvent* evento)
{
    if (evento->type() == QEvent::FocusIn) {
        QPointer<QLineEdit> casella = qobject_cast<QLineEdit*>(oggetto);
        QTimer::singleShot(0, this, [casella] {
            if (casella && casella->hasFocus())
                SelezionaTesto(casella);
        });
    } else if (evento->type() == QEvent::FocusOut && !m_inComando) {
        if (CampoPagina* campo = m_campi.DiCasella(oggetto))
            Uscito(*campo);
    }
    return false;
}

bool PaginaBase::Uscito(CampoPagina& campo)
{
    QString messaggio;
    if (m_campi.Valida(campo, messaggio)) {
        if (!m_campi.PrimoErrato())
            Stato(QString());
        return true;
    }
    if (campo.avviso)
        Avviso(messaggio);
    else
        Stato(messaggio);
    return false;
}

void PaginaBase::Comando(const QString& chiave)
{
    if (m_inComando)
        return;
    QPointer<QLineEdit> attivo = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    if (CampoPagina* campo = attivo ? m_campi.DiCasella(attivo) : nullptr)
        Uscito(*campo);
    else
        attivo = nullptr;
    m_inComando = true;
    try {
        if (!comandoSchermo || !comandoSchermo(chiave))
            Esegui(chiave);
    } catch (const std::exception& errore) {
        m_messaggi.MsgErrfrm(errore);
    }
    m_inComando = false;
    if (!attivo || chiave == QLatin1String("Chiudi"))
        return;
    // The focus goes back to the box once the command's own events are over,
    // unless the command moved it elsewhere on purpose.
    QTimer::singleShot(0, this, [attivo] {
        if (!attivo || !attivo->isVisible() || !attivo->isEnabled() || !attivo->window()->isActiveWindow())
            return;
        QWidget* fuoco = QApplication::focusWidget();
        if (!fuoco || fuoco == attivo || fuoco->window() != attivo->window()) {
            attivo->setFocus();
            SelezionaTesto(attivo);
        }
    });
}

bool PaginaBase::ControllaPerSalvare()
{
    auto rifiuta = [this](CampoPagina& campo, const QString& testo) {
        m_campi.Colora(campo, true);
        Avviso(testo);
        campo.txt->setFocus();
        return false;
    };
    // Values that were never typed into (set by a mirror or a screen) are
    // checked here too.
    QString messaggio;
    for (CampoPagina& c : m_campi.Tutti())
        m_campi.Valida(c, messaggio);
    if (CampoPagina* errato = m_campi.PrimoErrato())
        return rifiuta(*errato, QStringLiteral("Valore non valido nel campo '") + errato->nome + QLatin1Char('\''));
    for (CampoPagina* c : m_campi.Chiave())
        if (c->txt->text().trimmed().isEmpty())
            return rifiuta(*c, QStringLiteral("Il campo chiave '") + c->nome + QStringLiteral("' è obbligatorio"));
    if (CampoPagina* vuoto = m_campi.ObbligatorioVuoto())
        return rifiuta(*vuoto, QStringLiteral("Il campo '") + vuoto->nome + QStringLiteral("' è obbligatorio"));
    return true;
}

bool PaginaBase::ChiediSalvataggio()
{
    if (VarDati().isEmpty() || m_soloLettura)
        return true;
    switch (
        m_messaggi.msgCom(QStringLiteral("Dati variati (") + VarDati() + QStringLiteral(").\nSalvare le modifiche?"),
                          {QStringLiteral("&Si"), QStringLiteral("&No"), QStringLiteral("&Annulla")})) {
    case 1: return Salva();
    case 2: return true;
    default: return false;
    }
}

QVariantMap PaginaBase::ValoriDaScrivere()
{
    QVariantMap valori;
    for (const CampoPagina& c : m_campi.Tutti())
        valori.insert(c.colonna, m_campi.ValoreDaScrivere(c));
    return valori;
}

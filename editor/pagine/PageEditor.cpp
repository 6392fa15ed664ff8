#include "PageEditor.h"

#include "BarraComandi.h"
#include "DatabaseLink.h"
#include "ErroreRun.h"
#include "FinestraMessaggi.h"
#include "RichiestaTesto.h"
#include "Tastiera.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

namespace {
const QString Ok = QStringLiteral("&Ok");
const QString Si = QStringLiteral("&Si");
const QString No = QStringLiteral("&No");
const QString Rinuncia = QStringLiteral("&Annulla");

// Marks a command in progress for as long as it lives.
struct InCorso {
    bool& flag;
    explicit InCorso(bool& f) : flag(f) { flag = true; }
    ~InCorso() { flag = false; }
};
}  // namespace

PageEditor::PageEditor(QWidget& schermo, ClientePagina& cliente, FinestraMessaggi& messaggi, RichiestaTesto* domande)
    : QObject(&schermo), m_schermo(schermo), m_cliente(cliente), m_messaggi(messaggi), m_domande(domande)
{
}

PageEditor::~PageEditor() = default;

void PageEditor::ImpostaBarra(BarraComandi* barra)
{
    m_barra = barra;
    connect(barra, &BarraComandi::Comando, this, &PageEditor::Comando);
}

void PageEditor::SolaLettura()
{
    m_soloLettura = true;
    if (m_barra)
        m_barra->Blocca(ComandiScrittura(), QStringLiteral("non disponibile: maschera aperta in sola lettura"));
    ImpostaStato(m_flagOpe);
}

void PageEditor::Avvia()
{
    for (CampoPagina& c : m_campi.Tutti())
        c.txt->installEventFilter(this);
    InstallaTastiPagina(m_schermo, *this);
    Prepara(0);
}

QList<ColonnaChiave> PageEditor::ColonneChiave()
{
    QList<ColonnaChiave> chiave;
    for (CampoPagina* c : m_campi.Chiave())
        chiave << ColonnaChiave{c->colonna, c->attributi.tipo};
    return chiave;
}

ArchivioPagina& PageEditor::Archivio()
{
    if (!m_archivio) {
        if (!m_db)
            throw ErroreRun(CodiciErrore::ErroreGenerico, QStringLiteral("Pagina senza database"));
        m_archivio = std::make_unique<ArchivioPagina>(*m_db, m_tabella, ColonneChiave());
    }
    return *m_archivio;
}

QString PageEditor::VarDati() const
{
    return m_flagOpe == 0 ? QString() : m_campi.VarDati();
}

int PageEditor::Prima(int evento, const QVariantList& parametri)
{
    return m_eventi.contains(evento) ? m_cliente.PersPagPri(evento, parametri) : 0;
}

void PageEditor::Dopo(int evento, const QVariantList& parametri)
{
    if (m_eventi.contains(evento))
        m_cliente.PersPagDop(evento, parametri);
}

void PageEditor::Avviso(const QString& testo)
{
    m_messaggi.msgCom(testo, {Ok});
}

void PageEditor::Stato(const QString& testo)
{
    if (messaggioStato)
        messaggioStato(testo);
}

bool PageEditor::eventFilter(QObject* oggetto, QEvent* evento)
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

bool PageEditor::Uscito(CampoPagina& campo)
{
    QString messaggio;
    if (m_campi.Valida(campo, messaggio)) {
        if (!m_campi.PrimoErrato())
            Stato(QString());
        return true;
    }
    Stato(messaggio);
    return false;
}

void PageEditor::Comando(const QString& chiave)
{
    if (m_inComando)
        return;
    QPointer<QLineEdit> attivo = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    if (CampoPagina* campo = attivo ? m_campi.DiCasella(attivo) : nullptr)
        Uscito(*campo);
    else
        attivo = nullptr;
    {
        InCorso inCorso(m_inComando);
        try {
            Esegui(chiave);
        } catch (const std::exception& errore) {
            m_messaggi.MsgErrfrm(errore);
        }
    }
    if (!attivo || chiave == QLatin1String("Chiudi"))
        return;
    // The focus goes back to the box once the command's own events are over.
    QTimer::singleShot(0, this, [attivo] {
        if (attivo && attivo->isVisible() && attivo->isEnabled() && attivo->window()->isActiveWindow()
            && (!QApplication::focusWidget() || QApplication::focusWidget() == attivo
                || QApplication::focusWidget()->window() != attivo->window() || !QApplication::focusWidget()->isVisible())) {
            attivo->setFocus();
            SelezionaTesto(attivo);
        }
    });
}

void PageEditor::Esegui(const QString& chiave)
{
    using Verso = ArchivioPagina::Verso;
    if (chiave == QLatin1String("Ricerca")) {
        if (m_flagOpe == 0)
            Cerca();
        else if (ChiediSalvataggio())
            Prepara(0);
    } else if (chiave == QLatin1String("Nuovo")) {
        if (!m_soloLettura && ChiediSalvataggio())
            Prepara(2);
    } else if (chiave == QLatin1String("Salva")) {
        if (!m_soloLettura)
            Salva();
    } else if (chiave == QLatin1String("Cancella")) {
        if (!m_soloLettura)
            Cancella();
    } else if (chiave == QLatin1String("Annulla")) {
        Annulla();
    } else if (chiave == QLatin1String("Duplica")) {
        if (!m_soloLettura)
            Duplica();
    } else if (chiave == QLatin1String("VarKey")) {
        if (!m_soloLettura)
            VariaChiave();
    } else if (chiave == QLatin1String("Lista")) {
        if (!m_lista && apriLista)
            apriLista();
        if (m_lista)
            m_lista->MostraLista();
        AggiornaBarra();
    } else if (chiave == QLatin1String("ListaAvanti") || chiave == QLatin1String("ListaInd")) {
        if (m_lista && m_lista->ListaAperta()) {
            if (chiave == QLatin1String("ListaAvanti"))
                m_lista->ListaAvanti();
            else
                m_lista->ListaIndietro();
        }
    } else if (chiave == QLatin1String("Inizio")) {
        Naviga(Verso::Primo);
    } else if (chiave == QLatin1String("Precedente")) {
        Naviga(Verso::Precedente);
    } else if (chiave == QLatin1String("Successivo")) {
        Naviga(Verso::Successivo);
    } else if (chiave == QLatin1String("Fine")) {
        Naviga(Verso::Ultimo);
    } else if (chiave == QLatin1String("Chiudi")) {
        m_cliente.ChiudiFrm();
    } else if (chiave == QLatin1String("Menu")) {
        m_cliente.MenuFrm();
    }
}

QString PageEditor::WhereRicerca()
{
    QStringList condizioni;
    for (CampoPagina& c : m_campi.Tutti()) {
        if (c.txt->text().trimmed().isEmpty())
            continue;
        const QVariant valore = m_campi.ValoreDaScrivere(c);
        if (valore.isNull())
            continue;  // a number that is not one: no condition
        condizioni << c.colonna + QLatin1Char(' ') + c.attributi.operatore + QLatin1Char(' ')
                          + FormUtility::SqlLiteral(valore, c.attributi.tipo);
    }
    return condizioni.join(QStringLiteral(" and "));
}

void PageEditor::Cerca()
{
    if (auto riga = Archivio().Cerca(WhereRicerca())) {
        MostraRiga(*riga);
        return;
    }
    bool chiaveCompleta = true;
    for (CampoPagina* c : m_campi.Chiave())
        chiaveCompleta = chiaveCompleta && !c->txt->text().trimmed().isEmpty();
    if (!chiaveCompleta || m_soloLettura) {
        Avviso(QStringLiteral("Nessun dato trovato"));
        return;
    }
    // A key that is not there yet: a new row with it.
    Prepara(2);
    Stato(QStringLiteral("Nuovo dato: completare e salvare"));
}

void PageEditor::Prepara(int modo)
{
    Prima(EventiPagina::Preparato, {modo});
    if (modo == 0)
        m_campi.Svuota();
    else
        m_campi.ApplicaPredefiniti();
    m_chiaveCorrente.clear();
    m_chiaveAperta = false;
    ImpostaStato(modo);
    m_campi.Fotografa();
    Dopo(EventiPagina::Preparato, {modo});
}

void PageEditor::MostraRiga(const QVariantMap& riga)
{
    m_campi.Mostra(riga);
    m_chiaveCorrente = m_campi.ValoriChiave();
    m_chiaveAperta = false;
    ImpostaStato(1);
    m_campi.Fotografa();
    Stato(QString());
    Dopo(EventiPagina::Mostrato, {1});
}

void PageEditor::ImpostaStato(int stato)
{
    m_flagOpe = stato;
    // Fields take typing for a search, a new row, or a change when allowed;
    // the key of a shown row only after "VarKey".
    for (CampoPagina& c : m_campi.Tutti()) {
        const bool chiave = c.attributi.chiave > 0;
        const bool scrivibile = stato == 0 || (!m_soloLettura && (stato == 2 || !chiave || m_chiaveAperta));
        c.txt->setReadOnly(!scrivibile);
        m_campi.Colora(c, c.errato);
    }
    if (m_etichetta)
        m_etichetta->setText(stato == 0 ? QStringLiteral("Ricerca") : stato == 1 ? QStringLiteral("Variazione")
                                                                              : QStringLiteral("Inserimento"));
    AggiornaBarra();
    Dopo(EventiPagina::Stato, {stato});
    Dopo(EventiPagina::ChiaveBloccata, {m_chiaveAperta ? 1 : 0});
}

void PageEditor::AggiornaBarra()
{
    if (!m_barra)
        return;
    const bool riga = m_flagOpe == 1;
    m_barra->Abilita(QStringLiteral("Salva"), m_flagOpe != 0);
    m_barra->Abilita(QStringLiteral("Cancella"), riga);
    m_barra->Abilita(QStringLiteral("Duplica"), riga);
    m_barra->Abilita(QStringLiteral("VarKey"), riga && !m_chiaveAperta);
    m_barra->Abilita(QStringLiteral("Nuovo"), true);
    const bool listaAperta = m_lista && m_lista->ListaAperta();
    m_barra->Abilita(QStringLiteral("ListaInd"), listaAperta);
    m_barra->Abilita(QStringLiteral("ListaAvanti"), listaAperta);
}

bool PageEditor::ChiediSalvataggio()
{
    if (VarDati().isEmpty() || m_soloLettura)
        return true;
    switch (m_messaggi.msgCom(QStringLiteral("Dati variati (") + VarDati() + QStringLiteral(").\nSalvare le modifiche?"),
                              {Si, No, Rinuncia})) {
    case 1: return Salva();
    case 2: return true;
    default: return false;
    }
}

bool PageEditor::ControllaPerSalvare()
{
    auto rifiuta = [this](CampoPagina& campo, const QString& testo) {
        m_campi.Colora(campo, true);
        Avviso(testo);
        campo.txt->setFocus();
        return false;
    };
    if (CampoPagina* errato = m_campi.PrimoErrato())
        return rifiuta(*errato, QStringLiteral("Valore non valido nel campo '") + errato->nome + QLatin1Char('\''));
    for (CampoPagina* c : m_campi.Chiave())
        if (c->txt->text().trimmed().isEmpty())
            return rifiuta(*c, QStringLiteral("Il campo chiave '") + c->nome + QStringLiteral("' è obbligatorio"));
    if (CampoPagina* vuoto = m_campi.ObbligatorioVuoto())
        return rifiuta(*vuoto, QStringLiteral("Il campo '") + vuoto->nome + QStringLiteral("' è obbligatorio"));
    return true;
}

QVariantMap PageEditor::ValoriDaScrivere()
{
    QVariantMap valori;
    for (const CampoPagina& c : m_campi.Tutti())
        valori.insert(c.colonna, m_campi.ValoreDaScrivere(c));
    return valori;
}

bool PageEditor::Salva()
{
    if (m_flagOpe == 0)
        return true;
    if (m_flagOpe == 2)
        m_campi.ApplicaPredefiniti();
    if (!ControllaPerSalvare())
        return false;
    const QStringList nuova = m_campi.ValoriChiave();
    const bool chiaveNuova = m_flagOpe == 2 || nuova != m_chiaveCorrente;
    if (chiaveNuova && Archivio().Leggi(nuova)) {
        Avviso(QStringLiteral("Esiste già un dato con questa chiave"));
        return false;
    }
    {
        TransazioneUnica transazione(*m_db);
        if (m_flagOpe == 1 && chiaveNuova
            && Prima(EventiPagina::ChiaveCambiata, {QVariant(m_chiaveCorrente), QVariant(nuova)}) != 0)
            return false;
        Archivio().Scrivi(m_flagOpe == 2 ? QStringList() : m_chiaveCorrente, ValoriDaScrivere());
        transazione.Conferma();
    }
    if (auto riga = Archivio().Leggi(nuova))
        MostraRiga(*riga);
    Stato(QStringLiteral("Dati salvati"));
    return true;
}

void PageEditor::Cancella()
{
    if (m_flagOpe != 1)
        return;
    if (m_messaggi.msgCom(QStringLiteral("Confermi la cancellazione del dato ") + m_chiaveCorrente.join(QStringLiteral(" / "))
                              + QLatin1Char('?'),
                          {Si, No})
        != 1)
        return;
    int esito = 0;
    try {
        TransazioneUnica transazione(*m_db);
        if (Prima(EventiPagina::Cancellazione, {1}) == 0) {
            Archivio().Cancella(m_chiaveCorrente);
            transazione.Conferma();
            esito = 1;
        }
    } catch (...) {
        Dopo(EventiPagina::Cancellazione, {1, 0});
        throw;
    }
    Dopo(EventiPagina::Cancellazione, {1, esito});
    if (esito == 1) {
        Prepara(0);
        Stato(QStringLiteral("Dato cancellato"));
    }
}

void PageEditor::Annulla()
{
    if (m_flagOpe == 1 && !m_chiaveCorrente.isEmpty()) {
        if (auto riga = Archivio().Leggi(m_chiaveCorrente)) {
            MostraRiga(*riga);
            return;
        }
    }
    Prepara(0);
}

void PageEditor::Duplica()
{
    if (m_flagOpe != 1 || !ChiediSalvataggio() || !m_domande)
        return;
    const QStringList origine = m_chiaveCorrente;
    QStringList nuova;
    for (CampoPagina* c : m_campi.Chiave()) {
        const auto risposta = m_domande->Chiedi(QStringLiteral("Nuovo valore di '") + c->nome + QStringLiteral("':"),
                                                QStringLiteral("Duplica"), QString());
        if (!risposta || risposta->trimmed().isEmpty()) {
            Dopo(EventiPagina::Duplicazione, {3});
            return;
        }
        nuova << risposta->trimmed();
    }
    if (Archivio().Leggi(nuova)) {
        Avviso(QStringLiteral("Esiste già un dato con questa chiave"));
        return;
    }
    try {
        TransazioneUnica transazione(*m_db);
        if (Prima(EventiPagina::Duplicazione, {1}) != 0)
            return;
        QVariantMap chiave;
        const QList<CampoPagina*> campiChiave = m_campi.Chiave();
        for (int i = 0; i < campiChiave.size(); ++i) {
            chiave.insert(campiChiave[i]->colonna, nuova[i]);
            campiChiave[i]->txt->setText(nuova[i]);
        }
        CopiaRighe(*m_db, QStringLiteral("Select * from ") + m_tabella + QStringLiteral(" where ") + Archivio().WhereChiave(origine),
                   chiave);
        Dopo(EventiPagina::Duplicazione, {1});
        transazione.Conferma();
    } catch (...) {
        if (auto riga = Archivio().Leggi(origine))
            MostraRiga(*riga);
        throw;
    }
    if (auto riga = Archivio().Leggi(nuova))
        MostraRiga(*riga);
    Stato(QStringLiteral("Dato duplicato"));
}

void PageEditor::VariaChiave()
{
    if (m_flagOpe != 1)
        return;
    m_chiaveAperta = true;
    ImpostaStato(1);
    if (const QList<CampoPagina*> chiave = m_campi.Chiave(); !chiave.isEmpty())
        chiave.first()->txt->setFocus();
}

void PageEditor::Naviga(ArchivioPagina::Verso verso)
{
    if (!ChiediSalvataggio())
        return;
    const QStringList da = m_flagOpe == 1 ? m_chiaveCorrente : QStringList();
    if (auto riga = Archivio().Vicino(verso, da))
        MostraRiga(*riga);
    else
        Stato(verso == ArchivioPagina::Verso::Precedente ? QStringLiteral("Inizio archivio") : QStringLiteral("Fine archivio"));
}

bool PageEditor::PuoChiudere()
{
    return ChiediSalvataggio();
}

bool PageEditor::Posiziona(const QStringList& chiave)
{
    if (!ChiediSalvataggio())
        return false;
    auto riga = Archivio().Leggi(chiave);
    if (!riga) {
        Avviso(QStringLiteral("Il dato scelto non esiste più"));
        return false;
    }
    MostraRiga(*riga);
    return true;
}

#include "LinePageEditor.h"

#include "BarraComandi.h"
#include "DatabaseLink.h"
#include "ErroreRun.h"
#include "FinestraMessaggi.h"
#include "Recordset.h"
#include "Tastiera.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTimer>

namespace {
const QString Ok = QStringLiteral("&Ok");

struct InCorso {
    bool& flag;
    explicit InCorso(bool& f) : flag(f) { flag = true; }
    ~InCorso() { flag = false; }
};

bool StessaChiave(const QStringList& a, const QStringList& b)
{
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i)
        if (a[i].compare(b[i], Qt::CaseInsensitive) != 0)
            return false;
    return true;
}

constexpr int RighePagina = 10;  // rows moved by PageUp / PageDown
}  // namespace

LinePageEditor::LinePageEditor(QWidget& schermo, ClientePagina& cliente, QTableView& griglia, DatabaseLink& db,
                               FinestraMessaggi& messaggi)
    : QObject(&schermo), m_schermo(schermo), m_cliente(cliente), m_griglia(griglia), m_db(db), m_messaggi(messaggi),
      m_browser(new ListBrowser(griglia, db, messaggi, this))
{
    connect(m_browser, &ListBrowser::RigaCambiata, this, [this](int riga) { RigaScelta(riga - 1); });
}

LinePageEditor::~LinePageEditor() = default;

void LinePageEditor::ImpostaBarra(BarraComandi* barra)
{
    m_barra = barra;
    m_browser->ImpostaBarra(barra);
    connect(barra, &BarraComandi::Comando, this, &LinePageEditor::EseguiComando);
}

void LinePageEditor::SolaLettura()
{
    m_soloLettura = true;
    if (m_barra)
        m_barra->Blocca(ComandiScrittura(), QStringLiteral("non disponibile: maschera aperta in sola lettura"));
    ImpostaStato(m_flagOpe);
}

ArchivioPagina& LinePageEditor::Archivio()
{
    if (!m_archivio) {
        QList<ColonnaChiave> chiave;
        for (CampoPagina* c : m_campi.Chiave())
            chiave << ColonnaChiave{c->colonna, c->attributi.tipo};
        m_archivio = std::make_unique<ArchivioPagina>(m_db, m_tabella, chiave);
    }
    return *m_archivio;
}

void LinePageEditor::Avvia()
{
    for (CampoPagina& c : m_campi.Tutti())
        c.txt->installEventFilter(this);
    InstallaTastiPagina(m_schermo, *this);
}

void LinePageEditor::SettaRecordset(const QString& sql)
{
    m_spostando = true;
    m_browser->SettaRecordset(sql);
    m_spostando = false;
    MostraCorrente();
}

bool LinePageEditor::GrigliaAttiva(const QWidget* attivo) const
{
    return attivo == &m_griglia;
}

void LinePageEditor::Avviso(const QString& testo)
{
    m_messaggi.msgCom(testo, {Ok});
}

void LinePageEditor::Stato(const QString& testo)
{
    if (messaggioStato)
        messaggioStato(testo);
}

bool LinePageEditor::eventFilter(QObject* oggetto, QEvent* evento)
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

bool LinePageEditor::Uscito(CampoPagina& campo)
{
    QString messaggio;
    if (!m_campi.Valida(campo, messaggio)) {
        Stato(messaggio);
        return false;
    }
    if (controlloCampo && !campo.txt->isReadOnly()) {
        messaggio = controlloCampo(campo.indice);
        if (!messaggio.isEmpty()) {
            m_campi.Colora(campo, true);
            Avviso(messaggio);
            return false;
        }
    }
    if (!m_campi.PrimoErrato())
        Stato(QString());
    return true;
}

bool LinePageEditor::ValidaCampo(int indice)
{
    CampoPagina* campo = m_campi.DiIndice(indice);
    return !campo || Uscito(*campo);
}

void LinePageEditor::Comando(const QString& chiave)
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
    QTimer::singleShot(0, this, [attivo] {
        if (attivo && attivo->isVisible() && attivo->isEnabled() && attivo->window()->isActiveWindow()
            && (!QApplication::focusWidget() || QApplication::focusWidget()->window() != attivo->window())) {
            attivo->setFocus();
            SelezionaTesto(attivo);
        }
    });
}

void LinePageEditor::Esegui(const QString& chiave)
{
    const int riga = m_browser->Riga() - 1;
    const int ultima = m_browser->Conteggio() - 1;
    if (chiave == QLatin1String("Nuovo")) {
        Nuova();
    } else if (chiave == QLatin1String("Salva")) {
        Salva();
    } else if (chiave == QLatin1String("Cancella")) {
        Cancella();
    } else if (chiave == QLatin1String("Annulla")) {
        MostraCorrente();
    } else if (chiave == QLatin1String("Inizio")) {
        VaiA(0);
    } else if (chiave == QLatin1String("Fine")) {
        VaiA(ultima);
    } else if (chiave == QLatin1String("Precedente")) {
        VaiA(std::max(riga - 1, 0));
    } else if (chiave == QLatin1String("Successiva") || chiave == QLatin1String("Successivo")) {
        VaiA(std::min(riga + 1, ultima));
    } else if (chiave == QLatin1String("PageUp")) {
        VaiA(std::max(riga - RighePagina, 0));
    } else if (chiave == QLatin1String("PageDown")) {
        VaiA(std::min(riga + RighePagina, ultima));
    } else if (chiave == QLatin1String("Aggiorna")) {
        if (ChiediSalvataggio())
            Riapri(m_chiaveCorrente);
    } else if (chiave == QLatin1String("VarKey")) {
        for (CampoPagina* c : m_campi.Chiave())
            if (!m_fissi.contains(c->indice) && !c->txt->isReadOnly()) {
                c->txt->setFocus();
                break;
            }
    } else if (chiave == QLatin1String("Punta") || chiave == QLatin1String("VaiA") || chiave == QLatin1String("Posiz")
               || chiave == QLatin1String("Trova")) {
        if (chiave == QLatin1String("Punta") || ChiediSalvataggio())
            m_browser->Comando(chiave);
        MostraCorrente();
    } else if (chiave == QLatin1String("Chiudi")) {
        m_cliente.ChiudiFrm();
    } else if (chiave == QLatin1String("Menu")) {
        m_cliente.MenuFrm();
    }
}

void LinePageEditor::RigaScelta(int riga)
{
    if (m_spostando || (riga == m_riga && m_flagOpe == 1))
        return;
    if (!ChiediSalvataggio()) {
        // Stay on the row being edited.
        m_spostando = true;
        m_browser->VaiARiga(m_riga);
        m_spostando = false;
        return;
    }
    Sposta(riga);
}

void LinePageEditor::VaiA(int riga)
{
    if (ChiediSalvataggio())
        Sposta(riga);
}

void LinePageEditor::Sposta(int riga)
{
    m_spostando = true;
    m_browser->VaiARiga(riga);
    m_spostando = false;
    MostraCorrente();
}

void LinePageEditor::MostraCorrente()
{
    m_riga = m_browser->Riga() - 1;
    const Recordset* dati = m_browser->Modello().Dati();
    const int rigaDati = m_browser->Modello().RigaDati(m_riga);
    if (!dati || rigaDati < 0) {
        for (CampoPagina& c : m_campi.Tutti())
            if (!m_fissi.contains(c.indice)) {
                c.txt->clear();
                m_campi.Colora(c, false);
            }
        m_chiaveCorrente.clear();
        ImpostaStato(0);
        m_campi.Fotografa();
        return;
    }
    QVariantMap valori;
    for (const CampoPagina& c : m_campi.Tutti())
        valori.insert(c.colonna, dati->Valore(rigaDati, dati->IndiceColonna(c.colonna)));
    m_campi.Mostra(valori);
    m_chiaveCorrente = m_campi.ValoriChiave();
    ImpostaStato(1);
    m_campi.Fotografa();
    Stato(QString());
    if (m_eventi.contains(EventiPagina::RigaMostrata))
        m_cliente.PersPagDop(EventiPagina::RigaMostrata, {1});
}

void LinePageEditor::Nuova()
{
    if (m_soloLettura || !ChiediSalvataggio())
        return;
    if (m_eventi.contains(EventiPagina::RigaNuova))
        m_cliente.PersPagPri(EventiPagina::RigaNuova, {2});
    for (CampoPagina& c : m_campi.Tutti())
        if (!m_fissi.contains(c.indice)) {
            c.txt->clear();
            m_campi.Colora(c, false);
        }
    m_campi.ApplicaPredefiniti();
    m_chiaveCorrente.clear();
    ImpostaStato(2);
    m_campi.Fotografa();
    if (m_eventi.contains(EventiPagina::RigaNuova))
        m_cliente.PersPagDop(EventiPagina::RigaNuova, {2});
}

void LinePageEditor::ImpostaStato(int stato)
{
    m_flagOpe = stato;
    for (CampoPagina& c : m_campi.Tutti()) {
        c.txt->setReadOnly(m_soloLettura || stato == 0 || m_fissi.contains(c.indice));
        m_campi.Colora(c, c.errato);
    }
    if (m_etichetta)
        m_etichetta->setText(stato == 1 ? QStringLiteral("Variazione") : stato == 2 ? QStringLiteral("Inserimento") : QString());
    if (m_barra) {
        m_barra->Abilita(QStringLiteral("Salva"), stato != 0);
        m_barra->Abilita(QStringLiteral("Annulla"), stato != 0);
        m_barra->Abilita(QStringLiteral("Cancella"), stato == 1);
        m_barra->Abilita(QStringLiteral("VarKey"), stato == 1);
    }
}

bool LinePageEditor::ChiediSalvataggio()
{
    if (VarDati().isEmpty() || m_soloLettura)
        return true;
    switch (m_messaggi.msgCom(QStringLiteral("Dati variati (") + VarDati() + QStringLiteral(").\nSalvare le modifiche?"),
                              {QStringLiteral("&Si"), QStringLiteral("&No"), QStringLiteral("&Annulla")})) {
    case 1: return Salva();
    case 2: return true;
    default: return false;
    }
}

bool LinePageEditor::ControllaPerSalvare()
{
    auto rifiuta = [this](CampoPagina& campo, const QString& testo) {
        m_campi.Colora(campo, true);
        Avviso(testo);
        if (!campo.txt->isReadOnly())
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

bool LinePageEditor::Salva()
{
    if (m_flagOpe == 0 || m_soloLettura)
        return true;
    if (m_flagOpe == 2)
        m_campi.ApplicaPredefiniti();
    if (!ControllaPerSalvare())
        return false;
    const QStringList nuova = m_campi.ValoriChiave();
    if ((m_flagOpe == 2 || !StessaChiave(nuova, m_chiaveCorrente)) && Archivio().Leggi(nuova)) {
        Avviso(QStringLiteral("Esiste già un dato con questa chiave"));
        return false;
    }
    QVariantMap valori;
    for (const CampoPagina& c : m_campi.Tutti())
        valori.insert(c.colonna, m_campi.ValoreDaScrivere(c));
    {
        TransazioneUnica transazione(m_db);
        Archivio().Scrivi(m_flagOpe == 2 ? QStringList() : m_chiaveCorrente, valori);
        transazione.Conferma();
    }
    Riapri(nuova);
    Stato(QStringLiteral("Dati salvati"));
    return true;
}

void LinePageEditor::Cancella()
{
    if (m_flagOpe != 1 || m_soloLettura)
        return;
    if (m_messaggi.msgCom(QStringLiteral("Confermi la cancellazione del dato ") + m_chiaveCorrente.join(QStringLiteral(" / "))
                              + QLatin1Char('?'),
                          {QStringLiteral("&Si"), QStringLiteral("&No")})
        != 1)
        return;
    {
        TransazioneUnica transazione(m_db);
        Archivio().Cancella(m_chiaveCorrente);
        transazione.Conferma();
    }
    const int riga = m_riga;
    m_spostando = true;
    m_browser->SettaRecordset(m_browser->Sql());
    m_browser->VaiARiga(std::min(riga, m_browser->Conteggio() - 1));
    m_spostando = false;
    MostraCorrente();
    Stato(QStringLiteral("Dato cancellato"));
}

QStringList LinePageEditor::ChiaveRiga(int riga) const
{
    QStringList chiave;
    for (CampoPagina* c : const_cast<CampiPagina&>(m_campi).Chiave())
        chiave << m_browser->Modello().Valore(riga, c->colonna);
    return chiave;
}

void LinePageEditor::Riapri(const QStringList& chiave)
{
    m_spostando = true;
    m_browser->SettaRecordset(m_browser->Sql());
    int trovata = 0;
    for (int r = 0; r < m_browser->Conteggio(); ++r)
        if (StessaChiave(ChiaveRiga(r), chiave))
            trovata = r;
    m_browser->VaiARiga(trovata);
    m_spostando = false;
    MostraCorrente();
}

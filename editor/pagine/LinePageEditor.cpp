#include "LinePageEditor.h"

#include "ArchivioPagina.h"
#include "BarraComandi.h"
#include "DatabaseLink.h"
#include "ErroreRun.h"
#include "FinestraMessaggi.h"
#include "ListBrowser.h"
#include "Recordset.h"
#include "RecordsetManager.h"
#include "RichiestaTesto.h"
#include "RigaLetta.h"

#include <QLineEdit>
#include <QTableView>

LinePageEditor::LinePageEditor(QWidget& schermo, ClienteRighe& cliente, FinestraMessaggi& messaggi, DatabaseLink& db)
    : PaginaBase(schermo, cliente, messaggi), m_righe(cliente), m_db(db)
{
    ricercaDopoSalva = false;
}

LinePageEditor::~LinePageEditor() = default;

void LinePageEditor::ImpostaGriglia(QTableView& griglia, QLineEdit* txtRiga)
{
    m_griglia = &griglia;
    m_browser = new ListBrowser(griglia, m_db, m_messaggi, this);
    m_browser->ImpostaContatore(txtRiga);
    connect(m_browser, &ListBrowser::RigaCambiata, this, [this](int riga) { RigaScelta(riga - 1); });
}

const AttributiCampo* LinePageEditor::Attributi(int indice)
{
    const CampoPagina* campo = m_campi.DiIndice(indice);
    return campo ? &campo->attributi : nullptr;
}

bool LinePageEditor::GrigliaAttiva(const QWidget* attivo) const
{
    return attivo && m_griglia && (attivo == m_griglia || attivo == m_griglia->viewport());
}

void LinePageEditor::Avvia()
{
    AvviaBase();
    if (m_barra)
        m_browser->ImpostaBarra(m_barra);
    Riapri();
}

void LinePageEditor::Riapri()
{
    const int riga = std::max(m_rigaMostrata, 0);
    m_spostando = true;
    m_browser->SettaRecordset(m_righe.PrepSql());
    m_righe.PersColonne();
    m_spostando = false;
    MostraRiga(std::min(riga, m_browser->Conteggio() - 1));
}

void LinePageEditor::MostraRiga(int riga)
{
    m_chiaveAperta = false;
    if (riga < 0) {
        // No rows: the panel is empty, ready for a new one.
        m_rigaMostrata = -1;
        for (CampoPagina& c : m_campi.Tutti())
            if (!m_fissi.contains(c.indice))
                c.txt->clear();
        ImpostaStato(0);
        m_campi.Fotografa();
        return;
    }
    m_spostando = true;
    m_browser->VaiARiga(riga);
    m_spostando = false;
    m_rigaMostrata = riga;
    m_campi.Mostra(m_browser->Modello().ValoriRiga(riga));
    ImpostaStato(1);
    m_campi.Fotografa();
    Dopo(EventiPagina::RigaMostrata, {1});
}

void LinePageEditor::RigaScelta(int riga)
{
    if (m_spostando || m_inComando || riga == m_rigaMostrata || riga < 0)
        return;
    Sposta(riga);
}

void LinePageEditor::Sposta(int riga)
{
    if (riga < 0 || riga >= m_browser->Conteggio())
        return;
    if (!ChiediSalvataggio()) {
        m_spostando = true;
        m_browser->VaiARiga(m_rigaMostrata);  // stay on the row being changed
        m_spostando = false;
        return;
    }
    MostraRiga(riga);
}

void LinePageEditor::StatoCambiato()
{
    for (CampoPagina& c : m_campi.Tutti()) {
        const bool chiave = c.attributi.chiave > 0;
        const bool scrivibile = !m_soloLettura && !m_fissi.contains(c.indice) && m_flagOpe != 0
            && (m_flagOpe == 2 || !chiave || m_chiaveAperta);
        c.txt->setReadOnly(!scrivibile);
        m_campi.Colora(c, c.errato);
    }
    if (!m_barra)
        return;
    m_barra->Abilita(QStringLiteral("Salva"), m_flagOpe != 0);
    m_barra->Abilita(QStringLiteral("Cancella"), m_flagOpe == 1);
    m_barra->Abilita(QStringLiteral("VarKey"), m_flagOpe == 1 && !m_chiaveAperta);
    m_barra->Abilita(QStringLiteral("Duplica"), m_flagOpe == 1);
    m_barra->Abilita(QStringLiteral("Nuovo"), true);
}

void LinePageEditor::Esegui(const QString& chiave)
{
    const int riga = m_rigaMostrata;
    const int pagina =
        m_griglia ? std::max(m_griglia->viewport()->height() / std::max(m_griglia->rowHeight(0), 1), 1) : 10;
    if (chiave == QLatin1String("Nuovo")) {
        if (!m_soloLettura && ChiediSalvataggio())
            Nuovo(false);
    } else if (chiave == QLatin1String("Duplica")) {
        if (!m_soloLettura && m_flagOpe == 1 && ChiediSalvataggio())
            Duplica();
    } else if (chiave == QLatin1String("Salva")) {
        if (!m_soloLettura)
            Salva();
    } else if (chiave == QLatin1String("Cancella")) {
        if (!m_soloLettura)
            Cancella();
    } else if (chiave == QLatin1String("Annulla")) {
        MostraRiga(std::min(std::max(riga, 0), m_browser->Conteggio() - 1));
    } else if (chiave == QLatin1String("VarKey")) {
        if (!m_soloLettura && m_flagOpe == 1) {
            m_chiaveAperta = true;
            ImpostaStato(1);
        }
    } else if (chiave == QLatin1String("Inizio")) {
        Sposta(0);
    } else if (chiave == QLatin1String("Fine")) {
        Sposta(m_browser->Conteggio() - 1);
    } else if (chiave == QLatin1String("Precedente")) {
        Sposta(riga - 1);
    } else if (chiave == QLatin1String("Successiva") || chiave == QLatin1String("Successivo")) {
        Sposta(riga + 1);
    } else if (chiave == QLatin1String("PageUp")) {
        Sposta(std::max(riga - pagina, 0));
    } else if (chiave == QLatin1String("PageDown")) {
        Sposta(std::min(riga + pagina, m_browser->Conteggio() - 1));
    } else if (chiave == QLatin1String("Aggiorna")) {
        if (ChiediSalvataggio())
            Riapri();
    } else if (chiave == QLatin1String("VaiA") || chiave == QLatin1String("Posiz")) {
        if (ChiediSalvataggio()) {
            m_browser->Comando(chiave);
            MostraRiga(m_browser->Riga() - 1);
        }
    } else if (chiave == QLatin1String("Chiudi")) {
        m_cliente.ChiudiFrm();
    } else if (chiave == QLatin1String("Menu")) {
        m_cliente.MenuFrm();
    } else {
        m_browser->Comando(chiave);  // Punta, Trova, Cerca, Stampa
    }
}

void LinePageEditor::Nuovo(bool mantieniValori, const QMap<int, QString>& chiave)
{
    const int modo = mantieniValori ? 1 : 0;
    Prima(EventiPagina::RigaNuova, {modo});
    for (CampoPagina& c : m_campi.Tutti())
        if (!m_fissi.contains(c.indice) && !mantieniValori)
            c.txt->clear();
    for (auto it = chiave.cbegin(); it != chiave.cend(); ++it)
        if (CampoPagina* c = m_campi.DiIndice(it.key()))
            c->txt->setText(it.value());
    m_campi.ApplicaPredefiniti();
    m_chiaveAperta = false;
    ImpostaStato(2);
    m_campi.Fotografa();
    Dopo(EventiPagina::RigaNuova, {modo});
    for (CampoPagina& c : m_campi.Tutti())
        if (!c.txt->isReadOnly()) {
            c.txt->setFocus();
            break;
        }
}

// The row shown copied under a key asked for each key field the user
// types (the fixed ones stay); nothing when a question is cancelled. A copy
// the save refuses stays on the panel to be put right.
void LinePageEditor::Duplica()
{
    if (!m_domande) {
        Nuovo(true);
        return;
    }
    QMap<int, QString> chiave;
    for (CampoPagina* c : m_campi.Chiave()) {
        if (m_fissi.contains(c->indice))
            continue;
        const auto risposta = m_domande->Chiedi(QStringLiteral("Nuovo valore di '") + c->nome + QStringLiteral("':"),
                                                QStringLiteral("Duplica"), c->txt->text());
        if (!risposta || risposta->trimmed().isEmpty())
            return;
        chiave.insert(c->indice, risposta->trimmed());
    }
    Nuovo(true, chiave);
    Salva();
}

int LinePageEditor::RigaConChiave(const QStringList& chiave)
{
    const QList<CampoPagina*> campi = m_campi.Chiave();
    for (int r = 0; r < m_browser->Conteggio(); ++r) {
        bool uguale = true;
        for (int k = 0; k < campi.size() && uguale; ++k)
            uguale =
                m_browser->Modello().Valore(r, campi[k]->colonna).compare(chiave.value(k), Qt::CaseInsensitive) == 0;
        if (uguale)
            return r;
    }
    return -1;
}

QString LinePageEditor::RigaDaScrivere(RecordsetManager& rs)
{
    const QString nome = rs.Apri(m_browser->Sql());
    Recordset& fresco = rs.Oggetto(nome);
    fresco.Posiziona(RitrovaRiga(*m_browser->Modello().Dati(), m_browser->Modello().RigaDati(m_rigaMostrata), fresco));
    return nome;
}

bool LinePageEditor::Salva()
{
    if (m_flagOpe == 0)
        return true;
    if (m_flagOpe == 2)
        m_campi.ApplicaPredefiniti();
    if (!ControllaPerSalvare())
        return false;
    const QStringList chiave = m_campi.ValoriChiave();
    const int stessa = RigaConChiave(chiave);
    if (stessa >= 0 && (m_flagOpe == 2 || stessa != m_rigaMostrata)) {
        Avviso(QStringLiteral("Esiste già una riga con questa chiave"));
        return false;
    }
    const QVariantMap valori = ValoriDaScrivere();
    try {
        TransazioneUnica transazione(m_db);
        RecordsetManager rs(m_db);
        QString nome;
        if (m_flagOpe == 2) {
            nome = rs.Apri(QStringLiteral("Select * from ") + m_tabella + QStringLiteral(" where 1 = 0"));
            rs.AggiungiNuovo(nome);
        } else {
            nome = RigaDaScrivere(rs);
            rs.Modifica(nome);
        }
        for (auto it = valori.cbegin(); it != valori.cend(); ++it)
            rs.Imposta(nome, it.key(), it.value());
        rs.Aggiorna(nome);
        transazione.Conferma();
    } catch (const ErroreRun& errore) {
        if (errore.numero() != CodiciErrore::DatoVariato)
            throw;
        Avviso(errore.descrizione());
        return false;
    }
    m_spostando = true;
    m_browser->DatRefresh();
    m_righe.PersColonne();
    m_spostando = false;
    MostraRiga(RigaConChiave(chiave));
    Stato(QStringLiteral("Riga salvata"));
    if (righeScritte)
        righeScritte();
    return true;
}

void LinePageEditor::Cancella()
{
    if (m_flagOpe != 1)
        return;
    if (m_messaggi.msgCom(QStringLiteral("Confermi la cancellazione della riga?"),
                          {QStringLiteral("&Si"), QStringLiteral("&No")})
        != 1)
        return;
    try {
        TransazioneUnica transazione(m_db);
        RecordsetManager rs(m_db);
        rs.Oggetto(RigaDaScrivere(rs)).Elimina();
        transazione.Conferma();
    } catch (const ErroreRun& errore) {
        if (errore.numero() != CodiciErrore::DatoVariato)
            throw;
        Avviso(errore.descrizione());
        return;
    }
    Riapri();
    Stato(QStringLiteral("Riga cancellata"));
    if (righeScritte)
        righeScritte();
}

bool LinePageEditor::MostraChiave(const QStringList& chiave)
{
    const int riga = RigaConChiave(chiave);
    if (riga < 0 || !ChiediSalvataggio())
        return false;
    MostraRiga(RigaConChiave(chiave));
    return true;
}

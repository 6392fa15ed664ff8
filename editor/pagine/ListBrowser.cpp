#include "ListBrowser.h"

#include "ArchivioPagina.h"
#include "BarraComandi.h"
#include "ColonneGriglia.h"
#include "DatabaseLink.h"
#include "FinestraMessaggi.h"
#include "GestioneMaschere.h"
#include "Recordset.h"
#include "RecordsetManager.h"
#include "RigaLetta.h"
#include "StampaLista.h"

#include <QComboBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTableView>

namespace {
const QString Ok = QStringLiteral("&Ok");
}

QList<ColonnaLista> ConDidascalie(QList<ColonnaLista> colonne, const QHash<QString, QString>& didascalie)
{
    for (ColonnaLista& colonna : colonne)
        for (auto it = didascalie.cbegin(); it != didascalie.cend() && colonna.didascalia.isEmpty(); ++it)
            if (it.key().compare(colonna.campo, Qt::CaseInsensitive) == 0)
                colonna.didascalia = it.value();
    return colonne;
}

ListBrowser::ListBrowser(QTableView& griglia, DatabaseLink& db, FinestraMessaggi& messaggi, QObject* parent)
    : QObject(parent), m_griglia(griglia), m_db(db), m_messaggi(messaggi), m_rs(std::make_unique<RecordsetManager>(db))
{
    m_modello = new ModelloLista(this);
    m_griglia.setModel(m_modello);
    m_griglia.setSelectionBehavior(QAbstractItemView::SelectRows);
    m_griglia.setSelectionMode(QAbstractItemView::SingleSelection);
    m_griglia.setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_griglia.setAlternatingRowColors(true);
    m_griglia.setTabKeyNavigation(false);  // Tab leaves a grid that is not typed in
    m_griglia.verticalHeader()->setDefaultSectionSize(m_griglia.fontMetrics().height() + 8);
    connect(m_griglia.selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] { AggiornaContatore(); });
    connect(m_modello, &QAbstractItemModel::modelReset, this, [this] { AggiornaContatore(); });
    ColonneGriglia::Ricorda(m_griglia);
}

ListBrowser::~ListBrowser()
{
    // The grid may already be gone (a sibling destroyed first): emptying the
    // model must not reach it.
    m_modello->disconnect(this);
    m_modello->Imposta(nullptr);
}

void ListBrowser::ImpostaRicerca(QLineEdit* testo, QComboBox* colonna, std::function<DirezioneRicerca()> direzione)
{
    m_cercaTesto = testo;
    m_cercaColonna = colonna;
    m_direzione = std::move(direzione);
}

void ListBrowser::SettaRecordset(const QString& sql)
{
    m_sql = sql;
    Riapri(0);
}

void ListBrowser::Riapri(int riga)
{
    m_modello->Imposta(nullptr);
    if (m_nomeRs.isEmpty())
        m_nomeRs = m_rs->Apri(m_sql);
    else
        m_rs->Riapri(m_nomeRs, m_sql);
    m_modello->Imposta(&m_rs->Oggetto(m_nomeRs));
    m_segnalibro = -1;
    if (m_barra)
        for (const QString& chiave : {QStringLiteral("VaiA"), QStringLiteral("Posiz")})
            m_barra->Abilita(chiave, false);
    PersColonne(m_colonne);
    if (m_cercaColonna && m_cercaColonna->count() == 0)
        for (int c = 0; c < m_modello->columnCount(); ++c)
            if (!m_griglia.isColumnHidden(c))
                m_cercaColonna->addItem(m_modello->headerData(c, Qt::Horizontal).toString(), c);
    VaiARiga(std::min(riga, Conteggio() - 1));
}

void ListBrowser::DatRefresh()
{
    if (!m_sql.isEmpty())
        Riapri(std::max(Riga() - 1, 0));
}

int ListBrowser::Riga() const
{
    const QModelIndex corrente = m_griglia.currentIndex();
    return corrente.isValid() ? corrente.row() + 1 : 0;
}

int ListBrowser::Conteggio() const { return m_modello->rowCount(); }

void ListBrowser::VaiARiga(int riga)
{
    if (riga < 0 || riga >= Conteggio()) {
        AggiornaContatore();
        return;
    }
    int colonna = std::max(m_griglia.currentIndex().column(), 0);
    while (colonna < m_modello->columnCount() - 1 && m_griglia.isColumnHidden(colonna))
        ++colonna;
    const QModelIndex indice = m_modello->index(riga, colonna);
    m_griglia.setCurrentIndex(indice);
    m_griglia.scrollTo(indice);
    AggiornaContatore();
}

QString ListBrowser::Valore(const QString& colonna) const { return m_modello->Valore(Riga() - 1, colonna); }

void ListBrowser::AggiornaContatore()
{
    if (m_txtRiga)
        m_txtRiga->setText(QString::number(Riga()) + QStringLiteral(" / ") + QString::number(Conteggio()));
    emit RigaCambiata(Riga(), Conteggio());
}

void ListBrowser::PersColonne(const QList<ColonnaLista>& colonne)
{
    m_colonne = colonne;
    ColonneGriglia::Larghezze larghezze;
    for (const ColonnaLista& colonna : colonne) {
        const int c = m_modello->Colonna(colonna.campo);
        if (c < 0)
            continue;
        if (!colonna.didascalia.isEmpty())
            m_modello->ImpostaDidascalia(c, colonna.didascalia);
        larghezze.append({colonna.campo, colonna.larghezza});
        m_griglia.setColumnHidden(c, colonna.nascosta);
    }
    ColonneGriglia::Adatta(m_griglia, larghezze);
}

int ListBrowser::Ordina(int colonna)
{
    if (colonna < 0 || colonna >= m_modello->columnCount() || m_modello->ConModifiche())
        return 1;
    const QString campo = m_modello->NomeColonna(colonna);
    const int riga = m_modello->RigaDati(Riga() - 1);
    m_modello->Ordina(colonna, Qt::AscendingOrder);
    for (int r = 0; r < Conteggio(); ++r)
        if (m_modello->RigaDati(r) == riga)
            VaiARiga(r);
    return 0;
}

bool ListBrowser::Comando(const QString& chiave)
{
    const int riga = Riga() - 1;
    if (chiave == QLatin1String("Inizio")) {
        VaiARiga(0);
    } else if (chiave == QLatin1String("Fine")) {
        VaiARiga(Conteggio() - 1);
    } else if (chiave == QLatin1String("Precedente")) {
        VaiARiga(std::max(riga - 1, 0));
    } else if (chiave == QLatin1String("Successiva") || chiave == QLatin1String("Successivo")) {
        VaiARiga(std::min(riga + 1, Conteggio() - 1));
    } else if (chiave == QLatin1String("Aggiorna")) {
        DatRefresh();
    } else if (chiave == QLatin1String("Trova")) {
        if (m_cercaTesto) {
            m_cercaTesto->setFocus();
            m_cercaTesto->selectAll();
        }
    } else if (chiave == QLatin1String("Cerca")) {
        Cerca();
    } else if (chiave == QLatin1String("Punta")) {
        m_segnalibro = m_modello->RigaDati(riga);
        if (m_barra)
            for (const QString& chiave : {QStringLiteral("VaiA"), QStringLiteral("Posiz")})
                m_barra->Abilita(chiave, m_segnalibro >= 0);
    } else if (chiave == QLatin1String("VaiA") || chiave == QLatin1String("Posiz")) {
        for (int r = 0; r < Conteggio(); ++r)
            if (m_segnalibro >= 0 && m_modello->RigaDati(r) == m_segnalibro)
                VaiARiga(r);
    } else if (chiave == QLatin1String("Stampa")) {
        if (Conteggio() > 0)
            StampaLista::Anteprima(m_griglia, m_titolo, m_messaggi);
    } else if (m_modifica && chiave == QLatin1String("Nuovo")) {
        if (m_scrivibile) {
            m_modello->AggiungiRigaNuova();
            VaiARiga(Conteggio() - 1);
        }
    } else if (m_modifica && chiave == QLatin1String("Salva")) {
        if (m_scrivibile)
            Salva();
    } else if (m_modifica && chiave == QLatin1String("Cancella")) {
        if (m_scrivibile)
            CancellaRiga();
    } else if (m_modifica && chiave == QLatin1String("Annulla")) {
        m_modello->ScartaModifiche();
        VaiARiga(std::min(riga, Conteggio() - 1));
    } else {
        return false;
    }
    return true;
}

void ListBrowser::Cerca()
{
    if (!m_cercaTesto || !m_cercaColonna || m_cercaTesto->text().isEmpty() || Conteggio() == 0)
        return;
    const int colonna = m_cercaColonna->currentData().toInt();
    const QString testo = m_cercaTesto->text();
    const DirezioneRicerca direzione = m_direzione ? m_direzione() : DirezioneRicerca::Primo;
    const int corrente = Riga() - 1;
    const bool avanti = direzione == DirezioneRicerca::Primo || direzione == DirezioneRicerca::Successivo;
    int r = direzione == DirezioneRicerca::Primo ? 0
        : direzione == DirezioneRicerca::Ultimo  ? Conteggio() - 1
                                                 : corrente + (avanti ? 1 : -1);
    for (; r >= 0 && r < Conteggio(); r += avanti ? 1 : -1)
        if (m_modello->data(m_modello->index(r, colonna)).toString().startsWith(testo, Qt::CaseInsensitive)) {
            VaiARiga(r);
            return;
        }
    m_messaggi.msgCom(QStringLiteral("Testo non trovato"), {Ok});
}

void ListBrowser::ModalitaModifica(bool attiva)
{
    m_modifica = attiva;
    ImpostaScrittura(m_scrivibile);
}

void ListBrowser::ImpostaScrittura(bool scrivibile)
{
    m_scrivibile = scrivibile;
    const bool modificabile = m_modifica && scrivibile;
    m_modello->ImpostaModificabile(modificabile);
    m_griglia.setTabKeyNavigation(modificabile);
    m_griglia.setEditTriggers(modificabile ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                      | QAbstractItemView::AnyKeyPressed
                                           : QAbstractItemView::NoEditTriggers);
    if (m_barra && !scrivibile)
        m_barra->Blocca(ComandiScrittura(), QStringLiteral("non disponibile: maschera aperta in sola lettura"));
}

bool ListBrowser::Salva()
{
    const int riga = Riga() - 1;
    if (riga < 0 || !m_modello->RigaVariata(riga))
        return true;
    QVariantMap valori = m_modello->ValoriRiga(riga);
    QString motivo;
    if (controlloRiga && !controlloRiga(valori, motivo)) {
        m_messaggi.msgCom(motivo, {Ok});
        return false;
    }
    const Recordset& dati = m_rs->Oggetto(m_nomeRs);
    const int rigaDati = m_modello->RigaDati(riga);
    const QVariantMap variate = m_modello->Variazioni(riga);
    try {
        TransazioneUnica transazione(m_db);
        RecordsetManager rs(m_db);
        const QString nome = rs.Apri(m_sql);
        // A new row writes every column it has; a changed one what was typed
        // and what the check set.
        if (rigaDati < 0) {
            rs.AggiungiNuovo(nome);
        } else {
            rs.Oggetto(nome).Posiziona(RitrovaRiga(dati, rigaDati, rs.Oggetto(nome)));
            rs.Modifica(nome);
        }
        for (auto it = valori.cbegin(); it != valori.cend(); ++it)
            if (rigaDati < 0 || variate.contains(it.key())
                || it.value() != dati.Valore(rigaDati, dati.IndiceColonna(it.key())))
                if (!(rigaDati < 0 && it.value().isNull()))
                    rs.Imposta(nome, it.key(), it.value());
        rs.Aggiorna(nome);
        transazione.Conferma();
    } catch (const ErroreRun& errore) {
        if (errore.numero() != CodiciErrore::DatoVariato)
            throw;
        m_messaggi.msgCom(errore.descrizione(), {Ok});
        return false;
    }
    Riapri(riga);
    return true;
}

void ListBrowser::CancellaRiga()
{
    const int riga = Riga() - 1;
    const int rigaDati = m_modello->RigaDati(riga);
    if (rigaDati < 0) {
        m_modello->ScartaModifiche();
        return;
    }
    if (m_messaggi.msgCom(QStringLiteral("Confermi la cancellazione della riga?"),
                          {QStringLiteral("&Si"), QStringLiteral("&No")})
        != 1)
        return;
    try {
        TransazioneUnica transazione(m_db);
        RecordsetManager rs(m_db);
        const QString nome = rs.Apri(m_sql);
        Recordset& fresco = rs.Oggetto(nome);
        fresco.Posiziona(RitrovaRiga(m_rs->Oggetto(m_nomeRs), rigaDati, fresco));
        fresco.Elimina();
        transazione.Conferma();
    } catch (const ErroreRun& errore) {
        if (errore.numero() != CodiciErrore::DatoVariato)
            throw;
        m_messaggi.msgCom(errore.descrizione(), {Ok});
        return;
    }
    Riapri(riga);
}

#include "DatabaseLink.h"

#include "Comando.h"
#include "ConnessioneServer.h"
#include "MotoreDatabase.h"
#include "ScrittureRaccolte.h"
#include "TestiDriver.h"
#include "TraduttoreJet.h"

#include <QAtomicInt>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <algorithm>

namespace {

QString NuovoNomeConnessione()
{
    static QAtomicInt contatore;
    return QStringLiteral("quiva_%1").arg(contatore.fetchAndAddRelaxed(1));
}

}  // namespace

const ColonnaSchema* SchemaTabella::Colonna(const QString& nomeColonna) const
{
    for (const auto& c : colonne)
        if (c.nome.compare(nomeColonna, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

DatabaseLink::DatabaseLink(QString nome) : m_nome(std::move(nome)) { }

DatabaseLink::~DatabaseLink()
{
    if (m_bloccoAperto && m_inTransazione && !m_prova) {
        try {
            ChiudiBlocco();
        } catch (...) {
            // what could not be sent is rolled back with the connection
        }
    }
    m_protezioneBlocco.reset();
    m_raccolte.reset();
    m_comandi.clear();
    m_motore.reset();
    {
        QSqlDatabase db = QSqlDatabase::database(m_nome, false);
        if (db.isOpen()) {
            if (m_inTransazione && m_prova)
                db.rollback();
            else if (m_inTransazione)
                db.commit();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(m_nome);
}

std::unique_ptr<DatabaseLink> DatabaseLink::ApriFile(const QString& percorso)
{
    std::unique_ptr<DatabaseLink> link(new DatabaseLink(NuovoNomeConnessione()));
    link->m_motore = NuovoMotoreSqlite(*link, link->m_nome);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), link->m_nome);
    db.setDatabaseName(percorso);
    if (!db.open())
        throw link->Errore(db.lastError());
    link->m_motore->Prepara();
    return link;
}

std::unique_ptr<DatabaseLink> DatabaseLink::ApriServer(const QString& connessione)
{
    const ParametriServer parametri = LeggiConnessioneServer(connessione);
    std::unique_ptr<DatabaseLink> link(new DatabaseLink(NuovoNomeConnessione()));
    link->m_server = true;
    link->m_motore = NuovoMotorePostgres(*link, link->m_nome);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), link->m_nome);
    if (!db.isValid())
        throw ErroreRun(CodiciErrore::ErroreOdbc,
                        QStringLiteral("Il driver PostgreSQL di Qt non è installato (pacchetto libqt6sql6-psql)"));
    db.setHostName(parametri.host);
    db.setPort(parametri.porta);
    db.setDatabaseName(parametri.database);
    db.setUserName(parametri.utente);
    db.setPassword(parametri.password);
    QString opzioni = QStringLiteral("connect_timeout=15;application_name=quiva");
    if (!parametri.opzioni.isEmpty())
        opzioni += QLatin1Char(';') + parametri.opzioni;
    db.setConnectOptions(opzioni);
    if (!db.open())
        throw link->Errore(db.lastError());
    link->m_motore->Prepara();
    return link;
}

QSqlDatabase DatabaseLink::Database() const { return QSqlDatabase::database(m_nome, false); }

sqlite3* DatabaseLink::Sqlite() const { return m_motore->Sqlite(); }

QString DatabaseLink::Traduci(const QString& sqlJet) { return m_motore->Traduci(sqlJet, nullptr); }

QString DatabaseLink::TraduciPerEseguire(const QString& sqlJet)
{
    QList<ColonnaConfrontata> confrontate;
    const QString sql = m_motore->Traduci(sqlJet, &confrontate);
    if (!confrontate.isEmpty())
        m_motore->IndiciConfronti(confrontate);
    return sql;
}

QString DatabaseLink::Quota(const QString& nome) const { return m_motore->Quota(nome); }

QString DatabaseLink::Creazione(const QString& ddl) const { return m_motore->Creazione(ddl); }

QStringList DatabaseLink::IdentitaRiga(const QString& tabella) { return m_motore->IdentitaRiga(tabella); }

bool DatabaseLink::IdentitaFissa() const { return m_motore->IdentitaFissa(); }

bool DatabaseLink::RaccoglieRighe() const { return m_motore->RaccoglieRighe(); }

std::unique_ptr<Comando> DatabaseLink::NuovoComando(const QString& sql) { return m_motore->NuovoComando(sql); }

void DatabaseLink::ControllaFileDitta()
{
    if (m_fileScollegato.isEmpty())
        m_fileScollegato = m_motore->FileScollegato();
    if (!m_fileScollegato.isEmpty())
        throw ErroreRun(CodiciErrore::FileDittaScollegato,
                        QStringLiteral("Modifica non salvata: ") + m_fileScollegato
                            + QStringLiteral(". Le modifiche non arriverebbero agli altri programmi: chiudere il "
                                             "programma e riaprirlo."));
}

void DatabaseLink::Esegui(const QString& sqlJet)
{
    InviaRaccolte();
    const QString sql = TraduciPerEseguire(sqlJet);
    ControllaFileDitta();
    {
        IstruzioneProtetta protetta(*this);
        QSqlQuery q(Database());
        if (!q.exec(sql)) {
            const ErroreRun errore = Errore(q);
            throw ErroreRun(errore.numero(), NomiComeScritti(errore.descrizione(), sqlJet));
        }
        protetta.Riuscita();
    }
    if (!m_inTransazione)
        ControllaFileDitta();
    // The statement may have changed a table's shape.
    static const QRegularExpression ddl(QStringLiteral("^\\s*(create|alter|drop)\\b"),
                                        QRegularExpression::CaseInsensitiveOption);
    if (ddl.match(sqlJet).hasMatch())
        DimenticaSchema();
}

void DatabaseLink::EseguiParametri(const QString& sql, const QVariantList& valori)
{
    auto& comando = m_comandi[sql];
    if (!comando)
        comando = NuovoComando(TraduciPerEseguire(sql));
    for (int i = 0; i < valori.size(); ++i)
        comando->Lega(i, valori[i]);
    ControllaFileDitta();
    comando->Esegui();
    comando->Termina();
    if (!m_inTransazione)
        ControllaFileDitta();
}

ErroreRun DatabaseLink::Errore(const QSqlError& errore) const { return m_motore->Errore(errore); }

ErroreRun DatabaseLink::Errore(const QSqlQuery& query) const { return m_motore->Errore(query.lastError()); }

bool DatabaseLink::EsisteTabella(const QString& tabella)
{
    if (m_schemi.contains(tabella.toLower()))
        return true;
    return m_motore->EsisteTabella(tabella);
}

std::shared_ptr<const SchemaTabella> DatabaseLink::SchemaCondiviso(const QString& tabella)
{
    const QString chiave = tabella.toLower();
    auto it = m_schemi.find(chiave);
    if (it == m_schemi.end())
        it = m_schemi.insert(chiave, std::make_shared<const SchemaTabella>(LeggiSchema(tabella)));
    return it.value();
}

SchemaTabella DatabaseLink::LeggiSchema(const QString& tabella)
{
    SchemaTabella schema = m_motore->LeggiSchema(tabella);
    if (schema.colonne.empty())
        throw ErroreRun(CodiciErrore::ErroreDatabase,
                        QStringLiteral("La tabella '%1' non esiste nel database").arg(tabella));
    return schema;
}

int DatabaseLink::DimensioneColonna(const QString& tabella, const QString& colonna)
{
    try {
        if (const ColonnaSchema* c = Schema(tabella).Colonna(colonna))
            return c->testo ? c->dimensione : 0;
    } catch (const ErroreRun&) {
    }
    return 0;
}

QStringList DatabaseLink::ColonnePrimarie(const QString& tabella)
{
    std::vector<const ColonnaSchema*> chiave;
    for (const auto& c : Schema(tabella).colonne)
        if (c.posizioneChiave > 0)
            chiave.push_back(&c);
    std::sort(chiave.begin(), chiave.end(), [](auto* a, auto* b) { return a->posizioneChiave < b->posizioneChiave; });
    QStringList nomi;
    for (auto* c : chiave)
        nomi << c->nome;
    return nomi;
}

void DatabaseLink::DimenticaSchema()
{
    m_schemi.clear();
    m_motore->DimenticaSchema();
}

void DatabaseLink::IndiceSenzaMaiuscole(const QString& tabella, const QStringList& colonne)
{
    m_motore->IndiceSenzaMaiuscole(tabella, colonne);
}

IstruzioneProtetta::IstruzioneProtetta(DatabaseLink& db)
{
    if (!db.m_inTransazione || db.m_protetta || !db.m_motore->SalvataggiNecessari())
        return;
    db.m_motore->Salvataggio("SAVEPOINT quiva_istruzione");
    db.m_protetta = true;
    m_db = &db;
}

void IstruzioneProtetta::Riuscita()
{
    if (!m_db)
        return;
    DatabaseLink* db = std::exchange(m_db, nullptr);
    db->m_protetta = false;
    db->m_motore->Salvataggio("RELEASE SAVEPOINT quiva_istruzione");
}

IstruzioneProtetta::~IstruzioneProtetta()
{
    if (!m_db)
        return;
    m_db->m_protetta = false;
    try {
        m_db->m_motore->Salvataggio("ROLLBACK TO SAVEPOINT quiva_istruzione");
        m_db->m_motore->Salvataggio("RELEASE SAVEPOINT quiva_istruzione");
    } catch (const ErroreRun&) {
        // the connection is gone: the next statement says so
    }
}

void DatabaseLink::IniziaTransazione()
{
    if (m_inTransazione)
        return;
    ControllaFileDitta();
    m_inTransazione = m_motore->IniziaTransazione();
}

bool DatabaseLink::PrendiScrittura(const QString& nome, int millisecondi,
                                   const std::function<bool(int secondi)>& inAttesa)
{
    const int pausa = m_motore->AttesaTentativi(-1);
    struct AttesaPiena {
        MotoreDatabase& motore;
        int millisecondi;
        ~AttesaPiena() { motore.AttesaTentativi(millisecondi); }
    } attesaPiena {*m_motore, millisecondi};
    QElapsedTimer tempo;
    tempo.start();
    while (!m_motore->TentaScrittura(nome, m_inTransazione)) {
        if (tempo.elapsed() >= millisecondi || (inAttesa && !inAttesa(static_cast<int>(tempo.elapsed() / 1000))))
            return false;
        QThread::msleep(static_cast<unsigned long>(pausa));
    }
    return true;
}

void DatabaseLink::LasciaScrittura(const QString& nome) { m_motore->LasciaScrittura(nome); }

void DatabaseLink::ConfermaTransazione()
{
    if (m_bloccoAperto) {
        try {
            ChiudiBlocco();
        } catch (const BloccoDaRipetere&) {
            throw ErroreRun(CodiciErrore::ErroreOdbc, QStringLiteral("Righe raccolte non scritte sul server"));
        }
    }
    if (!m_inTransazione || m_prova)
        return;
    QSqlDatabase db = Database();
    try {
        ControllaFileDitta();
    } catch (const ErroreRun&) {
        db.rollback();
        m_inTransazione = false;
        throw;
    }
    if (!db.commit()) {
        const ErroreRun errore = Errore(db.lastError());  // read before the rollback clears the engine's code
        db.rollback();
        m_inTransazione = false;
        throw errore;
    }
    m_inTransazione = false;
}

void DatabaseLink::AnnullaTransazione()
{
    if (m_bloccoAperto) {
        m_raccolte->Scarta();  // nothing of them was written
        m_bloccoAperto = false;
        m_protezioneBlocco.reset();
    }
    if (!m_inTransazione || m_prova)
        return;  // a trial is rolled back as a whole at its end
    Database().rollback();
    m_inTransazione = false;
}

void DatabaseLink::IniziaProva()
{
    if (m_prova)
        return;
    ConfermaTransazione();
    QSqlDatabase db = Database();
    if (!db.transaction())
        throw Errore(db.lastError());
    m_inTransazione = true;
    m_prova = true;
}

void DatabaseLink::AnnullaProva()
{
    if (!m_prova)
        return;
    m_prova = false;
    m_inTransazione = false;
    m_motore->FineProva();
    QSqlDatabase db = Database();
    if (!db.rollback())
        throw Errore(db.lastError());
}

ProvaSenzaScritture::ProvaSenzaScritture(DatabaseLink& db) : m_db(db) { m_db.IniziaProva(); }

ProvaSenzaScritture::~ProvaSenzaScritture()
{
    try {
        m_db.AnnullaProva();
    } catch (const ErroreRun&) {
        // the connection's own end rolls back what is left
    }
}

LottoScritture::LottoScritture(DatabaseLink& db, int righePerLotto, int millisecondiPerLotto)
    : m_db(db), m_righePerLotto(righePerLotto), m_millisecondi(millisecondiPerLotto)
{
    m_db.IniziaTransazione();
    m_tempo.start();
}

LottoScritture::~LottoScritture()
{
    try {
        m_db.ConfermaTransazione();
    } catch (const ErroreRun&) {
        // Nothing more can be done here; the next statement reports the state.
    }
}

bool LottoScritture::FineRiga()
{
    ++m_righe;
    m_dovuta = m_dovuta || m_righe >= m_righePerLotto || (m_righe % 256 == 0 && m_tempo.elapsed() >= m_millisecondi);
    if (!m_dovuta || m_db.BloccoAperto())
        return false;
    Conferma();
    return true;
}

void LottoScritture::Conferma()
{
    m_db.ConfermaTransazione();
    m_db.IniziaTransazione();
    m_righe = 0;
    m_dovuta = false;
    m_tempo.restart();
}

void LottoScritture::Annulla()
{
    m_db.AnnullaTransazione();
    m_righe = 0;
    m_dovuta = false;
}

void DatabaseLink::ImpostaIsolamento(LivelloIsolamento livello)
{
    const QString nome = livello == LivelloIsolamento::LetturaNonConfermata ? QStringLiteral("READ UNCOMMITTED")
                                                                            : QStringLiteral("READ COMMITTED");
    QSqlQuery istruzione(Database());
    if (!istruzione.exec(QStringLiteral("SET TRANSACTION ISOLATION LEVEL ") + nome))
        throw Errore(istruzione.lastError());
}

bool DatabaseLink::IniziaBlocco()
{
    if (!m_motore->RaccoglieRighe() || !m_inTransazione || m_bloccoAperto)
        return false;
    if (!m_raccolte)
        m_raccolte = std::make_unique<ScrittureRaccolte>(*this, *m_motore);
    m_bloccoAperto = true;
    return true;
}

bool DatabaseLink::RaccogliRiga(const FormaRighe& forma, ValoriRiga valori, const QString& identita)
{
    if (m_bloccoAperto && m_raccolte->Valori() + static_cast<int>(valori.size()) > ScrittureRaccolte::MassimoValori)
        ChiudiBlocco();
    if (!m_bloccoAperto)
        return false;
    try {
        // A refusal undoes the block's rows alone, never the batch before it.
        if (!m_protezioneBlocco)
            m_protezioneBlocco = std::make_unique<IstruzioneProtetta>(*this);
        return m_raccolte->Aggiungi(forma, valori, identita);
    } catch (const ErroreRun&) {
        AbbandonaBlocco();
    }
}

// The block's rows were refused: none of them stays written.
void DatabaseLink::AbbandonaBlocco()
{
    m_raccolte->Scarta();
    m_bloccoAperto = false;
    m_protezioneBlocco.reset();
    throw BloccoDaRipetere {};
}

void DatabaseLink::InviaParteBlocco()
{
    if (!m_bloccoAperto || !m_protezioneBlocco)
        return;
    try {
        m_raccolte->InviaParte();
    } catch (const ErroreRun&) {
        AbbandonaBlocco();
    }
}

void DatabaseLink::EseguiInizioBlocco(Comando& ricerca)
{
    if (!m_bloccoAperto || !m_raccolte->Vuote()) {
        ricerca.Esegui();
        return;
    }
    if (!m_protezioneBlocco)
        m_protezioneBlocco = std::make_unique<IstruzioneProtetta>(*this);
    try {
        ricerca.EseguiNelBlocco();
    } catch (const ErroreRun&) {
        m_protezioneBlocco.reset();
        throw;
    }
}

void DatabaseLink::ChiudiBlocco()
{
    if (!m_bloccoAperto)
        return;
    // Closed first: the statement that sends the rows must not come back here.
    m_bloccoAperto = false;
    if (!m_protezioneBlocco)
        return;  // nothing was gathered: rows come with the block's savepoint
    try {
        m_raccolte->Invia();
        std::exchange(m_protezioneBlocco, {})->Riuscita();
    } catch (const ErroreRun&) {
        m_protezioneBlocco.reset();
        throw BloccoDaRipetere {};
    }
}

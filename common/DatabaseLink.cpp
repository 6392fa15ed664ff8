#include "DatabaseLink.h"

#include "Comando.h"
#include "FunzioniJetSqlite.h"
#include "TraduttoreJet.h"

#include <QAtomicInt>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <sqlite3.h>

namespace {

QString NuovoNomeConnessione()
{
    static QAtomicInt contatore;
    return QStringLiteral("quiva_%1").arg(contatore.fetchAndAddRelaxed(1));
}

// Declared size of "VARCHAR(50)", "TEXT(50)", "CHAR (10)"...; 0 when none.
int DimensioneDichiarata(const QString& tipo)
{
    static const QRegularExpression dimensione(QStringLiteral("\\(\\s*(\\d+)"));
    const auto m = dimensione.match(tipo);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

bool TipoTesto(const QString& tipo)
{
    const QString t = tipo.toUpper();
    return t.isEmpty() || t.contains(QLatin1String("CHAR")) || t.contains(QLatin1String("TEXT"))
           || t.contains(QLatin1String("CLOB")) || t.contains(QLatin1String("MEMO"));
}

bool TipoData(const QString& tipo)
{
    const QString t = tipo.toUpper();
    return t.contains(QLatin1String("DATE")) || t.contains(QLatin1String("TIME"));
}

}  // namespace

const ColonnaSchema* SchemaTabella::Colonna(const QString& nomeColonna) const
{
    for (const auto& c : colonne)
        if (c.nome.compare(nomeColonna, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

DatabaseLink::DatabaseLink(QString nome, DialettoDb dialetto) : m_nome(std::move(nome)), m_dialetto(dialetto) {}

DatabaseLink::~DatabaseLink()
{
    m_comandi.clear();
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
    std::unique_ptr<DatabaseLink> link(new DatabaseLink(NuovoNomeConnessione(), DialettoDb::Sqlite));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), link->m_nome);
    db.setDatabaseName(percorso);
    if (!db.open())
        throw link->Errore(db.lastError());
    link->Prepara();
    return link;
}

std::unique_ptr<DatabaseLink> DatabaseLink::ApriOdbc(const QString& connessione)
{
    QString testo = connessione;
    if (testo.startsWith(QLatin1String("ODBC;"), Qt::CaseInsensitive))
        testo = testo.mid(5);
    const DialettoDb dialetto = testo.contains(QLatin1String("postgres"), Qt::CaseInsensitive)
                                        || testo.contains(QLatin1String("psql"), Qt::CaseInsensitive)
                                    ? DialettoDb::Postgres
                                    : DialettoDb::Odbc;
    std::unique_ptr<DatabaseLink> link(new DatabaseLink(NuovoNomeConnessione(), dialetto));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), link->m_nome);
    db.setDatabaseName(testo);
    if (!db.open())
        throw link->Errore(db.lastError());
    link->Prepara();
    return link;
}

void DatabaseLink::Prepara()
{
    if (m_dialetto != DialettoDb::Sqlite)
        return;
    QSqlDatabase db = Database();
    const QVariant handle = db.driver()->handle();
    if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0) {
        sqlite3* nativo = *static_cast<sqlite3* const*>(handle.data());
        if (nativo) {
            m_sqlite = nativo;
            sqlite3_extended_result_codes(nativo, 1);
            RegistraFunzioniJet(nativo);
            sqlite3_busy_timeout(nativo, 5000);
        }
    }
    QSqlQuery q(db);
    // The first read of the file: a database held by another writer says so
    // here, after the busy wait. Other failures (read-only media) are no
    // reason to refuse it.
    if (!q.exec(QStringLiteral("PRAGMA journal_mode=WAL"))) {
        const ErroreRun errore = Errore(q.lastError());
        if (errore.numero() == CodiciErrore::DatabaseInUso)
            throw errore;
    }
    q.exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
    // A load commits every few thousand rows: copying the log back into the
    // file (and syncing it) after each commit would cost more than the
    // writes. The log is copied back once it passes 64 MB, and on closing.
    q.exec(QStringLiteral("PRAGMA wal_autocheckpoint=16384"));
}

QSqlDatabase DatabaseLink::Database() const
{
    return QSqlDatabase::database(m_nome, false);
}

QString DatabaseLink::Traduci(const QString& sqlJet) const
{
    return TraduciJet(sqlJet, m_dialetto);
}

void DatabaseLink::Esegui(const QString& sqlJet)
{
    QSqlQuery q(Database());
    if (!q.exec(Traduci(sqlJet)))
        throw Errore(q.lastError());
    DimenticaSchema();  // the statement may have changed a table's shape
}

void DatabaseLink::EseguiParametri(const QString& sql, const QVariantList& valori)
{
    auto& comando = m_comandi[sql];
    if (!comando)
        comando = Comando::Prepara(*this, Traduci(sql));
    for (int i = 0; i < valori.size(); ++i)
        comando->Lega(i, valori[i]);
    comando->Esegui();
    comando->Termina();
}

ErroreRun DatabaseLink::Errore(const QSqlError& errore) const
{
    const QString testo = errore.text().trimmed();
    if (m_dialetto == DialettoDb::Sqlite) {
        const QString codice = errore.nativeErrorCode();
        const int primario = codice.toInt() & 0xff;
        if (primario == SQLITE_BUSY || primario == SQLITE_LOCKED)
            return ErroreRun(CodiciErrore::DatabaseInUso,
                             QStringLiteral("Database in uso da un altro programma (%1)").arg(testo));
        if (testo.contains(QLatin1String("UNIQUE constraint failed"), Qt::CaseInsensitive)
            || codice == QLatin1String("2067") || codice == QLatin1String("1555"))
            return ErroreRun(CodiciErrore::ChiaveDoppia,
                             QStringLiteral("Valore duplicato in un indice univoco (%1)").arg(errore.databaseText()));
        if (primario == SQLITE_FULL || testo.contains(QLatin1String("disk is full"), Qt::CaseInsensitive))
            return ErroreRun(CodiciErrore::DiscoPieno,
                             QStringLiteral("Spazio esaurito per il database (%1)").arg(errore.databaseText()));
        if (codice == QLatin1String("11") || codice == QLatin1String("26")
            || testo.contains(QLatin1String("malformed"), Qt::CaseInsensitive)
            || testo.contains(QLatin1String("not a database"), Qt::CaseInsensitive))
            return ErroreRun(CodiciErrore::DatabaseDanneggiato, testo);
        if (testo.contains(QLatin1String("no such column"), Qt::CaseInsensitive)
            || testo.contains(QLatin1String("has no column named"), Qt::CaseInsensitive))
            return ErroreRun(CodiciErrore::CampoInesistente, testo);
        return ErroreRun(CodiciErrore::ErroreDatabase, testo);
    }
    // A data source reports every failure of its own as one error.
    return ErroreRun(CodiciErrore::ErroreOdbc, testo);
}

bool DatabaseLink::EsisteTabella(const QString& tabella)
{
    if (m_schemi.contains(tabella.toLower()))
        return true;
    if (m_dialetto == DialettoDb::Sqlite) {
        // A database locked by another program must not look empty.
        QSqlQuery q(Database());
        q.prepare(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type IN ('table', 'view') AND name = ? COLLATE NOCASE"));
        q.addBindValue(tabella);
        if (!q.exec())
            throw Errore(q.lastError());
        return q.next();
    }
    for (const QString& nome : Database().tables())
        if (nome.compare(tabella, Qt::CaseInsensitive) == 0)
            return true;
    return false;
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
    SchemaTabella schema;
    schema.nome = tabella;
    QSqlQuery q(Database());
    if (m_dialetto == DialettoDb::Sqlite) {
        q.prepare(QStringLiteral("SELECT name, type, pk FROM pragma_table_info(?)"));
        q.addBindValue(tabella);
        if (!q.exec())
            throw Errore(q.lastError());
        while (q.next()) {
            const QString tipo = q.value(1).toString();
            schema.colonne.push_back({q.value(0).toString(), DimensioneDichiarata(tipo), TipoTesto(tipo),
                                      TipoData(tipo), q.value(2).toInt()});
        }
    } else {
        q.prepare(QStringLiteral(
            "SELECT c.column_name, c.data_type, coalesce(c.character_maximum_length, 0), "
            "coalesce((SELECT k.ordinal_position FROM information_schema.key_column_usage k "
            "JOIN information_schema.table_constraints t ON t.constraint_name = k.constraint_name "
            "AND t.table_name = k.table_name WHERE t.constraint_type = 'PRIMARY KEY' "
            "AND k.table_name = c.table_name AND k.column_name = c.column_name), 0) "
            "FROM information_schema.columns c WHERE lower(c.table_name) = lower(?) ORDER BY c.ordinal_position"));
        q.addBindValue(tabella);
        if (!q.exec())
            throw Errore(q.lastError());
        while (q.next()) {
            const QString tipo = q.value(1).toString();
            schema.colonne.push_back({q.value(0).toString(), q.value(2).toInt(), TipoTesto(tipo), TipoData(tipo),
                                      q.value(3).toInt()});
        }
    }
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
    std::sort(chiave.begin(), chiave.end(),
              [](auto* a, auto* b) { return a->posizioneChiave < b->posizioneChiave; });
    QStringList nomi;
    for (auto* c : chiave)
        nomi << c->nome;
    return nomi;
}

void DatabaseLink::DimenticaSchema()
{
    m_schemi.clear();
}

namespace {

// True when an index of the table starts with exactly these columns (in any
// order), each compared without case.
bool IndiceCaseFreeEsiste(QSqlDatabase db, const QString& tabella, const QStringList& colonne)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT i.name, c.name, c.coll FROM pragma_index_list(?) i "
                             "JOIN pragma_index_xinfo(i.name) c WHERE c.key = 1 AND c.seqno < ? ORDER BY i.name"));
    q.addBindValue(tabella);
    q.addBindValue(colonne.size());
    if (!q.exec())
        return false;
    QHash<QString, int> trovate;  // per index, leading columns that serve
    while (q.next())
        if (colonne.contains(q.value(1).toString(), Qt::CaseInsensitive)
            && q.value(2).toString().compare(QLatin1String("NOCASE"), Qt::CaseInsensitive) == 0)
            ++trovate[q.value(0).toString()];
    for (int n : std::as_const(trovate))
        if (n == colonne.size())
            return true;
    return false;
}

}  // namespace

void DatabaseLink::IndiceSenzaMaiuscole(const QString& tabella, const QStringList& colonne)
{
    if (m_dialetto != DialettoDb::Sqlite || colonne.isEmpty())
        return;
    QSqlDatabase db = Database();
    if (IndiceCaseFreeEsiste(db, tabella, colonne))
        return;
    QStringList definizione;
    for (const QString& c : colonne)
        definizione << QLatin1Char('[') + c + QStringLiteral("] COLLATE NOCASE");
    const QString nome = QStringLiteral("quiva_nocase_") + tabella + QLatin1Char('_') + colonne.join(QLatin1Char('_'));
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("CREATE INDEX IF NOT EXISTS [%1] ON [%2] (%3)")
                    .arg(nome, tabella, definizione.join(QStringLiteral(", ")))))
        qWarning("Indice %s non creato: %s", qPrintable(nome), qPrintable(q.lastError().text()));
}

void DatabaseLink::IniziaTransazione()
{
    if (m_inTransazione)
        return;
    m_inTransazione = Database().transaction();
}

void DatabaseLink::ConfermaTransazione()
{
    if (!m_inTransazione || m_prova)
        return;
    QSqlDatabase db = Database();
    if (!db.commit()) {
        const QSqlError errore = db.lastError();
        db.rollback();
        m_inTransazione = false;
        throw Errore(errore);
    }
    m_inTransazione = false;
}

void DatabaseLink::AnnullaTransazione()
{
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
    QSqlDatabase db = Database();
    if (!db.rollback())
        throw Errore(db.lastError());
}

ProvaSenzaScritture::ProvaSenzaScritture(DatabaseLink& db) : m_db(db)
{
    m_db.IniziaProva();
}

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
    if (++m_righe < m_righePerLotto && (m_righe % 256 != 0 || m_tempo.elapsed() < m_millisecondi))
        return false;
    Conferma();
    return true;
}

void LottoScritture::Conferma()
{
    m_db.ConfermaTransazione();
    m_db.IniziaTransazione();
    m_righe = 0;
    m_tempo.restart();
}

void LottoScritture::Annulla()
{
    m_db.AnnullaTransazione();
    m_righe = 0;
}

void DatabaseLink::ImpostaIsolamento(LivelloIsolamento livello)
{
    const QString nome = livello == LivelloIsolamento::LetturaNonConfermata ? QStringLiteral("READ UNCOMMITTED")
                                                                            : QStringLiteral("READ COMMITTED");
    QSqlQuery istruzione(Database());
    if (!istruzione.exec(QStringLiteral("SET TRANSACTION ISOLATION LEVEL ") + nome))
        throw Errore(istruzione.lastError());
}

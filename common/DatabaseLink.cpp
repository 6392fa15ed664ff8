#include "DatabaseLink.h"

#include "Comando.h"
#include "FileDitta.h"
#include "FunzioniJetPostgres.h"
#include "FunzioniJetSqlite.h"
#include "ScrittureRaccolte.h"
#include "StatoOdbc.h"
#include "TestiDriver.h"
#include "TraduttoreJet.h"

#include <QAtomicInt>
#include <QCryptographicHash>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QThread>
#include <limits>
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

// The kind of value a declared type holds: the names of SQLite tables made
// by any tool and those of a server's catalog ("numeric(9,2)", "smallint").
void DescriviGenere(ColonnaSchema& colonna, const QString& tipo, DialettoDb dialetto)
{
    const QString t = tipo.toUpper();
    auto ha = [&t](const char* parola) { return t.contains(QLatin1String(parola)); };
    GenereColonna& genere = colonna.genere;
    if (colonna.testo) {
        genere = GenereColonna::Testo;
    } else if (colonna.data) {
        genere = GenereColonna::Data;
    } else if (ha("BOOL") || ha("BIT") || ha("YESNO") || ha("LOGICAL") || ha("BLOB") || ha("BINARY")
               || ha("BYTEA") || ha("INTERVAL")) {
        genere = GenereColonna::Altro;
    } else if (ha("INT") || ha("LONG") || ha("COUNTER") || ha("SERIAL") || ha("BYTE")) {
        genere = GenereColonna::Intero;
        colonna.minimo = std::numeric_limits<qint32>::min();
        colonna.massimo = std::numeric_limits<qint32>::max();
        if (ha("SMALLINT") || ha("INT2")) {
            colonna.minimo = -32768;
            colonna.massimo = 32767;
        } else if (ha("BIGINT") || ha("INT8") || dialetto == DialettoDb::Sqlite) {
            // SQLite keeps eight bytes in any whole-number column.
            colonna.minimo = std::numeric_limits<qint64>::min();
            colonna.massimo = std::numeric_limits<qint64>::max();
        }
    } else if (ha("NUMERIC") || ha("DECIMAL") || ha("CURRENCY") || ha("MONEY")) {
        genere = GenereColonna::Decimale;
        static const QRegularExpression precisione(QStringLiteral("\\(\\s*(\\d+)\\s*(?:,\\s*(\\d+))?"));
        if (const auto m = precisione.match(t); m.hasMatch()) {
            colonna.cifre = m.captured(1).toInt();
            colonna.decimali = m.captured(2).toInt();
        } else if (ha("CURRENCY")) {
            colonna.cifre = 19;
            colonna.decimali = 4;
        }
    } else if (ha("REAL") || ha("FLOA") || ha("DOUB") || ha("SINGLE")) {
        genere = GenereColonna::Reale;
        // A server's "real" is single precision; SQLite's has eight bytes.
        if (ha("SINGLE") || (dialetto != DialettoDb::Sqlite && (t == QLatin1String("REAL") || ha("FLOAT4"))))
            colonna.cifre = 7;
    } else {
        genere = GenereColonna::Altro;
    }
}

}  // namespace

const ColonnaSchema* SchemaTabella::Colonna(const QString& nomeColonna) const
{
    for (const auto& c : colonne)
        if (c.nome.compare(nomeColonna, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

DatabaseLink::DatabaseLink(QString nome, DialettoDb dialetto) : m_nome(std::move(nome)), m_dialetto(dialetto) { }

DatabaseLink::~DatabaseLink()
{
    if (m_bloccoAperto && m_inTransazione && !m_prova) {
        try {
            ChiudiBlocco();
        } catch (...) {
            // what could not be sent is rolled back with the connection
        }
    }
    m_raccolte.reset();
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

namespace {

// SQLite keeps memory statistics by default, under a lock taken on every
// allocation; nothing here reads them. It can only be turned off before the
// library starts: the first database file opened does it.
void SenzaStatisticheMemoria()
{
    static const int esito = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    Q_UNUSED(esito);
}

}  // namespace

std::unique_ptr<DatabaseLink> DatabaseLink::ApriFile(const QString& percorso)
{
    SenzaStatisticheMemoria();
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
    std::unique_ptr<DatabaseLink> link(new DatabaseLink(NuovoNomeConnessione(), DialettoDb::Odbc));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), link->m_nome);
    db.setDatabaseName(testo);
    if (!db.open())
        throw link->Errore(db.lastError());
    if (db.driver()->dbmsType() == QSqlDriver::PostgreSQL) {
        link->m_dialetto = DialettoDb::Postgres;
        // A failed statement undoes only itself, as on the file database: a
        // duplicate key rejects one line without losing the batch around it.
        if (!testo.contains(QLatin1String("Protocol="), Qt::CaseInsensitive)) {
            db.close();
            if (!testo.isEmpty() && !testo.endsWith(QLatin1Char(';')))
                testo += QLatin1Char(';');
            db.setDatabaseName(testo + QStringLiteral("Protocol=7.4-2;"));
            if (!db.open())
                throw link->Errore(db.lastError());
        }
    }
    link->Prepara();
    return link;
}

void DatabaseLink::Prepara()
{
    if (m_dialetto == DialettoDb::Postgres) {
        const QString errore = CreaFunzioniJetPostgres(Database());
        if (!errore.isEmpty())
            throw ErroreRun(CodiciErrore::ErroreOdbc,
                            QStringLiteral("Impossibile creare le funzioni del programma sul server: ") + errore);
        // The program's statements are short and run many times on rows the
        // server holds in memory: compiling one costs more than it saves, and
        // a look-up by index is cheap. Planned so, a block's changes and
        // look-ups reach their rows through the key's index instead of
        // reading the whole table. A server that refuses either keeps its
        // own setting.
        QSqlQuery impostazione(Database());
        impostazione.exec(QStringLiteral("SET jit = off"));
        impostazione.exec(QStringLiteral("SET random_page_cost = 1.1"));
        return;
    }
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
    // The first read of the file. A file that is no database says so here.
    // A file another program holds in rollback-journal mode stays in it
    // for this run (the next one turns it), so that a load waits for the
    // write lock like on a write-ahead log; read-only media are no reason
    // to refuse it either.
    if (!q.exec(QStringLiteral("PRAGMA journal_mode=WAL"))) {
        const ErroreRun errore = Errore(q.lastError());
        if (errore.numero() == CodiciErrore::DatabaseDanneggiato)
            throw errore;
    }
    q.exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
    // A load commits every few thousand rows: copying the log back into the
    // file (and syncing it) after each commit would cost more than the
    // writes. The log is copied back once it passes 64 MB, and on closing.
    q.exec(QStringLiteral("PRAGMA wal_autocheckpoint=16384"));
    // A 16 MB page cache keeps a large table's key index in memory while a
    // load grows it (the default 2 MB made a million-line load a fifth
    // slower); memory stays bounded by it.
    q.exec(QStringLiteral("PRAGMA cache_size=-16384"));
    // Read once so that the log and its index are open and locked now.
    q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master"));
    q.finish();
    m_controlloFile = std::make_unique<ControlloFileDitta>(m_sqlite);
}

void DatabaseLink::ControllaFileDitta()
{
    if (!m_controlloFile)
        return;
    if (m_fileScollegato.isEmpty())
        m_fileScollegato = m_controlloFile->Stato();
    if (!m_fileScollegato.isEmpty())
        throw ErroreRun(CodiciErrore::FileDittaScollegato,
                        QStringLiteral("Modifica non salvata: ") + m_fileScollegato
                            + QStringLiteral(". Le modifiche non arriverebbero agli altri programmi: chiudere il "
                                             "programma e riaprirlo."));
}

QSqlDatabase DatabaseLink::Database() const { return QSqlDatabase::database(m_nome, false); }

QString DatabaseLink::Traduci(const QString& sqlJet)
{
    if (m_dialetto != DialettoDb::Postgres)
        return TraduciJet(sqlJet, m_dialetto);
    QList<ColonnaConfrontata> confrontate;
    const QString sql = TraduciJet(sqlJet, m_dialetto, &Catalogo(), &confrontate);
    IndiceSenzaMaiuscole(confrontate);
    return sql;
}

QString DatabaseLink::Quota(const QString& nome) const
{
    if (m_dialetto == DialettoDb::Sqlite)
        return QLatin1Char('[') + nome + QLatin1Char(']');
    return QLatin1Char('"') + QString(nome).replace(QLatin1String("\""), QLatin1String("\"\"")) + QLatin1Char('"');
}

// One index per table over the lower-case form of the columns its look-ups
// compare; created inside a savepoint so that a refusal (a table the user
// may not index) costs nothing but the index.
void DatabaseLink::IndiceSenzaMaiuscole(const QList<ColonnaConfrontata>& colonne)
{
    QHash<QString, QStringList> perTabella;
    for (const auto& c : colonne)
        if (!perTabella[c.tabella].contains(c.colonna))
            perTabella[c.tabella] << c.colonna;
    for (auto it = perTabella.cbegin(); it != perTabella.cend(); ++it) {
        const QString chiave = it.key() + QLatin1Char('\n') + it.value().join(QLatin1Char('\n'));
        if (m_indici.contains(chiave))
            continue;
        m_indici.insert(chiave);
        QStringList espressioni;
        for (const QString& c : it.value())
            espressioni << QStringLiteral("lower(%1)").arg(Quota(c));
        const QString nome = QStringLiteral("quiva_ci_")
            + QString::fromLatin1(QCryptographicHash::hash(chiave.toUtf8(), QCryptographicHash::Md5).toHex().left(16));
        QSqlQuery q(Database());
        if (m_inTransazione)
            q.exec(QStringLiteral("SAVEPOINT quiva_indice"));
        const bool fatto = q.exec(QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2 (%3)")
                                      .arg(nome, Quota(it.key()), espressioni.join(QStringLiteral(", "))));
        if (m_inTransazione)
            q.exec(fatto ? QStringLiteral("RELEASE SAVEPOINT quiva_indice")
                         : QStringLiteral("ROLLBACK TO SAVEPOINT quiva_indice"));
    }
}

const CatalogoNomi& DatabaseLink::Catalogo()
{
    if (m_catalogo)
        return *m_catalogo;
    CatalogoNomi catalogo;
    QSqlQuery q(Database());
    q.setForwardOnly(true);
    // Every table and view the connection sees without a schema prefix.
    if (!q.exec(QStringLiteral(
            "SELECT c.relname, a.attname, t.typcategory = 'S' FROM pg_catalog.pg_class c "
            "JOIN pg_catalog.pg_attribute a ON a.attrelid = c.oid AND a.attnum > 0 AND NOT a.attisdropped "
            "JOIN pg_catalog.pg_type t ON t.oid = a.atttypid "
            "WHERE c.relkind IN ('r', 'v', 'm', 'p', 'f') AND pg_catalog.pg_table_is_visible(c.oid)")))
        throw Errore(q);
    while (q.next()) {
        const QString tabella = q.value(0).toString();
        const QString colonna = q.value(1).toString();
        catalogo.tabelle.insert(tabella.toLower(), tabella);
        catalogo.colonne[tabella.toLower()].insert(colonna.toLower(), {colonna, q.value(2).toBool()});
    }
    m_catalogo = std::move(catalogo);
    return *m_catalogo;
}

void DatabaseLink::Esegui(const QString& sqlJet)
{
    InviaRaccolte();
    ControllaFileDitta();
    QSqlQuery q(Database());
    if (!q.exec(Traduci(sqlJet)))
        throw Errore(q);
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
        comando = Comando::Prepara(*this, Traduci(sql));
    for (int i = 0; i < valori.size(); ++i)
        comando->Lega(i, valori[i]);
    ControllaFileDitta();
    comando->Esegui();
    comando->Termina();
    if (!m_inTransazione)
        ControllaFileDitta();
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
            return ErroreRun(CodiciErrore::DatabaseDanneggiato, TestoDriverItaliano(testo));
        if (testo.contains(QLatin1String("no such column"), Qt::CaseInsensitive)
            || testo.contains(QLatin1String("has no column named"), Qt::CaseInsensitive))
            return ErroreRun(CodiciErrore::CampoInesistente, TestoDriverItaliano(testo));
        return ErroreRun(CodiciErrore::ErroreDatabase, TestoDriverItaliano(testo));
    }
    if (m_dialetto == DialettoDb::Postgres)
        return ErroreServer(errore, {});
    // A data source reports every failure of its own as one error.
    return ErroreRun(CodiciErrore::ErroreOdbc, TestoDriverItaliano(testo));
}

ErroreRun DatabaseLink::Errore(const QSqlQuery& query) const
{
    if (m_dialetto != DialettoDb::Postgres)
        return Errore(query.lastError());
    return ErroreServer(query.lastError(), StatoSqlOdbc(query));
}

// The server's SQLSTATE gives the number callers test.
ErroreRun DatabaseLink::ErroreServer(const QSqlError& errore, const QString& codice) const
{
    const QString testo =
        errore.databaseText().trimmed().isEmpty() ? errore.text().trimmed() : errore.databaseText().trimmed();
    if (codice == QLatin1String("23505"))
        return ErroreRun(CodiciErrore::ChiaveDoppia,
                         QStringLiteral("Valore duplicato in un indice univoco (%1)").arg(testo));
    if (codice == QLatin1String("22001"))
        return ErroreRun(CodiciErrore::ValoreTroppoGrande, testo);
    if (codice == QLatin1String("42703"))
        return ErroreRun(CodiciErrore::CampoInesistente, TestoDriverItaliano(testo));
    return ErroreRun(CodiciErrore::ErroreOdbc, TestoDriverItaliano(testo));
}

bool DatabaseLink::EsisteTabella(const QString& tabella)
{
    if (m_schemi.contains(tabella.toLower()))
        return true;
    if (m_dialetto == DialettoDb::Sqlite) {
        // A database locked by another program must not look empty.
        QSqlQuery q(Database());
        if (!q.prepare(QStringLiteral(
                "SELECT 1 FROM sqlite_master WHERE type IN ('table', 'view') AND name = ? COLLATE NOCASE")))
            throw Errore(q.lastError());
        q.addBindValue(tabella);
        if (!q.exec())
            throw Errore(q.lastError());
        return q.next();
    }
    if (m_dialetto == DialettoDb::Postgres)
        return Catalogo().Tabella(tabella) != nullptr;
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
            throw Errore(q);
        while (q.next()) {
            const QString tipo = q.value(1).toString();
            schema.colonne.push_back({q.value(0).toString(), DimensioneDichiarata(tipo), TipoTesto(tipo),
                                      TipoData(tipo), q.value(2).toInt()});
            DescriviGenere(schema.colonne.back(), tipo, m_dialetto);
        }
    } else {
        // The catalog's spelling of the table on a server; the standard
        // information schema of any other source.
        const QString* nome = m_dialetto == DialettoDb::Postgres ? Catalogo().Tabella(tabella) : &tabella;
        if (!nome)
            throw ErroreRun(CodiciErrore::ErroreDatabase,
                            QStringLiteral("La tabella '%1' non esiste nel database").arg(tabella));
        schema.nome = *nome;
        if (m_dialetto == DialettoDb::Postgres) {
            q.prepare(QStringLiteral(
                "SELECT a.attname, pg_catalog.format_type(a.atttypid, a.atttypmod), "
                "CASE WHEN a.atttypmod > 4 AND t.typcategory = 'S' THEN a.atttypmod - 4 ELSE 0 END, "
                "coalesce(array_position(i.indkey::int2[], a.attnum) + 1, 0) "
                "FROM pg_catalog.pg_attribute a JOIN pg_catalog.pg_type t ON t.oid = a.atttypid "
                "LEFT JOIN pg_catalog.pg_index i ON i.indrelid = a.attrelid AND i.indisprimary "
                "WHERE a.attrelid = ?::regclass AND a.attnum > 0 AND NOT a.attisdropped ORDER BY a.attnum"));
            q.addBindValue(Quota(*nome));
        } else {
            q.prepare(QStringLiteral(
                "SELECT c.column_name, c.data_type, coalesce(c.character_maximum_length, 0), "
                "coalesce((SELECT k.ordinal_position FROM information_schema.key_column_usage k "
                "JOIN information_schema.table_constraints t ON t.constraint_name = k.constraint_name "
                "AND t.table_name = k.table_name WHERE t.constraint_type = 'PRIMARY KEY' "
                "AND k.table_name = c.table_name AND k.column_name = c.column_name), 0) "
                "FROM information_schema.columns c WHERE lower(c.table_name) = lower(?) ORDER BY c.ordinal_position"));
            q.addBindValue(tabella);
        }
        if (!q.exec())
            throw Errore(q);
        while (q.next()) {
            const QString tipo = q.value(1).toString();
            schema.colonne.push_back(
                {q.value(0).toString(), q.value(2).toInt(), TipoTesto(tipo), TipoData(tipo), q.value(3).toInt()});
            DescriviGenere(schema.colonne.back(), tipo, m_dialetto);
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
    std::sort(chiave.begin(), chiave.end(), [](auto* a, auto* b) { return a->posizioneChiave < b->posizioneChiave; });
    QStringList nomi;
    for (auto* c : chiave)
        nomi << c->nome;
    return nomi;
}

void DatabaseLink::DimenticaSchema()
{
    m_schemi.clear();
    m_catalogo.reset();
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
    ControllaFileDitta();
    if (m_dialetto != DialettoDb::Sqlite) {
        m_inTransazione = Database().transaction();
        return;
    }
    // The write lock at once: a load's next batch never finds another
    // writer in the middle of its work.
    QSqlQuery inizio(Database());
    m_inTransazione = inizio.exec(QStringLiteral("BEGIN IMMEDIATE"));
}

// One try at the write lock, without waiting beyond the engine's own short
// retries; false when another program holds it.
bool DatabaseLink::TentaScrittura(const QString& nome)
{
    QSqlQuery q(Database());
    bool riuscito;
    if (m_dialetto == DialettoDb::Postgres) {
        q.prepare(QStringLiteral("SELECT pg_try_advisory_lock(1903, hashtext(lower(?)))"));
        q.addBindValue(nome);
        riuscito = q.exec() && q.next();
        if (riuscito)
            return q.value(0).toBool();
    } else if (!m_inTransazione) {
        ControllaFileDitta();
        riuscito = q.exec(QStringLiteral("BEGIN IMMEDIATE"));  // the load's first batch
        if (riuscito) {
            m_inTransazione = true;
            return true;
        }
    } else {
        // A trial's transaction is open: its first write takes the lock.
        riuscito = q.exec(QStringLiteral("DELETE FROM ErroriQuivamento WHERE 0 = 1"));
        if (riuscito)
            return true;
    }
    const ErroreRun errore = Errore(q);
    if (errore.numero() == CodiciErrore::DatabaseInUso)
        return false;
    throw errore;
}

bool DatabaseLink::PrendiScrittura(const QString& nome, int millisecondi,
                                   const std::function<bool(int secondi)>& inAttesa)
{
    if (m_dialetto == DialettoDb::Odbc)
        return true;
    if (m_sqlite)
        sqlite3_busy_timeout(m_sqlite, 250);
    struct AttesaPiena {
        sqlite3* sqlite;
        int millisecondi;
        ~AttesaPiena()
        {
            // Later statements of the load wait as long for a lock.
            if (sqlite)
                sqlite3_busy_timeout(sqlite, std::max(millisecondi, 5000));
        }
    } attesaPiena {m_sqlite, millisecondi};
    QElapsedTimer tempo;
    tempo.start();
    while (!TentaScrittura(nome)) {
        if (tempo.elapsed() >= millisecondi || (inAttesa && !inAttesa(static_cast<int>(tempo.elapsed() / 1000))))
            return false;
        QThread::msleep(m_sqlite ? 250 : 500);  // a file's try already waited a quarter of a second
    }
    return true;
}

void DatabaseLink::LasciaScrittura(const QString& nome)
{
    if (m_dialetto != DialettoDb::Postgres)
        return;  // a file's lock ends with the transaction
    QSqlQuery q(Database());
    q.prepare(QStringLiteral("SELECT pg_advisory_unlock(1903, hashtext(lower(?)))"));
    q.addBindValue(nome);
    q.exec();  // a lost connection has let it go already
}

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
        const QSqlError errore = db.lastError();
        db.rollback();
        m_inTransazione = false;
        throw Errore(errore);
    }
    m_inTransazione = false;
}

void DatabaseLink::AnnullaTransazione()
{
    if (m_bloccoAperto) {
        m_raccolte->Scarta();  // nothing of them was written
        m_bloccoAperto = false;
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
    m_indici.clear();  // an index made during the trial goes with it
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
    if (m_dialetto != DialettoDb::Postgres || !m_inTransazione || m_bloccoAperto)
        return false;
    if (!m_raccolte)
        m_raccolte = std::make_unique<ScrittureRaccolte>(*this);
    m_bloccoAperto = true;
    return true;
}

bool DatabaseLink::RaccogliRiga(const FormaRighe& forma, std::vector<QVariant>&& valori, const QString& identita)
{
    if (m_bloccoAperto && m_raccolte->Valori() + static_cast<int>(valori.size()) > ScrittureRaccolte::MassimoValori)
        ChiudiBlocco();
    return m_bloccoAperto && m_raccolte->Aggiungi(forma, std::move(valori), identita);
}

void DatabaseLink::ChiudiBlocco()
{
    if (!m_bloccoAperto)
        return;
    // Closed first: the statement that sends the rows must not come back here.
    m_bloccoAperto = false;
    try {
        m_raccolte->Invia();
    } catch (const ErroreRun&) {
        throw BloccoDaRipetere {};
    }
}

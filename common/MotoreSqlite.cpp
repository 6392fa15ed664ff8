// The company database as an SQLite file.
#include "Comando.h"
#include "FileDitta.h"
#include "FunzioniJetSqlite.h"
#include "MotoreDatabase.h"
#include "SchemaColonne.h"
#include "TestiDriver.h"
#include "TraduttoreJet.h"
#include "TrascrittoreLog.h"
#include "VfsRaccolta.h"

#include <QHash>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <sqlite3.h>

namespace {

// SQLite keeps memory statistics by default, under a lock taken on every
// allocation; nothing here reads them. It can only be turned off before the
// library starts: the first database file opened does it, and installs the
// file layer that gathers the log's writes.
void PreparaSqlite()
{
    static const int esito = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    Q_UNUSED(esito);
    InstallaVfsRaccolta();
}

class MotoreSqlite : public MotoreDatabase {
public:
    MotoreSqlite(DatabaseLink& link, QString nome) : MotoreDatabase(link, std::move(nome)) { PreparaSqlite(); }

    void Prepara() override
    {
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
        // The first read of the file. A file that is no database says so
        // here. A file another program holds in rollback-journal mode stays
        // in it for this run (the next one turns it), so that a load waits
        // for the write lock like on a write-ahead log; read-only media are
        // no reason to refuse it either.
        if (!q.exec(QStringLiteral("PRAGMA journal_mode=WAL"))) {
            const ErroreRun errore = Errore(q.lastError());
            if (errore.numero() == CodiciErrore::DatabaseDanneggiato)
                throw errore;
        }
        q.exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
        // A load commits every few thousand rows: copying the log back into
        // the file (and syncing it) after each commit would cost the writer
        // more than its writes. A thread of its own copies it (see
        // TrascrittoreLog); without one, the writer copies the log once it
        // passes 64 MB, and on closing.
        q.exec(QStringLiteral("PRAGMA wal_autocheckpoint=16384"));
        // A 16 MB page cache keeps a large table's key index in memory while
        // a load grows it (the default 2 MB made a million-line load a fifth
        // slower); memory stays bounded by it.
        q.exec(QStringLiteral("PRAGMA cache_size=-16384"));
        // Read once so that the log and its index are open and locked now.
        q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master"));
        q.finish();
        m_controlloFile = std::make_unique<ControlloFileDitta>(m_sqlite);
        if (m_sqlite && sqlite3_db_readonly(m_sqlite, "main") == 0)
            m_trascrittore = std::make_unique<TrascrittoreLog>(m_sqlite);
    }

    sqlite3* Sqlite() const override { return m_sqlite; }
    QString FileScollegato() const override { return m_controlloFile ? m_controlloFile->Stato() : QString(); }

    // The write lock at once: a load's next batch never finds another
    // writer in the middle of its work.
    bool IniziaTransazione() override
    {
        QSqlQuery inizio(Database());
        return inizio.exec(QStringLiteral("BEGIN IMMEDIATE"));
    }

    bool TentaScrittura(const QString&, bool& inTransazione) override
    {
        QSqlQuery q(Database());
        if (!inTransazione) {
            m_link.ControllaFileDitta();
            if (q.exec(QStringLiteral("BEGIN IMMEDIATE"))) {  // the load's first batch
                inTransazione = true;
                return true;
            }
        } else if (q.exec(QStringLiteral("DELETE FROM ErroriQuivamento WHERE 0 = 1"))) {
            return true;  // a trial's transaction is open: its first write takes the lock
        }
        const ErroreRun errore = Errore(q.lastError());
        if (errore.numero() == CodiciErrore::DatabaseInUso)
            return false;
        throw errore;
    }

    // A try already waits a quarter of a second; later statements of the
    // load wait as long as the caller would for a lock.
    int AttesaTentativi(int millisecondi) override
    {
        if (m_sqlite)
            sqlite3_busy_timeout(m_sqlite, millisecondi < 0 ? 250 : std::max(millisecondi, 5000));
        return 250;
    }

    // The extended result code tells the kind of failure.
    ErroreRun Errore(const QSqlError& errore) const override
    {
        const QString testo = errore.text().trimmed();
        // The driver leaves the code out of some failures (a commit): the
        // connection still holds it.
        bool letto = false;
        int codice = errore.nativeErrorCode().toInt(&letto);
        if ((!letto || codice == 0) && m_sqlite)
            codice = sqlite3_extended_errcode(m_sqlite);
        switch (codice & 0xff) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return ErroreRun(CodiciErrore::DatabaseInUso,
                             QStringLiteral("Database in uso da un altro programma (%1)").arg(testo));
        case SQLITE_FULL:
            return ErroreRun(CodiciErrore::DiscoPieno,
                             QStringLiteral("Spazio esaurito per il database (%1)").arg(errore.databaseText()));
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB: return ErroreRun(CodiciErrore::DatabaseDanneggiato, TestoDriverItaliano(testo));
        case SQLITE_CONSTRAINT:
            if (codice == SQLITE_CONSTRAINT_UNIQUE || codice == SQLITE_CONSTRAINT_PRIMARYKEY)
                return ErroreRun(
                    CodiciErrore::ChiaveDoppia,
                    QStringLiteral("Valore duplicato in un indice univoco (%1)").arg(errore.databaseText()));
            break;
        case SQLITE_ERROR:
            // SQLite gives an unknown column no code of its own: its
            // statement compiler's wording is the only sign.
            if (errore.databaseText().startsWith(QLatin1String("no such column"))
                || errore.databaseText().contains(QLatin1String("has no column named")))
                return ErroreRun(CodiciErrore::CampoInesistente, TestoDriverItaliano(testo));
            break;
        default: break;
        }
        return ErroreRun(CodiciErrore::ErroreDatabase, TestoDriverItaliano(testo));
    }

    QString Traduci(const QString& sqlJet, QList<ColonnaConfrontata>*) override
    {
        return TraduciJet(sqlJet, DialettoDb::Sqlite);
    }
    QString Quota(const QString& nome) const override { return QLatin1Char('[') + nome + QLatin1Char(']'); }

    bool EsisteTabella(const QString& tabella) override
    {
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

    SchemaTabella LeggiSchema(const QString& tabella) override
    {
        SchemaTabella schema;
        schema.nome = tabella;
        QSqlQuery q(Database());
        q.prepare(QStringLiteral("SELECT name, type, pk FROM pragma_table_info(?)"));
        q.addBindValue(tabella);
        if (!q.exec())
            throw Errore(q.lastError());
        while (q.next()) {
            const QString tipo = q.value(1).toString();
            schema.colonne.push_back({q.value(0).toString(), DimensioneDichiarata(tipo), TipoTesto(tipo),
                                      TipoData(tipo), q.value(2).toInt()});
            DescriviGenere(schema.colonne.back(), tipo, true);
        }
        return schema;
    }

    QStringList IdentitaRiga(const QString&) override { return {QStringLiteral("rowid")}; }
    bool IdentitaFissa() const override { return true; }

    // A case-free index named "quiva_nocase_..." when no index can serve the
    // columns' look-ups.
    void IndiceSenzaMaiuscole(const QString& tabella, const QStringList& colonne) override
    {
        if (colonne.isEmpty() || IndiceEsiste(tabella, colonne))
            return;
        QStringList definizione;
        for (const QString& c : colonne)
            definizione << QLatin1Char('[') + c + QStringLiteral("] COLLATE NOCASE");
        const QString nome =
            QStringLiteral("quiva_nocase_") + tabella + QLatin1Char('_') + colonne.join(QLatin1Char('_'));
        QSqlQuery q(Database());
        if (!q.exec(QStringLiteral("CREATE INDEX IF NOT EXISTS [%1] ON [%2] (%3)")
                        .arg(nome, tabella, definizione.join(QStringLiteral(", ")))))
            qWarning("Indice %s non creato: %s", qPrintable(nome), qPrintable(q.lastError().text()));
    }

    std::unique_ptr<Comando> NuovoComando(const QString& sql) override
    {
        if (m_sqlite)
            return NuovoComandoSqlite(m_link, m_sqlite, sql);
        return NuovoComandoQt(m_link, sql);
    }

private:
    // True when an index of the table starts with exactly these columns (in
    // any order), each compared without case.
    bool IndiceEsiste(const QString& tabella, const QStringList& colonne) const
    {
        QSqlQuery q(Database());
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

    sqlite3* m_sqlite = nullptr;
    std::unique_ptr<ControlloFileDitta> m_controlloFile;
    std::unique_ptr<TrascrittoreLog> m_trascrittore;  // before the connection closes
};

}  // namespace

std::unique_ptr<MotoreDatabase> NuovoMotoreSqlite(DatabaseLink& link, const QString& nome)
{
    return std::make_unique<MotoreSqlite>(link, nome);
}

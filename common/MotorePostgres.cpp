// The company database on a PostgreSQL server, through QtSql's native driver
// and, for bulk writes, libpq on the driver's own connection.
#include "CatalogoNomi.h"
#include "Comando.h"
#include "FunzioniJetPostgres.h"
#include "FunzioniPq.h"
#include "MotoreDatabase.h"
#include "SchemaColonne.h"
#include "ScrittureRaccolte.h"
#include "TestiDriver.h"
#include "TestoServer.h"
#include "TraduttoreJet.h"

#include <QCryptographicHash>
#include <QHash>
#include <QSet>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <optional>
#include <utility>

namespace {

// The server's notices ("already exists, skipping") are no news for users.
void SenzaAvvisi(void*, const char*) { }

class MotorePostgres : public MotoreDatabase {
public:
    MotorePostgres(DatabaseLink& link, QString nome) : MotoreDatabase(link, std::move(nome)) { }

    void Prepara() override
    {
        const QVariant handle = Database().driver()->handle();
        if (handle.isValid()
            && (qstrcmp(handle.typeName(), "PGconn*") == 0 || qstrcmp(handle.typeName(), "pg_conn*") == 0))
            m_pg = *static_cast<PGconn* const*>(handle.data());
        m_pq = m_pg ? FunzioniPq::Carica() : nullptr;
        if (!m_pq)
            m_pg = nullptr;  // no bulk writes: rows go as statements
        if (m_pg)
            m_pq->setNoticeProcessor(m_pg, SenzaAvvisi, nullptr);
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
    }

    ErroreRun Errore(const QSqlError& errore) const override
    {
        const QString testo =
            errore.databaseText().trimmed().isEmpty() ? errore.text().trimmed() : errore.databaseText().trimmed();
        return ErroreStato(errore.nativeErrorCode(), testo);
    }

    QString Traduci(const QString& sqlJet, QList<ColonnaConfrontata>* confrontate) override
    {
        return TraduciJet(sqlJet, DialettoDb::Postgres, &Catalogo(), confrontate);
    }

    QString Quota(const QString& nome) const override
    {
        return QLatin1Char('"') + QString(nome).replace(QLatin1String("\""), QLatin1String("\"\"")) + QLatin1Char('"');
    }

    // A server compares text without case through the data layer.
    QString Creazione(const QString& ddl) const override
    {
        return QString(ddl)
            .remove(QStringLiteral(" COLLATE NOCASE"))
            .replace(QStringLiteral("[Default]"), QStringLiteral("\"Default\""));
    }

    bool EsisteTabella(const QString& tabella) override { return Catalogo().Tabella(tabella) != nullptr; }

    SchemaTabella LeggiSchema(const QString& tabella) override
    {
        Libera();
        const QString* nome = Catalogo().Tabella(tabella);
        if (!nome)
            throw ErroreRun(CodiciErrore::ErroreDatabase,
                            QStringLiteral("La tabella '%1' non esiste nel database").arg(tabella));
        SchemaTabella schema;
        schema.nome = *nome;
        QSqlQuery q(Database());
        q.prepare(
            QStringLiteral("SELECT a.attname, pg_catalog.format_type(a.atttypid, a.atttypmod), "
                           "CASE WHEN a.atttypmod > 4 AND t.typcategory = 'S' THEN a.atttypmod - 4 ELSE 0 END, "
                           "coalesce(array_position(i.indkey::int2[], a.attnum) + 1, 0) "
                           "FROM pg_catalog.pg_attribute a JOIN pg_catalog.pg_type t ON t.oid = a.atttypid "
                           "LEFT JOIN pg_catalog.pg_index i ON i.indrelid = a.attrelid AND i.indisprimary "
                           "WHERE a.attrelid = ?::regclass AND a.attnum > 0 AND NOT a.attisdropped ORDER BY a.attnum"));
        q.addBindValue(Quota(*nome));
        if (!q.exec())
            throw Errore(q.lastError());
        while (q.next()) {
            const QString tipo = q.value(1).toString();
            schema.colonne.push_back(
                {q.value(0).toString(), q.value(2).toInt(), TipoTesto(tipo), TipoData(tipo), q.value(3).toInt()});
            DescriviGenere(schema.colonne.back(), tipo, false);
        }
        return schema;
    }

    void DimenticaSchema() override { m_catalogo.reset(); }

    QStringList IdentitaRiga(const QString& tabella) override
    {
        QStringList identita;
        for (const QString& colonna : m_link.ColonnePrimarie(tabella))
            identita << Quota(colonna);
        return identita;
    }
    bool IdentitaFissa() const override { return false; }

    // Look-ups by key compare lower(column) = lower(value): the index for
    // them comes from IndiciConfronti when their statement is prepared.
    void IndiceSenzaMaiuscole(const QString&, const QStringList&) override { }

    // One index per table over the lower-case form of the columns its
    // look-ups compare. A new index has no statistics: the server would then
    // guess that a key matches hundreds of rows and read each look-up's rows
    // through a bitmap, more than twice as slow as through the index alone, so
    // the table is analysed once the index is made. Each step is best effort.
    void IndiciConfronti(const QList<ColonnaConfrontata>& colonne) override
    {
        Libera();
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
            const QString nome =
                QStringLiteral("quiva_ci_")
                + QString::fromLatin1(
                    QCryptographicHash::hash(chiave.toUtf8(), QCryptographicHash::Md5).toHex().left(16));
            if (EsisteRelazione(nome))
                continue;
            if (TentaIstruzione(QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2 (%3)")
                                    .arg(nome, Quota(it.key()), espressioni.join(QStringLiteral(", ")))))
                TentaIstruzione(QStringLiteral("ANALYZE ") + Quota(it.key()));
        }
    }

    std::unique_ptr<Comando> NuovoComando(const QString& sql) override { return NuovoComandoQt(m_link, sql); }

    bool RaccoglieRighe() const override { return true; }

    // New rows go by COPY in text form, on the connection's own transaction.
    // libpq sends what is queued whenever some kilobytes are waiting, so the
    // server is writing rows while the load reads the next lines.
    bool ApriCopia(const FormaRighe& forma) override
    {
        if (forma.copia.isEmpty() || !m_pg || forma.valori <= 0)
            return false;
        AttendiInviato();
        PGresult* inizio = m_pq->exec(m_pg, forma.copia.toUtf8().constData());
        if (m_pq->resultStatus(inizio) != PGRES_COPY_IN) {
            const ErroreRun errore = ErroreRisultato(inizio);
            m_pq->clear(inizio);
            throw errore;
        }
        m_pq->clear(inizio);
        m_copiaAperta = true;
        return true;
    }

    void AggiungiACopia(ValoriRiga valori) override
    {
        m_riga.truncate(0);  // keeps its room: clear() would free it
        for (size_t v = 0; v < valori.size(); ++v) {
            AggiungiValoreCopia(m_riga, *valori[v]);
            m_riga += v + 1 == valori.size() ? '\n' : '\t';
        }
        if (m_pq->putCopyData(m_pg, m_riga.constData(), static_cast<int>(m_riga.size())) != 1)
            throw ErroreRisultato(nullptr);
    }

    void ChiudiCopia() override { FineCopia(nullptr); }
    void AbbandonaCopia() override
    {
        try {
            FineCopia("righe non inviate");
        } catch (const ErroreRun&) {
            // refused, as asked
        }
    }

    bool InviaSenzaAttesa(const QString& sql, const std::vector<QByteArray>& testi) override
    {
        const QStringList parti = PartiTraSegni(sql);
        if (!m_pg || m_copiaAperta || parti.size() != static_cast<qsizetype>(testi.size()) + 1)
            return false;
        AttendiInviato();
        QString numerata = parti.front();
        std::vector<const char*> valori;
        std::vector<int> lunghezze;
        for (size_t i = 0; i < testi.size(); ++i) {
            numerata += QLatin1Char('$') + QString::number(i + 1) + parti[static_cast<qsizetype>(i) + 1];
            valori.push_back(testi[i].constData());
            lunghezze.push_back(static_cast<int>(testi[i].size()));
        }
        // Texts, typed by the statement's own casts.
        if (m_pq->sendQueryParams(m_pg, numerata.toUtf8().constData(), static_cast<int>(testi.size()), nullptr,
                                  valori.data(), lunghezze.data(), nullptr, 0)
            != 1)
            throw ErroreRisultato(nullptr);
        m_inviato = true;
        return true;
    }

    void AttendiInviato() override
    {
        if (!std::exchange(m_inviato, false))
            return;
        if (std::optional<ErroreRun> errore = EsitoInAttesa())
            throw *errore;
    }
    void AbbandonaInviato() override
    {
        if (std::exchange(m_inviato, false))
            EsitoInAttesa();
    }

    // Loads of different definitions still run side by side: the lock is
    // named after the load.
    bool TentaScrittura(const QString& nome, bool&) override
    {
        Libera();
        QSqlQuery q(Database());
        q.prepare(QStringLiteral("SELECT pg_try_advisory_lock(1903, hashtext(lower(?)))"));
        q.addBindValue(nome);
        if (q.exec() && q.next())
            return q.value(0).toBool();
        const ErroreRun errore = Errore(q.lastError());
        if (errore.numero() == CodiciErrore::DatabaseInUso)
            return false;
        throw errore;
    }
    void LasciaScrittura(const QString& nome) override
    {
        Libera();
        QSqlQuery q(Database());
        q.prepare(QStringLiteral("SELECT pg_advisory_unlock(1903, hashtext(lower(?)))"));
        q.addBindValue(nome);
        q.exec();  // a lost connection has let it go already
    }

    void FineProva() override { m_indici.clear(); }  // an index made during the trial goes with it

    bool SalvataggiNecessari() const override { return true; }
    void Salvataggio(const char* azione) override
    {
        Libera();
        if (!m_salvataggio)
            m_salvataggio.emplace(Database());
        if (!m_salvataggio->exec(QLatin1String(azione)))
            throw Errore(m_salvataggio->lastError());
    }

private:
    // Whatever else uses the connection first sends the block that holds
    // the open copy.
    void Libera()
    {
        if (m_copiaAperta || m_inviato)
            m_link.InviaRaccolte();
        AttendiInviato();  // outside a block too
    }

    bool EsisteRelazione(const QString& nome)
    {
        QSqlQuery q(Database());
        q.prepare(QStringLiteral("SELECT to_regclass(?) IS NOT NULL"));
        q.addBindValue(nome);
        return q.exec() && q.next() && q.value(0).toBool();
    }

    // Inside a transaction, under a savepoint: a refusal (a table the user
    // may not index) costs nothing but the statement.
    bool TentaIstruzione(const QString& sql)
    {
        QSqlQuery q(Database());
        const bool inTransazione = m_link.InTransazione();
        if (inTransazione)
            q.exec(QStringLiteral("SAVEPOINT quiva_indice"));
        const bool fatto = q.exec(sql);
        if (inTransazione)
            q.exec(fatto ? QStringLiteral("RELEASE SAVEPOINT quiva_indice")
                         : QStringLiteral("ROLLBACK TO SAVEPOINT quiva_indice"));
        return fatto;
    }

    // Ends the open copy, refused with the reason given; raises the
    // server's refusal.
    void FineCopia(const char* rifiuto)
    {
        if (!std::exchange(m_copiaAperta, false))
            return;
        m_pq->putCopyEnd(m_pg, rifiuto);
        if (std::optional<ErroreRun> errore = EsitoInAttesa())
            throw *errore;
    }

    // Reads the outcome of what was sent, to its end: the server's first
    // refusal, if any.
    std::optional<ErroreRun> EsitoInAttesa()
    {
        std::optional<ErroreRun> errore;
        while (PGresult* esito = m_pq->getResult(m_pg)) {
            if (m_pq->resultStatus(esito) != PGRES_COMMAND_OK && !errore)
                errore = ErroreRisultato(esito);
            m_pq->clear(esito);
        }
        return errore;
    }

    // The server's SQLSTATE gives the number callers test.
    static ErroreRun ErroreStato(const QString& codice, const QString& testo)
    {
        if (codice == QLatin1String("23505"))
            return ErroreRun(CodiciErrore::ChiaveDoppia,
                             QStringLiteral("Valore duplicato in un indice univoco (%1)").arg(testo));
        if (codice == QLatin1String("22001"))
            return ErroreRun(CodiciErrore::ValoreTroppoGrande, testo);
        if (codice == QLatin1String("42703"))
            return ErroreRun(CodiciErrore::CampoInesistente, TestoDriverItaliano(testo));
        if (codice == QLatin1String("53100"))
            return ErroreRun(CodiciErrore::DiscoPieno,
                             QStringLiteral("Spazio esaurito per il database (%1)").arg(testo));
        // As on a file: only a duplicate key makes a line try again as a change.
        return ErroreRun(CodiciErrore::ErroreDatabase, TestoDriverItaliano(testo));
    }

    ErroreRun ErroreRisultato(const PGresult* esito) const
    {
        const char* stato = esito ? m_pq->resultErrorField(esito, PG_DIAG_SQLSTATE) : nullptr;
        const char* messaggio = esito ? m_pq->resultErrorMessage(esito) : m_pq->errorMessage(m_pg);
        return ErroreStato(QString::fromLatin1(stato ? stato : ""), QString::fromUtf8(messaggio).trimmed());
    }

    // Tables and columns of the server, read once until the schema is
    // forgotten.
    const CatalogoNomi& Catalogo()
    {
        if (m_catalogo)
            return *m_catalogo;
        Libera();
        CatalogoNomi catalogo;
        QSqlQuery q(Database());
        q.setForwardOnly(true);
        // Every table and view the connection sees without a schema prefix.
        if (!q.exec(QStringLiteral(
                "SELECT c.relname, a.attname, t.typcategory = 'S' FROM pg_catalog.pg_class c "
                "JOIN pg_catalog.pg_attribute a ON a.attrelid = c.oid AND a.attnum > 0 AND NOT a.attisdropped "
                "JOIN pg_catalog.pg_type t ON t.oid = a.atttypid "
                "WHERE c.relkind IN ('r', 'v', 'm', 'p', 'f') AND pg_catalog.pg_table_is_visible(c.oid)")))
            throw Errore(q.lastError());
        while (q.next()) {
            const QString tabella = q.value(0).toString();
            const QString colonna = q.value(1).toString();
            catalogo.tabelle.insert(tabella.toLower(), tabella);
            catalogo.colonne[tabella.toLower()].insert(colonna.toLower(), {colonna, q.value(2).toBool()});
        }
        m_catalogo = std::move(catalogo);
        return *m_catalogo;
    }

    PGconn* m_pg = nullptr;
    const FunzioniPq* m_pq = nullptr;
    bool m_copiaAperta = false;
    bool m_inviato = false;  // a statement sent without waiting, its outcome not read yet
    QByteArray m_riga;  // a copy's line, reused
    std::optional<CatalogoNomi> m_catalogo;
    QSet<QString> m_indici;  // lower-case indexes already ensured
    std::optional<QSqlQuery> m_salvataggio;
};

}  // namespace

std::unique_ptr<MotoreDatabase> NuovoMotorePostgres(DatabaseLink& link, const QString& nome)
{
    return std::make_unique<MotorePostgres>(link, nome);
}

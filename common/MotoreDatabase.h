#pragma once
// What differs between the two engines a company database lives in: an
// SQLite file and a PostgreSQL server. DatabaseLink owns one back end and
// asks it; nothing else in the program knows which engine is behind.
#include "DatabaseLink.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <memory>
#include <span>
#include <vector>

class Comando;
class QSqlError;
struct sqlite3;
struct ColonnaConfrontata;
struct FormaRighe;

class MotoreDatabase {
public:
    virtual ~MotoreDatabase() = default;

    // Tuning and the program's functions, once the connection is open.
    virtual void Prepara() = 0;
    // An engine's failure as a run-time error with its normalised number,
    // read from the engine's own code (result code, SQLSTATE).
    virtual ErroreRun Errore(const QSqlError& errore) const = 0;

    // Jet to the engine's SQL, without side effects; the text columns a
    // statement compares with "=" are appended to confrontate where the
    // engine needs an index of its own for them.
    virtual QString Traduci(const QString& sqlJet, QList<ColonnaConfrontata>* confrontate) = 0;
    virtual QString Quota(const QString& nome) const = 0;
    // A CREATE TABLE written for the file database, for this engine.
    virtual QString Creazione(const QString& ddl) const { return ddl; }

    virtual bool EsisteTabella(const QString& tabella) = 0;
    virtual SchemaTabella LeggiSchema(const QString& tabella) = 0;
    virtual void DimenticaSchema() { }

    // What names one row of a table in a later statement: "rowid", or the
    // primary key's columns (which move with the row when changed).
    virtual QStringList IdentitaRiga(const QString& tabella) = 0;
    virtual bool IdentitaFissa() const = 0;

    // Indexes that keep case-free look-ups fast; best effort.
    virtual void IndiceSenzaMaiuscole(const QString& tabella, const QStringList& colonne) = 0;
    virtual void IndiciConfronti(const QList<ColonnaConfrontata>& colonne) { Q_UNUSED(colonne); }

    virtual std::unique_ptr<Comando> NuovoComando(const QString& sql) = 0;

    // Server engines gather a block's rows and send them together.
    virtual bool RaccoglieRighe() const { return false; }
    // New rows of one table in bulk, sent as they come so that the server
    // writes them while the load goes on. ApriCopia begins one (false when
    // the engine has no bulk form for forma), AggiungiACopia queues a row,
    // ChiudiCopia ends it; the last two raise ErroreRun when the server
    // refused a row. Nothing else may use the connection while one is open;
    // AbbandonaCopia ends it refused, writing none of its rows.
    virtual bool ApriCopia(const FormaRighe& forma)
    {
        Q_UNUSED(forma);
        return false;
    }
    virtual void AggiungiACopia(ValoriRiga valori) { Q_UNUSED(valori); }
    virtual void ChiudiCopia() { }
    virtual void AbbandonaCopia() { }

    // A statement sent without waiting for its outcome, each marker taking
    // one of testi (UTF-8): the server runs it while the load goes on. False
    // when the engine cannot. Until AttendiInviato (which raises the
    // server's refusal) or AbbandonaInviato, nothing else may use the
    // connection.
    virtual bool InviaSenzaAttesa(const QString& sql, const std::vector<QByteArray>& testi)
    {
        Q_UNUSED(sql);
        Q_UNUSED(testi);
        return false;
    }
    virtual void AttendiInviato() { }
    virtual void AbbandonaInviato() { }

    virtual sqlite3* Sqlite() const { return nullptr; }
    // Why the connection can no longer write safely; empty when all is well.
    virtual QString FileScollegato() const { return {}; }
    // Begins the transaction of a batch; false when refused.
    virtual bool IniziaTransazione() { return Database().transaction(); }
    // One try at a load's write lock (see DatabaseLink::PrendiScrittura);
    // may begin the transaction. False when another program holds it.
    virtual bool TentaScrittura(const QString& nome, bool& inTransazione) = 0;
    virtual void LasciaScrittura(const QString& nome) { Q_UNUSED(nome); }
    // How long the engine waits on a lock in each try (-1 while trying,
    // the caller's full wait after); the pause between tries, in ms.
    virtual int AttesaTentativi(int millisecondi)
    {
        Q_UNUSED(millisecondi);
        return 500;
    }
    // A trial ended: what was made during it is gone.
    virtual void FineProva() { }

    // A failed statement inside a transaction undoes only itself: engines
    // that would abort the whole transaction mark a savepoint before it.
    virtual bool SalvataggiNecessari() const { return false; }
    virtual void Salvataggio(const char* azione) { Q_UNUSED(azione); }

    QSqlDatabase Database() const { return QSqlDatabase::database(m_nome, false); }

protected:
    MotoreDatabase(DatabaseLink& link, QString nome) : m_link(link), m_nome(std::move(nome)) { }
    DatabaseLink& m_link;
    QString m_nome;
};

std::unique_ptr<MotoreDatabase> NuovoMotoreSqlite(DatabaseLink& link, const QString& nome);
std::unique_ptr<MotoreDatabase> NuovoMotorePostgres(DatabaseLink& link, const QString& nome);

#pragma once
// A prepared statement of the data access layer, executed many times with
// new values. On an SQLite file it runs on the engine's own statement API
// (the hot path of a load binds and steps millions of times); on a server it
// runs through QtSql's native driver.
#include <QString>
#include <QVariant>
#include <memory>

class DatabaseLink;
struct sqlite3;

class Comando {
public:
    virtual ~Comando() = default;
    virtual void Lega(int indice, const QVariant& valore) = 0;  // 0-based
    // Runs the statement with the values bound; raises ErroreRun.
    virtual void Esegui() = 0;
    // The same inside an open block, which it leaves open (see
    // DatabaseLink::EseguiInizioBlocco).
    virtual void EseguiNelBlocco() { Esegui(); }
    // Next row of a query; false at the end.
    virtual bool Successivo() = 0;
    virtual int NumeroColonne() const = 0;
    virtual QString NomeColonna(int colonna) const = 0;
    virtual QVariant Valore(int colonna) const = 0;
    // Releases the rows so that the statement can run again.
    virtual void Termina() = 0;

    // sql is already in the engine's dialect. Raises ErroreRun.
    static std::unique_ptr<Comando> Prepara(DatabaseLink& db, const QString& sql);
};

// The two kinds, for the back ends: on an SQLite file's own handle, and
// through QtSql.
std::unique_ptr<Comando> NuovoComandoSqlite(DatabaseLink& db, sqlite3* connessione, const QString& sql);
std::unique_ptr<Comando> NuovoComandoQt(DatabaseLink& db, const QString& sql);

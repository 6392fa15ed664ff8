#pragma once
// A company database in a temporary folder, a message window that records
// what it is shown, and short ways to write load definitions and source files.
#include "DatabaseLink.h"
#include "FinestraMessaggi.h"
#include "StampaQt.h"

#include <QSqlQuery>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantMap>
#include <deque>
#include <memory>

class MessaggiRegistrati : public FinestraMessaggi {
public:
    QStringList testi;
    std::deque<int> risposte;  // answers to give, then 1
    int msgCom(const QString& testo, const QStringList&) override
    {
        testi << testo;
        if (risposte.empty())
            return 1;
        const int r = risposte.front();
        risposte.pop_front();
        return r;
    }
};

// The company database of a test: an SQLite file in the given folder, or,
// when QUIVA_PROVA_ODBC holds a connection text (scripts/server-prova.sh sets
// it), a schema of its own on that server, dropped when the test ends.
class DatabaseProva {
public:
    explicit DatabaseProva(const QString& cartella);
    ~DatabaseProva();
    static bool SuServer();
    DatabaseLink& Db() { return *m_db; }
    DatabaseLink* operator->() { return m_db.get(); }
    DatabaseLink* get() { return m_db.get(); }
    // How quiva-load names this company: "--db <file>", or on the server
    // "--connect <uri>" whose options put the test's schema first.
    QStringList ArgomentiDitta() const;
    // A statement of the tests (Jet dialect, "rowid" for insertion order) in
    // the engine's SQL.
    QString Sql(const QString& sql);

private:
    std::unique_ptr<DatabaseLink> m_db;
    QString m_file;
    QString m_schema;
};

class AmbienteProva {
public:
    AmbienteProva();
    QString Percorso(const QString& nome) const { return m_cartella.filePath(nome); }
    DatabaseLink& Db() { return m_db.Db(); }
    QStringList ArgomentiDitta() const { return m_db.ArgomentiDitta(); }

    // Runs statements (engine dialect), failing the test on error.
    void Sql(const QString& sql);
    // Every row of a query, each as its columns joined with "|".
    QStringList Righe(const QString& sql);
    QVariant Valore(const QString& sql);
    // Holds the write lock a load of the definition takes, as another
    // program's load would, until LiberaScrittura.
    void OccupaScrittura(const QString& codice);
    void LiberaScrittura(const QString& codice);

    // A QuivaFile row; columns not given stay null.
    void Definizione(const QString& codice, const QVariantMap& colonne);
    // A QuivaDettaglio row.
    void Campo(const QString& codice, const QVariantMap& colonne);
    void Decodifica(const QString& codice, const QString& tabella, const QString& campo, const QString& da,
                    const QString& a);
    // Writes a source file in the temporary folder and gives its full path.
    QString FileSorgente(const QString& nome, const QByteArray& contenuto);

private:
    void Inserisci(const QString& tabella, const QVariantMap& colonne);
    QTemporaryDir m_cartella;
    DatabaseProva m_db {m_cartella.path()};
};

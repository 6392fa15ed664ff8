#pragma once
// The one open connection to the company database. Every difference between
// the database engines (SQLite file, data source through ODBC) stays here and
// in RecordsetManager: callers speak the Jet dialect that definitions store.
#include "CatalogoNomi.h"
#include "ErroreRun.h"
#include "TraduttoreJet.h"

#include <QElapsedTimer>
#include <QHash>
#include <QSet>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <optional>
#include <vector>

class Comando;
class QSqlError;
class QSqlQuery;
class ScrittureRaccolte;
struct FormaRighe;
struct sqlite3;

enum class DialettoDb { Sqlite, Postgres, Odbc };
enum class LivelloIsolamento { LetturaNonConfermata, LetturaConfermata };

// What a column's declared type lets it hold, as far as loading values cares.
enum class GenereColonna : quint8 {
    Testo,
    Intero,    // whole numbers within the bounds below
    Decimale,  // fixed point: cifre digits, decimali of them after the point (0 cifre: any)
    Reale,     // floating point; cifre 7 for single precision
    Data,
    Altro,     // anything else (yes/no, binary...): values go as they are
};

// Declared shape of one column of a table.
struct ColonnaSchema {
    QString nome;
    int dimensione = 0;       // declared size of a text column, 0 when none
    bool testo = true;        // text affinity (else numeric or date)
    bool data = false;        // declared as a date or time
    int posizioneChiave = 0;  // 1-based position in the primary key, 0 if not part of it
    GenereColonna genere = GenereColonna::Testo;
    int cifre = 0;
    int decimali = 0;
    qint64 minimo = 0, massimo = 0;  // of a whole-number column
};

struct SchemaTabella {
    QString nome;
    std::vector<ColonnaSchema> colonne;
    const ColonnaSchema* Colonna(const QString& nome) const;
};

class DatabaseLink {
public:
    // A database file (SQLite); created when missing.
    static std::unique_ptr<DatabaseLink> ApriFile(const QString& percorso);
    // A data source: an "ODBC;..." text or a DSN name, already composed.
    static std::unique_ptr<DatabaseLink> ApriOdbc(const QString& connessione);
    ~DatabaseLink();
    DatabaseLink(const DatabaseLink&) = delete;
    DatabaseLink& operator=(const DatabaseLink&) = delete;

    QSqlDatabase Database() const;
    // The SQLite connection behind a database file, null for data sources.
    sqlite3* Sqlite() const { return m_sqlite; }
    DialettoDb Dialetto() const { return m_dialetto; }
    const QString& NomeConnessione() const { return m_nome; }

    // Jet statement to the engine's own SQL. On a server, the text columns
    // a statement compares with "=" get a lower-case index of the program's
    // the first time, so that case-free look-ups keep using an index.
    QString Traduci(const QString& sqlJet);
    // A table or column name as the engine takes it verbatim.
    QString Quota(const QString& nome) const;
    // Runs one action statement (Jet dialect); raises ErroreRun on failure.
    void Esegui(const QString& sqlJet);
    // Runs one statement with bound values ("?" markers); the statement is
    // prepared once per text and kept.
    void EseguiParametri(const QString& sql, const QVariantList& valori);

    // Schema, cached per table name (case ignored). Raises ErroreRun when the
    // table does not exist.
    const SchemaTabella& Schema(const QString& tabella) { return *SchemaCondiviso(tabella); }
    // The same, kept alive for as long as the caller holds it.
    std::shared_ptr<const SchemaTabella> SchemaCondiviso(const QString& tabella);
    // Raises ErroreRun when the database cannot be read (locked, damaged).
    bool EsisteTabella(const QString& tabella);
    int DimensioneColonna(const QString& tabella, const QString& colonna);
    QStringList ColonnePrimarie(const QString& tabella);
    void DimenticaSchema();
    // Keeps look-ups by these columns on an index although they ignore case:
    // on SQLite a case-free index named "quiva_nocase_..." is created when no
    // index can serve them. Best effort: a failure leaves the look-up slower,
    // never wrong.
    void IndiceSenzaMaiuscole(const QString& tabella, const QStringList& colonne);

    // Error of the database as a run-time error with its normalised number.
    ErroreRun Errore(const QSqlError& errore) const;
    // The same for a failed query, with the data source's SQLSTATE.
    ErroreRun Errore(const QSqlQuery& query) const;

    // Batched writes: one transaction spans many lines of a load.
    void IniziaTransazione();
    void ConfermaTransazione();
    // Drops every write since IniziaTransazione.
    void AnnullaTransazione();
    bool InTransazione() const { return m_inTransazione; }
    // Isolation of the transactions that follow, on a server source.
    void ImpostaIsolamento(LivelloIsolamento livello);
    // A trial: from here to AnnullaProva every statement runs in one
    // transaction that no commit ends and that is rolled back at the end.
    void IniziaProva();
    void AnnullaProva();
    bool InProva() const { return m_prova; }

    // A block of a load's lines on a server, inside the load's transaction:
    // the rows that record sets add are gathered, and sent in one statement
    // when the block closes or before any other statement, which also closes
    // it (the rest of that line is written as it comes). So, while a block is
    // open, nothing else has been written since it began, and a refusal of
    // its rows writes none of them: BloccoDaRipetere is raised and the caller
    // runs the block's lines again one by one. IniziaBlocco is false where
    // nothing is gathered (a database file, no transaction, a block open).
    bool IniziaBlocco();
    void ChiudiBlocco();
    bool BloccoAperto() const { return m_bloccoAperto; }
    // Gathers one row of a statement while a block is open, with a value per
    // marker; a change names the row it changes (see ScrittureRaccolte). False
    // when the caller must write the row itself (no block open, the block
    // closed to keep its statement within bounds, a row changed twice).
    bool RaccogliRiga(const FormaRighe& forma, std::vector<QVariant>&& valori, const QString& identita = {});
    // Closes an open block; every statement of the connection calls it first.
    void InviaRaccolte() { ChiudiBlocco(); }

private:
    DatabaseLink(QString nome, DialettoDb dialetto);
    void Prepara();
    SchemaTabella LeggiSchema(const QString& tabella);
    // Tables and columns of a server, read once until the schema is forgotten.
    const CatalogoNomi& Catalogo();
    void IndiceSenzaMaiuscole(const QList<ColonnaConfrontata>& colonne);
    ErroreRun ErroreServer(const QSqlError& errore, const QString& statoSql) const;

    QString m_nome;
    DialettoDb m_dialetto;
    bool m_inTransazione = false;
    bool m_prova = false;
    QHash<QString, std::shared_ptr<const SchemaTabella>> m_schemi;
    QHash<QString, std::shared_ptr<Comando>> m_comandi;
    sqlite3* m_sqlite = nullptr;
    std::optional<CatalogoNomi> m_catalogo;
    QSet<QString> m_indici;                         // lower-case indexes already ensured
    std::unique_ptr<ScrittureRaccolte> m_raccolte;  // kept across blocks with its statements
    bool m_bloccoAperto = false;
};

// A trial run for as long as it lives: nothing written meanwhile stays.
class ProvaSenzaScritture {
public:
    explicit ProvaSenzaScritture(DatabaseLink& db);
    ~ProvaSenzaScritture();
    ProvaSenzaScritture(const ProvaSenzaScritture&) = delete;
    ProvaSenzaScritture& operator=(const ProvaSenzaScritture&) = delete;

private:
    DatabaseLink& m_db;
};

// Keeps a load's writes in one transaction committed in batches: by count of
// lines and by time, and always when it goes out of scope (end, stop, error).
// A line counts as saved only once the batch holding it is committed: a crash
// loses at most the lines of the open batch, never a committed one.
class LottoScritture {
public:
    explicit LottoScritture(DatabaseLink& db, int righePerLotto = 20000, int millisecondiPerLotto = 2000);
    ~LottoScritture();
    LottoScritture(const LottoScritture&) = delete;
    LottoScritture& operator=(const LottoScritture&) = delete;
    // Called between lines: commits when the batch is full or old enough and
    // no block of lines is open, and then says true.
    bool FineRiga();
    void Conferma();
    // Drops the open batch: a line was left half written.
    void Annulla();

private:
    DatabaseLink& m_db;
    int m_righePerLotto;
    int m_millisecondi;
    int m_righe = 0;
    bool m_dovuta = false;  // a commit waits for the open block to close
    QElapsedTimer m_tempo;
};

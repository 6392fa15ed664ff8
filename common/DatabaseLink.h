#pragma once
// The one open connection to the company database: an SQLite file or a
// PostgreSQL server. What differs between the two lives in its back end
// (MotoreDatabase); callers speak the Jet dialect that definitions store.
#include "ErroreRun.h"
#include "TraduttoreJet.h"

#include <QElapsedTimer>
#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

class Comando;
class IstruzioneProtetta;
class MotoreDatabase;
class QSqlError;
class QSqlQuery;
class ScrittureRaccolte;
struct FormaRighe;
struct sqlite3;

// One row's values, where they are: what is kept of them is copied.
using ValoriRiga = std::span<const QVariant* const>;
// What a column's declared type lets it hold, as far as loading values cares.
enum class GenereColonna : quint8 {
    Testo,
    Intero,    // whole numbers within the bounds below
    Decimale,  // fixed point: cifre digits, decimali of them after the point (0 cifre: any)
    Reale,     // floating point; cifre 7 for single precision
    Data,
    Altro,  // anything else (yes/no, binary...): values go as they are
};

enum class LivelloIsolamento { LetturaNonConfermata, LetturaConfermata };

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
    // A PostgreSQL server, named by any form of ConnessioneServer.h.
    static std::unique_ptr<DatabaseLink> ApriServer(const QString& connessione);
    ~DatabaseLink();
    DatabaseLink(const DatabaseLink&) = delete;
    DatabaseLink& operator=(const DatabaseLink&) = delete;

    QSqlDatabase Database() const;
    // The SQLite connection behind a database file, null on a server.
    sqlite3* Sqlite() const;
    // A server rather than a database file.
    bool SuServer() const { return m_server; }
    const QString& NomeConnessione() const { return m_nome; }
    // Before (and, outside a transaction, after) every write on a database
    // file: raises ErroreRun FileDittaScollegato, from then on, once the file
    // is no longer shared safely with other programs (see FileDitta.h).
    void ControllaFileDitta();

    // Jet statement to the engine's own SQL.
    QString Traduci(const QString& sqlJet);
    // The same for a statement about to be prepared: on a server, the text
    // columns it compares with "=" get a lower-case index of the program's
    // the first time, so that case-free look-ups keep using an index.
    QString TraduciPerEseguire(const QString& sqlJet);
    // A CREATE TABLE written for the file database, for this engine.
    QString Creazione(const QString& ddl) const;
    // What names one row of the table in later statements (quoted names);
    // IdentitaFissa says whether it stays when key columns change.
    QStringList IdentitaRiga(const QString& tabella);
    bool IdentitaFissa() const;
    // Whether a block's rows can be gathered at all (see IniziaBlocco).
    bool RaccoglieRighe() const;
    // A prepared statement of the engine's SQL; raises ErroreRun.
    std::unique_ptr<Comando> NuovoComando(const QString& sql);
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
    ErroreRun Errore(const QSqlQuery& query) const;

    // Batched writes: one transaction spans many lines of a load.
    void IniziaTransazione();
    void ConfermaTransazione();
    // Drops every write since IniziaTransazione.
    void AnnullaTransazione();
    bool InTransazione() const { return m_inTransazione; }
    // The write lock of a load, taken before it changes anything, waiting
    // up to millisecondi for another program to let it go: on a database
    // file the load's transaction begun at once (dropped at each commit and
    // taken again at once by the next batch); on a server an advisory lock
    // named after nome (so that different definitions still load side by
    // side), held until LasciaScrittura. inAttesa is called about twice a
    // second while the lock is held elsewhere, with the seconds waited; when
    // it answers false the wait is given up. False when the lock was not
    // taken: nothing was changed.
    bool PrendiScrittura(const QString& nome, int millisecondi, const std::function<bool(int secondi)>& inAttesa);
    void LasciaScrittura(const QString& nome);
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
    bool RaccogliRiga(const FormaRighe& forma, ValoriRiga valori, const QString& identita = {});
    // Closes an open block; every use of the connection calls it first,
    // since the block's rows may be on their way to the server.
    void InviaRaccolte() { ChiudiBlocco(); }
    // Runs a block's look-ups, made before any of its rows is gathered,
    // inside the block: they begin its savepoint instead of taking one of
    // their own, and a refusal rolls back to it (undoing nothing but them)
    // and leaves the block open. Elsewhere, runs the query as usual.
    void EseguiInizioBlocco(Comando& ricerca);
    // Midway through a block, sends what it gathered so far without waiting
    // (see ScrittureRaccolte::InviaParte); the block stays open. Raises
    // BloccoDaRipetere as RaccogliRiga does.
    void InviaParteBlocco();

private:
    friend class IstruzioneProtetta;
    explicit DatabaseLink(QString nome);
    SchemaTabella LeggiSchema(const QString& tabella);
    [[noreturn]] void AbbandonaBlocco();

    QString m_nome;
    std::unique_ptr<MotoreDatabase> m_motore;
    QString m_fileScollegato;  // why writes are refused, once they are
    bool m_server = false;
    bool m_inTransazione = false;
    bool m_prova = false;
    bool m_protetta = false;  // a statement's savepoint is open
    QHash<QString, std::shared_ptr<const SchemaTabella>> m_schemi;
    QHash<QString, std::shared_ptr<Comando>> m_comandi;
    std::unique_ptr<ScrittureRaccolte> m_raccolte;  // kept across blocks with its statements
    bool m_bloccoAperto = false;
    // The savepoint of the open block's rows, taken with its first row.
    std::unique_ptr<IstruzioneProtetta> m_protezioneBlocco;
};

// One statement that, failing inside a transaction, undoes only itself and
// leaves the transaction usable: on a server, whose transactions a failure
// would otherwise abort, it runs under a savepoint of its own. Statements
// within another protected one share its savepoint.
class IstruzioneProtetta {
public:
    explicit IstruzioneProtetta(DatabaseLink& db);
    ~IstruzioneProtetta();
    IstruzioneProtetta(const IstruzioneProtetta&) = delete;
    IstruzioneProtetta& operator=(const IstruzioneProtetta&) = delete;
    // The statement succeeded: its savepoint goes.
    void Riuscita();

private:
    DatabaseLink* m_db = nullptr;  // null when nothing is protected here
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

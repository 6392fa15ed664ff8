#pragma once
// The rows a load writes on a server, gathered while a block of lines runs and
// sent in one statement: one round trip for many lines instead of one per
// line. A single statement succeeds or fails as a whole, so a refusal leaves
// nothing half written. Used by DatabaseLink only.
#include "DatabaseLink.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

class Comando;
class DatabaseLink;
class MotoreDatabase;

// Gathered rows were refused: none of them was written, and the lines of the
// block must run again one by one, where each failure finds its own line.
// Deliberately not a std::exception, so that the handling of a single line's
// errors lets it through to the loop that owns the block.
struct BloccoDaRipetere { };

// The shape of one gathered statement: inizio, then riga once per row
// (separated by commas), then fine: "INSERT INTO t (a, b) VALUES ", "(?, ?)",
// "" for new rows. Changes use matrici instead.
struct FormaRighe {
    QString inizio;
    QString riga;
    QString fine;
    int valori = 0;  // markers in riga
    QString copia;   // "COPY t (a, b) FROM STDIN" for new rows where a bulk copy can take them
    // A statement with two markers, each bound to all the rows as one array
    // of the table's row type (see MatriceRighe): value m of a row goes to
    // column posti[m] of the first, or posti[m] - colonne of the second.
    QString matrici;
    int colonne = 0;
    std::vector<int> posti;
};

class ScrittureRaccolte {
public:
    // Values one statement may bind, well below what the server accepts.
    static constexpr int MassimoValori = 30000;

    ScrittureRaccolte(DatabaseLink& db, MotoreDatabase& motore);
    ~ScrittureRaccolte();

    // One row of the statement shaped by forma, one value per marker. A
    // change names the row it changes (identita, with its table): a row
    // changed twice is not gathered the second time, since one statement
    // cannot change a row twice; false then, and nothing is added. New rows
    // of the first table that has them go straight into the engine's bulk
    // copy; raises ErroreRun when the server refuses it.
    bool Aggiungi(const FormaRighe& forma, ValoriRiga valori, const QString& identita = {});
    bool Vuote() const { return m_gruppi.empty() && m_copia.isEmpty() && !m_parteInviata; }
    int Valori() const { return m_valori; }
    // Sends every row, each statement's rows in the order they came: new
    // rows in bulk where the engine can, the rest in one statement. Raises
    // ErroreRun; the rows are dropped either way.
    void Invia();
    // Sends the rows gathered so far without waiting, when they are changes
    // only: the server writes them while the block's next lines run. Their
    // outcome is read by Invia, or by the next copy; the block's savepoint
    // still covers them. Raises ErroreRun when a part sent before was refused.
    void InviaParte();
    void Scarta();

private:
    struct Gruppo {
        FormaRighe forma;
        std::vector<QVariant> valori;  // row after row
    };
    Comando& Istruzione();
    QString TestoIstruzione() const;
    std::vector<QByteArray> Matrici() const;

    bool Copia(const FormaRighe& forma, ValoriRiga valori);

    DatabaseLink& m_db;
    MotoreDatabase& m_motore;
    QString m_copia;               // the statement of the bulk copy open, if any
    std::vector<Gruppo> m_gruppi;  // statements in the order of their first row
    int m_valori = 0;
    bool m_parteInviata = false;                            // its outcome not read yet
    QSet<QString> m_cambiate;                               // rows the changes name, of every table
    QHash<QString, std::shared_ptr<Comando>> m_istruzioni;  // by text
};

#pragma once
// The rows a load adds on a server, gathered while a block of lines runs and
// sent in one statement: one round trip for many lines instead of one per
// line. A single statement succeeds or fails as a whole, so a refusal leaves
// nothing half written. Used by DatabaseLink only.
#include <QHash>
#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

class Comando;
class DatabaseLink;

// Gathered rows were refused: none of them was written, and the lines of the
// block must run again one by one, where each failure finds its own line.
// Deliberately not a std::exception, so that the handling of a single line's
// errors lets it through to the loop that owns the block.
struct BloccoDaRipetere { };

class ScrittureRaccolte {
public:
    // Values one statement may bind, well below what the server accepts.
    static constexpr int MassimoValori = 30000;

    explicit ScrittureRaccolte(DatabaseLink& db);
    ~ScrittureRaccolte();

    // One row for "INSERT INTO t (a, b, ...)", one value per column.
    void Aggiungi(const QString& inserimento, const std::vector<QVariant>& valori);
    bool Vuote() const { return m_gruppi.empty(); }
    int Valori() const { return m_valori; }
    // Sends every row in one statement, each table's rows in the order they
    // came. Raises ErroreRun; the rows are dropped either way.
    void Invia();
    void Scarta();

private:
    struct Gruppo {
        QString inserimento;
        int colonne = 0;
        std::vector<QVariant> valori;  // row after row
    };
    Comando& Istruzione();

    DatabaseLink& m_db;
    std::vector<Gruppo> m_gruppi;  // tables in the order of their first row
    int m_valori = 0;
    QHash<QString, std::shared_ptr<Comando>> m_istruzioni;  // by text
};

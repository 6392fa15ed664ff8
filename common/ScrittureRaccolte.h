#pragma once
// The rows a load adds on a server, gathered while a block of lines runs and
// sent as multi-row inserts: one round trip for many lines instead of one
// per line. Used by DatabaseLink only.
#include <QHash>
#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

class Comando;
class DatabaseLink;

// Gathered writes failed: the block's writes are undone and its lines must
// run again one by one, where each failure finds its own line. Deliberately
// not a std::exception, so that the handling of a single line's errors lets
// it through to the loop that owns the block.
struct BloccoDaRipetere {};

class ScrittureRaccolte {
public:
    explicit ScrittureRaccolte(DatabaseLink& db);
    ~ScrittureRaccolte();

    // One row for "INSERT INTO t (a, b, ...)", one value per column.
    void Aggiungi(const QString& inserimento, std::vector<QVariant> valori);
    bool Vuote() const { return m_gruppi.empty(); }
    // Sends every row, each table's rows in the order they came, the tables
    // in the order of their first row. Raises ErroreRun; the rows are
    // dropped either way.
    void Invia();
    void Scarta() { m_gruppi.clear(); }

private:
    struct Gruppo {
        QString inserimento;
        int colonne = 0;
        std::vector<QVariant> valori;  // row after row
    };
    Comando& Istruzione(const Gruppo& gruppo, int righe);

    DatabaseLink& m_db;
    std::vector<Gruppo> m_gruppi;
    QHash<QString, std::shared_ptr<Comando>> m_istruzioni;  // by text
};

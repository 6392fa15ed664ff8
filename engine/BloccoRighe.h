#pragma once
// A load's lines in blocks on a server. The lines of a block are read first
// and their key look-ups made in one query each; then they run, and the rows
// they add or change are gathered and sent together (DatabaseLink::
// IniziaBlocco). When the gathered rows are refused, none of them was
// written; the engine's own state is put back and the lines run again one by
// one, so that every row, error row and duplicate-key retry comes out as line
// by line. On a database file lines simply run one by one.
#include <QString>
#include <QStringList>
#include <functional>

class DatabaseLink;

class BloccoRighe {
public:
    static constexpr int RighePerBlocco = 256;

    // What the block asks of the engine: trattieni keeps what the engine
    // holds for the line just given, which waits at that place of the block;
    // carica runs one line with its own error handling (the line given to
    // Riga, place -1, or a waiting line with its place); salva takes a copy
    // of the engine's state and gives back what puts it back; anticipa looks
    // up ahead the keys of the lines about to run, in their order (null:
    // forget what was looked up).
    struct Motore {
        std::function<void(int posizione)> trattieni;
        std::function<void(const QString& riga, int posizione)> carica;
        std::function<std::function<void()>()> salva;
        std::function<void(const QStringList*)> anticipa;
    };

    BloccoRighe(DatabaseLink& db, Motore motore);

    void Riga(const QString& riga);
    // Runs the lines read and sends what they gathered; call before a commit
    // and at the end.
    void Chiudi();

private:
    DatabaseLink& m_db;
    Motore m_motore;
    QStringList m_righe;    // lines read, waiting to run
    int m_senzaBlocco = 0;  // lines to run one by one after a repeated block
};

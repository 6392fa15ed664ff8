#pragma once
// A load's lines in blocks on a server: while a block is open the rows its
// lines add are gathered and sent together (DatabaseLink::IniziaBlocco).
// When they are refused, none of them was written; the engine's own state is
// put back and the block's lines run again one by one, so that every row,
// error row and duplicate-key retry comes out as line by line. On a database
// file lines simply run one by one.
#include <QString>
#include <QStringList>
#include <functional>

class DatabaseLink;

class BloccoRighe {
public:
    static constexpr int RighePerBlocco = 256;

    // carica runs one line with its own error handling; salva takes a copy
    // of the engine's state and gives back what puts it back.
    BloccoRighe(DatabaseLink& db, std::function<void(const QString&)> carica,
                std::function<std::function<void()>()> salva);

    void Riga(const QString& riga);
    // Sends what the open block gathered; call before a commit and at the end.
    void Chiudi();

private:
    void Ripeti();

    DatabaseLink& m_db;
    std::function<void(const QString&)> m_carica;
    std::function<std::function<void()>()> m_salva;
    QStringList m_righe;  // lines of the open block
    std::function<void()> m_ripristina;
    int m_senzaBlocco = 0;  // lines to run one by one after a repeated block
};

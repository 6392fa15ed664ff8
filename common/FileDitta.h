#pragma once
// The company file shared with other programs. SQLite's locks are POSIX
// locks: closing any descriptor of the file drops every lock of the process
// on it, and another program that then opens and closes the company believes
// it is alone and deletes the write-ahead log still in use here. What is
// written afterwards reaches no one. So nothing but SQLite may open the file
// or its log, and before writing a connection checks that it still shares
// the file safely.
#include <QString>
#include <sys/types.h>

struct sqlite3;

class ControlloFileDitta {
public:
    // Taken right after opening, when the log is surely open and locked.
    explicit ControlloFileDitta(sqlite3* db);

    // The reason, in Italian, why the connection can no longer write safely
    // (its file, log or log index was deleted or replaced, or its lock on
    // the index is gone); empty when all is well.
    QString Stato() const;
    // Whether the process's lock on the log index can be seen here.
    bool LockVisibili() const { return m_lockVisibili; }

private:
    sqlite3* m_db;
    QString m_file;
    bool m_conLog = false;  // the log and its index were there at the start
    dev_t m_dispositivo = 0;
    ino_t m_log = 0, m_indice = 0;
    bool m_lockVisibili = false;
};

// Whether a path is the file of an open database file of this process, or
// its "-wal", "-shm" or "-journal": a file no other code may open.
bool FileDiDatabaseAperto(const QString& percorso);

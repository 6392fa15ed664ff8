#pragma once
// Copies an SQLite file's write-ahead log back into the file on a thread of
// its own, through a second connection of SQLite's, while the connection
// that writes goes on. Without it the writer stops at every large commit to
// copy the log itself, and closes with the whole of a load's last pages
// still to copy. Each commit that leaves enough pages in the log wakes the
// thread, which copies what no reader still needs (a passive checkpoint:
// it never waits for a lock nor makes anyone wait).
//
// The log starts again from its beginning only when a write transaction
// begins on a log copied whole, and a load begins its next batch right
// after each commit. So a commit that leaves a long log waits for the copy
// of its last pages (the rest are copied already): the log stays within
// that length, as with SQLite's own copying.
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

struct sqlite3;

class TrascrittoreLog {
public:
    // Takes over the log copying of writer, an open connection on a file,
    // until destroyed (which the writer must outlive).
    explicit TrascrittoreLog(sqlite3* writer);
    ~TrascrittoreLog();
    TrascrittoreLog(const TrascrittoreLog&) = delete;
    TrascrittoreLog& operator=(const TrascrittoreLog&) = delete;

    // Pages in the log (4 MB of the usual pages) after which a commit
    // wakes the thread: a few commits of a load, many of a screen's edits.
    static constexpr int PagineMinime = 1024;
    // Pages (64 MB) after which a commit waits for the copy; the writer
    // copies the log itself instead when the thread has no connection.
    static constexpr int PagineMassime = 16384;

private:
    static int DopoConferma(void* trascrittore, sqlite3* db, const char* schema, int pagine);
    void Lavora();

    sqlite3* m_writer;
    std::string m_file;
    sqlite3* m_connessione = nullptr;  // the thread's own
    std::mutex m_mutex;
    std::condition_variable m_sveglia;  // for the thread: a copy is due, or the end
    std::condition_variable m_copiato;  // for a commit waiting for its copy
    bool m_dovuto = false;              // a commit left pages to copy
    std::uint64_t m_chieste = 0;        // copies asked for, counted by the commits
    std::uint64_t m_fatte = 0;          // the last asked for that was done
    bool m_fine = false;
    bool m_senzaConnessione = false;
    std::thread m_thread;  // started at the first commit that needs it
};

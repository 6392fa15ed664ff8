#pragma once
// Copies an SQLite file's write-ahead log back into the file on a thread of
// its own, through a second connection of SQLite's, while the connection
// that writes goes on. Without it the writer stops at every large commit to
// copy the log itself, and closes with the whole of a load's last pages
// still to copy. Each commit that leaves enough pages in the log wakes the
// thread, which copies what no reader still needs (a passive checkpoint:
// it never waits for a lock nor makes anyone wait).
#include <condition_variable>
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
    // Pages after which the writer copies the log itself, when the thread
    // has no connection of its own (SQLite's own rule, as tuned before).
    static constexpr int PagineSenzaThread = 16384;

private:
    static int DopoConferma(void* trascrittore, sqlite3* db, const char* schema, int pagine);
    void Lavora();

    sqlite3* m_writer;
    std::string m_file;
    sqlite3* m_connessione = nullptr;  // the thread's own
    std::mutex m_mutex;
    std::condition_variable m_sveglia;
    bool m_dovuto = false;  // a commit left pages to copy
    bool m_fine = false;
    bool m_senzaConnessione = false;
    std::thread m_thread;  // started at the first commit that needs it
};

#include "TrascrittoreLog.h"

#include <sqlite3.h>

TrascrittoreLog::TrascrittoreLog(sqlite3* writer) : m_writer(writer)
{
    if (const char* file = sqlite3_db_filename(writer, "main"))
        m_file = file;  // empty for a database in memory
    sqlite3_wal_hook(m_writer, &TrascrittoreLog::DopoConferma, this);
}

TrascrittoreLog::~TrascrittoreLog()
{
    // SQLite's own copying again, as the connection was tuned.
    sqlite3_wal_autocheckpoint(m_writer, PagineMassime);
    {
        std::lock_guard lock(m_mutex);
        m_fine = true;
    }
    m_sveglia.notify_one();
    if (m_thread.joinable())
        m_thread.join();  // after the last copy asked for: the close finds the log copied
}

// Runs on the writer's thread, right after a commit, its locks released.
int TrascrittoreLog::DopoConferma(void* trascrittore, sqlite3* db, const char* schema, int pagine)
{
    if (pagine < PagineMinime)
        return SQLITE_OK;
    auto* self = static_cast<TrascrittoreLog*>(trascrittore);
    std::unique_lock lock(self->m_mutex);
    if (!self->m_senzaConnessione) {
        const std::uint64_t copia = ++self->m_chieste;
        self->m_dovuto = true;
        if (!self->m_thread.joinable())
            self->m_thread = std::thread(&TrascrittoreLog::Lavora, self);
        self->m_sveglia.notify_one();
        if (pagine < PagineMassime)
            return SQLITE_OK;
        self->m_copiato.wait(lock, [&] { return self->m_fatte >= copia || self->m_senzaConnessione; });
        if (!self->m_senzaConnessione)
            return SQLITE_OK;
    }
    lock.unlock();
    if (pagine >= PagineMassime)
        sqlite3_wal_checkpoint_v2(db, schema, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
    return SQLITE_OK;
}

void TrascrittoreLog::Lavora()
{
    const bool aperta = !m_file.empty()
        && sqlite3_open_v2(m_file.c_str(), &m_connessione, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr)
            == SQLITE_OK
        && sqlite3_busy_timeout(m_connessione, 1000) == SQLITE_OK
        // The first read opens the log and its index.
        && sqlite3_exec(m_connessione, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) == SQLITE_OK;
    std::unique_lock lock(m_mutex);
    if (!aperta) {
        m_senzaConnessione = true;
        m_copiato.notify_all();
    } else {
        for (;;) {
            m_sveglia.wait(lock, [this] { return m_dovuto || m_fine; });
            if (!m_dovuto)
                break;
            m_dovuto = false;
            const std::uint64_t copia = m_chieste;
            lock.unlock();
            sqlite3_wal_checkpoint_v2(m_connessione, "main", SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
            lock.lock();
            m_fatte = copia;
            m_copiato.notify_all();
        }
    }
    lock.unlock();
    sqlite3_close_v2(m_connessione);  // the writer's connection stays: the log stays too
    m_connessione = nullptr;
}

// The write-ahead log's writes gathered in memory must reach the file before
// any other connection can read them.
#include "VfsRaccolta.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <string>

namespace {

// A connection on path; "unix" is SQLite's own layer, without gathering.
sqlite3* Apri(const std::string& path, const char* vfs = nullptr)
{
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, vfs), SQLITE_OK);
    return db;
}

void Esegui(sqlite3* db, const std::string& sql)
{
    char* errore = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &errore), SQLITE_OK) << (errore ? errore : "");
    sqlite3_free(errore);
}

sqlite3_int64 Numero(sqlite3* db, const std::string& sql)
{
    sqlite3_stmt* query = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &query, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    EXPECT_EQ(sqlite3_step(query), SQLITE_ROW) << sqlite3_errmsg(db);
    const sqlite3_int64 numero = sqlite3_column_int64(query, 0);
    sqlite3_finalize(query);
    return numero;
}

std::string Testo(sqlite3* db, const std::string& sql)
{
    sqlite3_stmt* query = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &query, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    std::string testo = sqlite3_step(query) == SQLITE_ROW ? reinterpret_cast<const char*>(sqlite3_column_text(query, 0))
                                                          : sqlite3_errmsg(db);
    sqlite3_finalize(query);
    return testo;
}

// n rows of 300 bytes from da on, in one transaction.
std::string Righe(int da, int n)
{
    return "WITH RECURSIVE n(i) AS (SELECT " + std::to_string(da) + " UNION ALL SELECT i + 1 FROM n WHERE i < "
        + std::to_string(da + n - 1) + ") INSERT INTO t SELECT i, hex(randomblob(150)) FROM n";
}

class VfsRaccolta : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallaVfsRaccolta();
        ASSERT_STRNE(sqlite3_vfs_find(nullptr)->zName, "unix") << "the gathering layer is not the default";
        percorso = cartella.filePath(QStringLiteral("ditta.db")).toStdString();
        scrittore = Apri(percorso);
        Esegui(scrittore,
               "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA wal_autocheckpoint=0;"
               "CREATE TABLE t (id INTEGER PRIMARY KEY, testo TEXT)");
        lettore = Apri(percorso, "unix");
    }
    void TearDown() override
    {
        sqlite3_close(lettore);
        sqlite3_close(scrittore);
    }

    QTemporaryDir cartella;
    std::string percorso;
    sqlite3* scrittore = nullptr;
    sqlite3* lettore = nullptr;
};

TEST_F(VfsRaccolta, EveryCommitIsInTheFileWhenAnotherConnectionSeesIt)
{
    // Commits of one frame, of a few, and of many more than the room
    // gathered at once.
    int righe = 0;
    for (int n : {1, 3, 40, 700, 2, 1500, 1}) {
        Esegui(scrittore, "BEGIN; " + Righe(righe + 1, n) + "; COMMIT");
        righe += n;
        EXPECT_EQ(Numero(lettore, "SELECT count(*) FROM t"), righe);
        EXPECT_EQ(Numero(lettore, "SELECT sum(length(testo)) FROM t"), 300LL * righe);
        EXPECT_EQ(Testo(lettore, "PRAGMA quick_check"), "ok");
    }
    // A copy of the log into the file by the other connection reads it too.
    Esegui(lettore, "PRAGMA wal_checkpoint(PASSIVE)");
    sqlite3_close(scrittore);
    scrittore = nullptr;
    EXPECT_EQ(Testo(lettore, "PRAGMA integrity_check"), "ok");
    EXPECT_EQ(Numero(lettore, "SELECT count(*) FROM t"), righe);
}

TEST_F(VfsRaccolta, PagesSpilledBeforeTheCommitOrRolledBackLeaveTheCommitsWhole)
{
    // A small cache spills the transaction's pages into the log before its
    // end; the rollback leaves them there, and the next commits write over them.
    Esegui(scrittore, "PRAGMA cache_size=20");
    Esegui(scrittore, "BEGIN; " + Righe(1, 200) + "; COMMIT");
    Esegui(scrittore, "BEGIN; " + Righe(1000, 3000) + "; ROLLBACK");
    Esegui(scrittore, "BEGIN; " + Righe(201, 50) + "; COMMIT");
    EXPECT_EQ(Numero(lettore, "SELECT count(*) FROM t"), 250);
    // Pages spilled and changed again are written again in their frames,
    // behind the end of the log.
    Esegui(scrittore,
           "BEGIN; " + Righe(251, 2000) + "; UPDATE t SET testo = lower(testo) WHERE id % 7 = 0; " + Righe(2251, 500)
               + "; UPDATE t SET testo = 'x' WHERE id % 5 = 0; COMMIT");
    EXPECT_EQ(Numero(lettore, "SELECT count(*) FROM t"), 2750);
    EXPECT_EQ(Numero(lettore, "SELECT count(*) FROM t WHERE testo = 'x'"), 550);
    EXPECT_EQ(Numero(lettore, "SELECT count(*) FROM t WHERE testo = lower(testo) AND id % 5 <> 0"), 257);
    EXPECT_EQ(Testo(lettore, "PRAGMA integrity_check"), "ok");

    // The writer's close copies the log into the file.
    sqlite3_close(scrittore);
    scrittore = nullptr;
    EXPECT_EQ(Numero(lettore, "SELECT count(*) FROM t"), 2750);
    EXPECT_EQ(Numero(lettore, "SELECT sum(length(testo)) FROM t"), 300LL * 2200 + 550);
    EXPECT_EQ(Testo(lettore, "PRAGMA integrity_check"), "ok");
}

}  // namespace

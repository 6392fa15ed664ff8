// The company file's write-ahead log is copied back into the file by a thread
// of its own while the connection that wrote it stays open.
#include "DatabaseLink.h"
#include "TrascrittoreLog.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

qint64 Dimensione(const QString& percorso) { return QFileInfo(percorso).size(); }

// Rows of about 2 KB each, in one transaction.
void Scrivi(DatabaseLink& db, int da, int righe)
{
    db.IniziaTransazione();
    QSqlQuery q(db.Database());
    ASSERT_TRUE(q.prepare(QStringLiteral("INSERT INTO Note (Id, Testo) VALUES (?, ?)")));
    for (int i = da; i < da + righe; ++i) {
        q.addBindValue(i);
        q.addBindValue(QString(2000, QChar(u'a' + i % 26)));
        ASSERT_TRUE(q.exec());
    }
    db.ConfermaTransazione();
}

TEST(TrascrittoreLog, CopiesTheLogWhileTheWriterStaysOpenAndLeavesNothingAtTheClose)
{
    QTemporaryDir cartella;
    const QString file = cartella.filePath(QStringLiteral("ditta.db"));
    {
        auto db = DatabaseLink::ApriFile(file);
        QSqlQuery(db->Database()).exec(QStringLiteral("CREATE TABLE Note (Id INTEGER PRIMARY KEY, Testo TEXT)"));
        const qint64 prima = Dimensione(file);

        // 8 MB: more than the log holds before a copy is due, far less than
        // the writer would copy on its own.
        Scrivi(*db, 0, 4000);
        ASSERT_GT(Dimensione(file + QStringLiteral("-wal")), 8'000'000);
        QElapsedTimer tempo;
        tempo.start();
        while (Dimensione(file) < prima + 8'000'000 && tempo.elapsed() < 20'000)
            QThread::msleep(20);
        EXPECT_GE(Dimensione(file), prima + 8'000'000) << "the file did not receive the log's pages";

        // Commits go on while copies run, and the close waits for the last.
        for (int lotto = 1; lotto <= 3; ++lotto)
            Scrivi(*db, lotto * 4000, 4000);
    }
    EXPECT_FALSE(QFileInfo::exists(file + QStringLiteral("-wal")));

    auto db = DatabaseLink::ApriFile(file);
    QSqlQuery q(db->Database());
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT count(*), sum(Id), min(length(Testo)) FROM Note")));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 16000);
    EXPECT_EQ(q.value(1).toLongLong(), 16000LL * 15999 / 2);
    EXPECT_EQ(q.value(2).toInt(), 2000);
    ASSERT_TRUE(q.exec(QStringLiteral("PRAGMA integrity_check")));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), QStringLiteral("ok"));
}

// A load begins its next batch right after each commit: the log must still
// start again from its beginning now and then instead of growing with the load.
TEST(TrascrittoreLog, ALongLoadKeepsTheLogWithinItsLength)
{
    QTemporaryDir cartella;
    const QString file = cartella.filePath(QStringLiteral("ditta.db"));
    auto db = DatabaseLink::ApriFile(file);
    QSqlQuery(db->Database()).exec(QStringLiteral("CREATE TABLE Note (Id INTEGER PRIMARY KEY, Testo TEXT)"));
    // 96 MB in batches of 2 MB, half again what the log may hold.
    for (int lotto = 0; lotto < 48; ++lotto)
        Scrivi(*db, lotto * 1000, 1000);
    const qint64 massimo = qint64(TrascrittoreLog::PagineMassime) * 4096;
    EXPECT_LT(Dimensione(file + QStringLiteral("-wal")), massimo + 8'000'000);
    QSqlQuery q(db->Database());
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT count(*) FROM Note")));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 48000);
}

}  // namespace

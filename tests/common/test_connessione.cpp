// The forms of connection text users have for a server, read into native
// parameters; a data source of another engine is refused.
#include "ConnessioneServer.h"
#include "ErroreRun.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString Testo(const ParametriServer& p)
{
    return QStringLiteral("%1|%2|%3|%4|%5|%6").arg(p.host).arg(p.porta).arg(p.database, p.utente, p.password, p.opzioni);
}

TEST(ConnessioneServer, OdbcTextWithOrWithoutPrefixAndWithTheLoginAdded)
{
    EXPECT_EQ(Testo(LeggiConnessioneServer(
                  QStringLiteral("ODBC;DRIVER=PostgreSQL Unicode;SERVER=db1;PORT=5433;DATABASE=ditta;UID=mario"))),
              QStringLiteral("db1|5433|ditta|mario||"));
    EXPECT_EQ(Testo(LeggiConnessioneServer(
                  QStringLiteral("DRIVER={PostgreSQL Unicode};Server=db1;Database=ditta;UID=mario;PWD={a;b}}c}"))),
              QStringLiteral("db1|-1|ditta|mario|a;b}c|"));
    EXPECT_THROW(LeggiConnessioneServer(QStringLiteral("DRIVER=PostgreSQL;SERVER=db1;PORT=abc;DATABASE=d")), ErroreRun);
    EXPECT_THROW(LeggiConnessioneServer(QStringLiteral("DRIVER=PostgreSQL;UID=mario")), ErroreRun);
}

TEST(ConnessioneServer, AddressFormKeepsItsPartsAndTakesTheLoginAdded)
{
    EXPECT_EQ(Testo(LeggiConnessioneServer(QStringLiteral("postgresql://mario@db1:5433/ditta?sslmode=require"))),
              QStringLiteral("db1|5433|ditta|mario||sslmode=require"));
    EXPECT_EQ(Testo(LeggiConnessioneServer(
                  QStringLiteral("postgresql:///ditta?host=%2Fvar%2Frun%2Fpg;UID=anna;PWD={x}"))),
              QStringLiteral("/var/run/pg|-1|ditta|anna|x|"));
}

class OrigineDati : public ::testing::Test {
protected:
    QTemporaryDir cartella;
    void SetUp() override
    {
        Scrivi(QStringLiteral("odbcinst.ini"), "[Motore Nostro]\nDriver=/usr/lib/odbc/psqlodbcw.so\n"
                                                 "[Altro Motore]\nDriver=/usr/lib/odbc/libaltro.so\n");
        Scrivi(QStringLiteral("odbc.ini"), "[ditta]\nDriver=PostgreSQL Unicode\nServername=db1\nPort=5433\n"
                                             "Database=contab\nUsername=mario\n"
                                             "[pernome]\nDriver=Motore Nostro\nServername=db2\nDatabase=d2\n"
                                             "[estranea]\nDriver=Altro Motore\nServer=db3\nDatabase=d3\n");
        qputenv("ODBCINI", cartella.filePath(QStringLiteral("odbc.ini")).toUtf8());
        qputenv("ODBCSYSINI", cartella.path().toUtf8());
    }
    void TearDown() override
    {
        qunsetenv("ODBCINI");
        qunsetenv("ODBCSYSINI");
    }
    void Scrivi(const QString& nome, const QByteArray& testo)
    {
        QFile file(cartella.filePath(nome));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(testo);
    }
};

TEST_F(OrigineDati, EntryOfAPostgresDriverIsReadAndTheTextsOwnKeysWin)
{
    EXPECT_EQ(Testo(LeggiConnessioneServer(QStringLiteral("ODBC;DSN=ditta;UID=anna;PWD=s"))),
              QStringLiteral("db1|5433|contab|anna|s|"));
    EXPECT_EQ(Testo(LeggiConnessioneServer(QStringLiteral("ditta"))), QStringLiteral("db1|5433|contab|mario||"));
    // A driver named in odbcinst.ini counts by the library it names.
    EXPECT_EQ(Testo(LeggiConnessioneServer(QStringLiteral("DSN=pernome"))), QStringLiteral("db2|-1|d2|||"));
}

TEST_F(OrigineDati, SourceOfAnotherEngineOrUnknownIsRefusedInItalian)
{
    try {
        LeggiConnessioneServer(QStringLiteral("ODBC;DSN=estranea;UID=mario"));
        FAIL() << "accettata";
    } catch (const ErroreRun& errore) {
        EXPECT_TRUE(errore.descrizione().contains(QStringLiteral("non è di PostgreSQL"))) << errore.descrizione().toStdString();
        EXPECT_TRUE(errore.descrizione().contains(QStringLiteral("estranea")));
    }
    EXPECT_THROW(LeggiConnessioneServer(QStringLiteral("DRIVER=Altro Motore;SERVER=x;DATABASE=y")), ErroreRun);
    try {
        LeggiConnessioneServer(QStringLiteral("DSN=nessuna"));
        FAIL() << "accettata";
    } catch (const ErroreRun& errore) {
        EXPECT_TRUE(errore.descrizione().contains(QStringLiteral("non è definita in odbc.ini")));
    }
}

}  // namespace

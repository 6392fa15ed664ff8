// The built quiva-load program, run end to end on a temporary database.
#include "AmbienteProva.h"
#include "EseguiQuivaLoad.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <gtest/gtest.h>

namespace {

class QuivaLoad : public ::testing::Test {
protected:
    AmbienteProva ambiente;

    void SetUp() override
    {
        ambiente.Sql(
            QStringLiteral("CREATE TABLE Ordini (Numero INTEGER PRIMARY KEY, Cliente VARCHAR(10), Data DATE)"));
        ambiente.Sql(QStringLiteral("CREATE TABLE Righe (Numero INTEGER, Riga INTEGER, Articolo VARCHAR(10), "
                                    "Qta REAL, PRIMARY KEY (Numero, Riga))"));
        ambiente.Sql(QStringLiteral("CREATE TABLE Note (Numero INTEGER PRIMARY KEY, Testo TEXT)"));
        ambiente.FileSorgente(QStringLiteral("ordini.txt"),
                              "1|C01|05/01/2024|1|ART1|2,5|prima\n"
                              "1|C01|05/01/2024|2|ART2|1|prima bis\n"
                              "2|C02|31/13/2024|1|ART1|3|seconda\n"
                              "3|C03|07/01/2024|1|ART3|1.000|terza\n");
        ambiente.FileSorgente(QStringLiteral("quiva.ini"),
                              "[base]\r\nDriveDB=\r\nDirQuiva=" + ambiente.Percorso(QString()).toUtf8() + "\r\n");
        ambiente.Definizione(QStringLiteral("ORD"),
                             {{"Tabella", "Ordini"},
                              {"Tabella2", "Righe"},
                              {"CodTab2", "R"},
                              {"Tabella3", "Note"},
                              {"CodTab3", "N"},
                              {"Modalita", "0"},
                              {"Separatore", "|"},
                              {"Origine", "ordini.txt"}});
        const char* campi[][4] = {
            {"Numero", "1", "Long", "1"},   {"Cliente", "2", "String", "2"}, {"Data", "3", "Date", "3"},
            {"R Numero", "1", "Long", "4"}, {"R Riga", "4", "Long", "5"},    {"R Articolo", "5", "String", "6"},
            {"R Qta", "6", "Double", "7"},  {"N Numero", "1", "Long", "8"},  {"N Testo", "7", "String", "9"},
        };
        for (const auto& c : campi)
            ambiente.Campo(
                QStringLiteral("ORD"),
                {{"NomeCampo", c[0]}, {"NumCampo", c[1]}, {"TipoDest", c[2]}, {"OrdCampo", c[3]}, {"Aggiorna", "A"}});
    }
};

TEST_F(QuivaLoad, LoadsThreeTablesWithKeyLookupsAndReportsRejectedLines)
{
    const Esito esito =
        Esegui(ambiente.ArgomentiDitta()
               << QStringLiteral("--ini") << ambiente.Percorso(QStringLiteral("quiva.ini")) << QStringLiteral("ORD"));
    EXPECT_EQ(esito.stato, 0) << esito.errori.toStdString();
    EXPECT_TRUE(esito.uscita.startsWith(QStringLiteral("Elaborazione terminata con 1 errore\n"
                                                       "memorizzato nell'archivio 'ErroriQuivamento'\n")))
        << esito.uscita.toStdString();
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT * FROM Ordini ORDER BY Numero")),
              (QStringList {"1|C01|2024-01-05", "3|C03|2024-01-07"}));
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT * FROM Righe ORDER BY Numero, Riga")),
              (QStringList {"1|1|ART1|2.5", "1|2|ART2|1", "3|1|ART3|1000"}));
    // The second line of order 1 updates its note; the bad date rejects line 3.
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT * FROM Note ORDER BY Numero")),
              (QStringList {"1|prima bis", "3|terza"}));
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT Errore FROM ErroriQuivamento")),
              QStringList {QStringLiteral("Ordini.Data: Tipo non valido (31/13/2024)")});
}

TEST_F(QuivaLoad, ExitStatusTellsWrongCommandLinesAndFailedLoads)
{
    EXPECT_EQ(Esegui({QStringLiteral("--non-esiste")}).stato, 2);
    EXPECT_EQ(Esegui(ambiente.ArgomentiDitta()).stato, 2);

    // Without the INI the relative path cannot be found: the load ends with an error.
    const Esito esito = Esegui(ambiente.ArgomentiDitta() << QStringLiteral("NESSUNA") << QStringLiteral("ORD"));
    EXPECT_EQ(esito.stato, 1);
    EXPECT_TRUE(esito.errori.contains(QStringLiteral("Mancano i dati per il codice NESSUNA")));
    EXPECT_TRUE(esito.errori.contains(QStringLiteral("Errore nell'apertura del file: \\ordini.txt")));
    EXPECT_TRUE(esito.uscita.startsWith(QStringLiteral("Elaborazione interrotta: errori nelle definizioni NESSUNA, ORD\n")))
        << esito.uscita.toStdString();
}

TEST_F(QuivaLoad, SourceFolderIsTheDriveFollowedByTheFolder)
{
    // DriveDB "<cartella>" and DirQuiva "dati/": the file is read from <cartella>/dati/.
    QDir(ambiente.Percorso(QString())).mkdir(QStringLiteral("dati"));
    QFile::rename(ambiente.Percorso(QStringLiteral("ordini.txt")),
                  ambiente.Percorso(QStringLiteral("dati/ordini.txt")));
    ambiente.FileSorgente(QStringLiteral("quiva.ini"),
                          "[Base]\nDriveDB=" + ambiente.Percorso(QString()).toUtf8() + "\nDirQuiva=dati/\n");
    const Esito esito =
        Esegui(ambiente.ArgomentiDitta()
               << QStringLiteral("--ini") << ambiente.Percorso(QStringLiteral("quiva.ini")) << QStringLiteral("ORD"));
    EXPECT_EQ(esito.stato, 0) << esito.errori.toStdString();
    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT count(*) FROM Ordini")).toInt(), 2);
}

TEST_F(QuivaLoad, DatabaseHeldByAnotherWriterIsReportedAndLeftAlone)
{
    if (DatabaseProva::SuServer())
        GTEST_SKIP() << "about a company file another program holds exclusively";
    const QString percorso = ambiente.Percorso(QStringLiteral("occupato.db"));
    {
        QSqlDatabase altro = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("altro"));
        altro.setDatabaseName(percorso);
        ASSERT_TRUE(altro.open());
        QSqlQuery q(altro);
        for (const char* sql : {"PRAGMA journal_mode=DELETE", "CREATE TABLE Clienti (Codice TEXT)",
                                "PRAGMA locking_mode=EXCLUSIVE", "BEGIN EXCLUSIVE"})
            ASSERT_TRUE(q.exec(QLatin1String(sql))) << sql;

        const Esito esito = Esegui({QStringLiteral("--db"), percorso, QStringLiteral("ORD")});
        EXPECT_EQ(esito.stato, 1);
        EXPECT_TRUE(esito.errori.contains(QStringLiteral("in uso da un altro programma")))
            << esito.errori.toStdString();

        q.exec(QStringLiteral("ROLLBACK"));
        q.exec(QStringLiteral("PRAGMA locking_mode=NORMAL"));
        ASSERT_TRUE(q.exec(QStringLiteral("SELECT group_concat(name) FROM sqlite_master")) && q.next());
        EXPECT_EQ(q.value(0).toString(), QStringLiteral("Clienti"));  // nothing was created
        q.finish();
        altro.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("altro"));
}

}  // namespace

// --chiedi-password reads the server's password from standard input (a
// terminal without echo, or a pipe) and never shows it again; it makes no
// sense with a database file.
TEST_F(QuivaLoad, AskedPasswordIsReadFromStandardInputAndNeverShown)
{
    const QString segreta = QStringLiteral("segreta-7f3c");
    QProcess processo;
    processo.start(QStringLiteral(QUIVA_LOAD), {QStringLiteral("--dsn"), QStringLiteral("quiva-inesistente"),
                                                QStringLiteral("--utente"), QStringLiteral("prova"),
                                                QStringLiteral("--chiedi-password"), QStringLiteral("ORD")});
    processo.write((segreta + QLatin1Char('\n')).toUtf8());
    processo.closeWriteChannel();
    ASSERT_TRUE(processo.waitForFinished(60000));
    const QString uscita = QString::fromUtf8(processo.readAllStandardOutput());
    const QString errori = QString::fromUtf8(processo.readAllStandardError());
    EXPECT_EQ(processo.exitCode(), 1);
    EXPECT_TRUE(errori.startsWith(QStringLiteral("Password del database: "))) << errori.toStdString();
    EXPECT_TRUE(errori.contains(QStringLiteral("Errore nell'apertura del database quiva-inesistente")))
        << errori.toStdString();
    EXPECT_FALSE(uscita.contains(segreta) || errori.contains(segreta)) << errori.toStdString();

    EXPECT_EQ(Esegui({QStringLiteral("--db"), ambiente.Percorso(QStringLiteral("ditta.db")),
                      QStringLiteral("--chiedi-password"), QStringLiteral("ORD")})
                  .stato,
              2);
}

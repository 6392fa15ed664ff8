// What quiva-load tells about a run, and how it behaves next to other
// programs: exit statuses, the company file, the end notice and summary
// (text and JSON), runs that wait their turn, signals, sources that are not
// files, and the driver's failures in Italian. The built program on a
// temporary database.
#include "AmbienteProva.h"
#include "EseguiQuivaLoad.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

constexpr int RigheGrandi = 200000;

class EsitoCorsa : public ::testing::Test {
protected:
    AmbienteProva ambiente;

    void SetUp() override
    {
        ambiente.Sql(QStringLiteral("CREATE TABLE Art (Codice VARCHAR(10) PRIMARY KEY, Descr VARCHAR(20))"));
        ambiente.Sql(QStringLiteral("CREATE TABLE Prezzi (Codice VARCHAR(10) PRIMARY KEY, Prezzo REAL)"));
        ambiente.Sql(QStringLiteral("CREATE TABLE Log (Testo TEXT)"));
        ambiente.Sql(QStringLiteral("INSERT INTO Art VALUES ('A1', 'vecchia')"));
        // A1 changes, A2 and A3 are new; line 4 has no key for either
        // table (more error rows than lines); line 5 is blank.
        Definizione(QStringLiteral("ART"),
                    ambiente.FileSorgente(QStringLiteral("art.txt"),
                                          "Codice;Descr;Prezzo\n"
                                          "A1;Uno;1,5\nA2;Due;2\nA3;Tre;3\n;;x\n\n"));
    }

    // Art (Codice, Descr mandatory) and Prezzi (P: Codice, Prezzo) from a ";" file with a header.
    void Definizione(const QString& codice, const QString& file, const QVariantMap& altro = {})
    {
        QVariantMap colonne {{"Tabella", "Art"}, {"Tabella2", "Prezzi"}, {"CodTab2", "P"}, {"Modalita", "0"},
                             {"Separatore", ";"}, {"Origine", file},      {"SaltaInizio", 1},
                             {"QueryFin1", "Insert into Log (Testo) Values ('fine')"}};
        colonne.insert(altro);
        ambiente.Definizione(codice, colonne);
        const char* campi[][4] = {{"Codice", "1", "String", ""},
                                  {"Descr", "2", "String", "S"},
                                  {"P Codice", "1", "String", ""},
                                  {"P Prezzo", "3", "Double", ""}};
        int ordine = 0;
        for (const auto& c : campi)
            ambiente.Campo(codice, {{"NomeCampo", c[0]},
                                    {"NumCampo", c[1]},
                                    {"TipoDest", c[2]},
                                    {"Obbligatorio", c[3]},
                                    {"OrdCampo", ++ordine},
                                    {"Aggiorna", "A"}});
    }

    QString FileGrande()
    {
        QByteArray testo = "Codice;Descr;Prezzo\n";
        for (int i = 1; i <= RigheGrandi; ++i)
            testo += "G" + QByteArray::number(i) + ";riga " + QByteArray::number(i) + ";" + QByteArray::number(i) + "\n";
        return ambiente.FileSorgente(QStringLiteral("grande.txt"), testo);
    }

    Esito Carica(const QStringList& argomenti) const { return Esegui(ambiente.ArgomentiDitta() + argomenti); }

    int Conta(const QString& sql) { return ambiente.Valore(sql).toInt(); }
};

TEST_F(EsitoCorsa, ExitStatusTellsWhetherEveryDefinitionRanToItsEnd)
{
    struct Caso {
        const char* nome;
        QStringList argomenti;
        int stato;
    };
    ambiente.Definizione(QStringLiteral("VUOTA"), {{"Tabella", "Art"}, {"Origine", "art.txt"}});  // no fields
    ambiente.Definizione(QStringLiteral("SENZAFILE"), {{"Tabella", "Art"}, {"Origine", "/nessuna/parte.txt"}});
    ambiente.Campo(QStringLiteral("SENZAFILE"), {{"NomeCampo", "Codice"}, {"NumCampo", "1"}, {"OrdCampo", "1"}});
    const Caso casi[] = {
        {"rejected lines are no failure", {"ART"}, 0},
        {"unknown code, the others still run", {"NOPE", "ART"}, 1},
        {"definition that cannot be read", {"VUOTA"}, 1},
        {"load that ends with an error", {"SENZAFILE", "ART"}, 1},
        {"unknown option", {"--nessuna", "ART"}, 2},
        {"no code", {}, 2},
        {"negative wait", {"--attesa", "-3", "ART"}, 2},
    };
    for (const Caso& caso : casi) {
        const Esito esito = Carica(caso.argomenti);
        EXPECT_EQ(esito.stato, caso.stato) << caso.nome << "\n" << esito.errori.toStdString();
        if (caso.stato == 1) {
            EXPECT_TRUE(esito.uscita.startsWith(QStringLiteral("Elaborazione interrotta: errore nell")))
                << caso.nome << "\n" << esito.uscita.toStdString();
        }
    }
    // The unknown code did not stop the list; the failed load did.
    EXPECT_TRUE(Carica({"NOPE", "ART"}).uscita.contains(QStringLiteral("ART: terminata")));
    const Esito dopoErrore = Carica({"SENZAFILE", "ART"});
    EXPECT_TRUE(dopoErrore.uscita.contains(QStringLiteral("SENZAFILE: interrotta da un errore")));
    EXPECT_TRUE(dopoErrore.uscita.contains(QStringLiteral("\nART: non eseguita")));
}

TEST_F(EsitoCorsa, CommandLineSpeaksItalian)
{
    const Esito aiuto = Esegui({QStringLiteral("--help")});
    EXPECT_EQ(aiuto.stato, 0);
    for (const char* atteso : {"Uso: quiva-load", "Opzioni:", "Mostra questo aiuto", "Stato di uscita", "130",
                               "--attesa SECONDI", "--json FILE", "--nuova-ditta"})
        EXPECT_TRUE(aiuto.uscita.contains(QString::fromUtf8(atteso))) << atteso;
    for (const char* inglese : {"Usage", "Options:", "Print this help", "TEXT"})
        EXPECT_FALSE(aiuto.uscita.contains(QLatin1String(inglese))) << inglese;

    const Esito versione = Esegui({QStringLiteral("--version")});
    EXPECT_EQ(versione.stato, 0);
    EXPECT_TRUE(versione.uscita.startsWith(QStringLiteral("quiva-load "))) << versione.uscita.toStdString();

    const Esito sbagliata = Carica({"ART", "--nessuna"});
    EXPECT_EQ(sbagliata.stato, 2);
    EXPECT_TRUE(sbagliata.errori.contains(QStringLiteral("Argomenti non previsti: --nessuna")))
        << sbagliata.errori.toStdString();
    EXPECT_FALSE(sbagliata.errori.contains(QStringLiteral("not expected")));
}

TEST_F(EsitoCorsa, MissingCompanyIsRefusedUnlessANewOneIsAsked)
{
    if (DatabaseProva::SuServer())
        GTEST_SKIP() << "about company files: a server's company is never created by a load";
    const QString manca = ambiente.Percorso(QStringLiteral("tipo.db"));
    const Esito rifiuto = Esegui({QStringLiteral("--db"), manca, QStringLiteral("ART")});
    EXPECT_EQ(rifiuto.stato, 1);
    EXPECT_TRUE(rifiuto.errori.contains(QStringLiteral("Il database della ditta non esiste: ") + manca))
        << rifiuto.errori.toStdString();
    EXPECT_FALSE(QFile::exists(manca));

    const Esito nuova = Esegui({QStringLiteral("--db"), manca, QStringLiteral("--nuova-ditta"),
                                QStringLiteral("--esporta"), QStringLiteral("NOPE"),
                                ambiente.Percorso(QStringLiteral("x.json"))});
    EXPECT_TRUE(QFile::exists(manca)) << nuova.errori.toStdString();

    // A file that is no database: an Italian message, not the driver's.
    const QString testo = ambiente.FileSorgente(QStringLiteral("testo.db"), QByteArray(8192, 'x'));
    const Esito nonDb = Esegui({QStringLiteral("--db"), testo, QStringLiteral("ART")});
    EXPECT_EQ(nonDb.stato, 1);
    EXPECT_TRUE(nonDb.errori.contains(QStringLiteral("non è un database"))) << nonDb.errori.toStdString();
    EXPECT_FALSE(nonDb.errori.contains(QStringLiteral("Parameter count")));
}

TEST_F(EsitoCorsa, NoticeAndSummaryCountLinesRowsAndStoredErrors)
{
    const QString json = ambiente.Percorso(QStringLiteral("riepilogo.json"));
    const Esito esito = Carica({"--json", json, "ART", "NOPE"});
    EXPECT_EQ(esito.stato, 1);
    EXPECT_TRUE(esito.uscita.startsWith(QStringLiteral("Elaborazione interrotta: errore nella definizione NOPE\n"
                                                       "4 errori memorizzati nell'archivio 'ErroriQuivamento'\n\n")))
        << esito.uscita.toStdString();
    EXPECT_TRUE(esito.uscita.contains(QStringLiteral("  6 righe lette, 3 accettate, 1 scartata, 4 errori\n"
                                                     "  Art: 2 righe inserite, 1 modificata\n"
                                                     "  Prezzi: 3 righe inserite, 0 modificate\n")))
        << esito.uscita.toStdString();
    EXPECT_TRUE(esito.uscita.contains(QStringLiteral("NOPE: non eseguita")));

    QFile file(json);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonObject radice = QJsonDocument::fromJson(file.readAll()).object();
    EXPECT_EQ(radice[QStringLiteral("esito")].toString(), QStringLiteral("interrotta"));
    EXPECT_EQ(radice[QStringLiteral("stato_uscita")].toInt(), 1);
    EXPECT_EQ(radice[QStringLiteral("errori")].toInt(), 4);
    const QJsonArray definizioni = radice[QStringLiteral("definizioni")].toArray();
    ASSERT_EQ(definizioni.size(), 2);
    const QJsonObject art = definizioni[0].toObject();
    EXPECT_EQ(art[QStringLiteral("esito")].toString(), QStringLiteral("terminata"));
    EXPECT_EQ(art[QStringLiteral("righe_lette")].toInt(), 6);
    EXPECT_EQ(art[QStringLiteral("righe_scartate")].toInt(), 1);
    EXPECT_EQ(art[QStringLiteral("tabelle")].toArray()[1].toObject()[QStringLiteral("inserite")].toInt(), 3);
    EXPECT_EQ(definizioni[1].toObject()[QStringLiteral("esito")].toString(), QStringLiteral("non letta"));

    // "-": the JSON alone on standard output, the notice on the error stream.
    const Esito suUscita = Carica({"--json", "-", "ART"});
    EXPECT_EQ(suUscita.stato, 0);
    const QJsonObject solo = QJsonDocument::fromJson(suUscita.uscita.toUtf8()).object();
    EXPECT_EQ(solo[QStringLiteral("esito")].toString(), QStringLiteral("terminata"));
    EXPECT_TRUE(suUscita.errori.contains(QStringLiteral("Elaborazione terminata con 4 errori\nmemorizzati")));

    // One rejected line, one error row: singular.
    ambiente.FileSorgente(QStringLiteral("art.txt"), "Codice;Descr;Prezzo\nA4;;4\n");
    EXPECT_TRUE(Carica({"ART"}).uscita.startsWith(
        QStringLiteral("Elaborazione terminata con 1 errore\nmemorizzato nell'archivio 'ErroriQuivamento'\n")));
}

TEST_F(EsitoCorsa, TwoRunsAtOnceBothFinishAndLoseNothing)
{
    ambiente.Sql(QStringLiteral("UPDATE QuivaFile SET Origine = '%1' WHERE Codice = 'ART'").arg(FileGrande()));
    ambiente.Sql(QStringLiteral("INSERT INTO ErroriQuivamento VALUES ('ART', 'x;;', 'vecchio')"));
    for (int prova = 0; prova < 3; ++prova) {
        QProcess primo, secondo;
        const QStringList argomenti = ambiente.ArgomentiDitta() << QStringLiteral("ART");
        primo.start(QStringLiteral(QUIVA_LOAD), argomenti);
        secondo.start(QStringLiteral(QUIVA_LOAD), argomenti);
        ASSERT_TRUE(primo.waitForFinished(120000) && secondo.waitForFinished(120000));
        EXPECT_EQ(primo.exitCode(), 0) << primo.readAllStandardError().toStdString();
        EXPECT_EQ(secondo.exitCode(), 0) << secondo.readAllStandardError().toStdString();
        EXPECT_EQ(Conta(QStringLiteral("SELECT count(*) FROM Art")), RigheGrandi + 1);
        EXPECT_EQ(Conta(QStringLiteral("SELECT count(*) FROM Log")), 2 * (prova + 1));
        EXPECT_EQ(Conta(QStringLiteral("SELECT count(*) FROM ErroriQuivamento")), 0);
    }
}

TEST_F(EsitoCorsa, LoadWaitsForAnotherWriterThenGivesUpHavingChangedNothing)
{
    ambiente.Sql(QStringLiteral("INSERT INTO ErroriQuivamento VALUES ('ART', 'vecchia', 'vecchio')"));
    ambiente.OccupaScrittura(QStringLiteral("ART"));
    const Esito rinuncia = Carica({"--attesa", "1", "ART"});
    EXPECT_EQ(rinuncia.stato, 1);
    EXPECT_TRUE(rinuncia.errori.contains(QStringLiteral("nulla è stato modificato"))) << rinuncia.errori.toStdString();
    ambiente.LiberaScrittura(QStringLiteral("ART"));
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT Riga FROM ErroriQuivamento")), QStringList {"vecchia"});
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT * FROM Art")), QStringList {"A1|vecchia"});

    // Let go after a second: the load waited and ran.
    QProcess processo;
    ambiente.OccupaScrittura(QStringLiteral("ART"));
    processo.start(QStringLiteral(QUIVA_LOAD),
                   ambiente.ArgomentiDitta() << QStringLiteral("--attesa") << QStringLiteral("30") << QStringLiteral("ART"));
    ASSERT_FALSE(processo.waitForFinished(1000));
    ambiente.LiberaScrittura(QStringLiteral("ART"));
    ASSERT_TRUE(processo.waitForFinished(60000));
    EXPECT_EQ(processo.exitCode(), 0) << processo.readAllStandardError().toStdString();
    EXPECT_EQ(Conta(QStringLiteral("SELECT count(*) FROM Art")), 3);
}

TEST_F(EsitoCorsa, RollbackJournalFileHeldByAnotherProgramIsWaitedFor)
{
    if (DatabaseProva::SuServer())
        GTEST_SKIP() << "about the locks of a company file in rollback journal mode";
    const QString vecchio = ambiente.Percorso(QStringLiteral("vecchio.db"));
    ambiente.Sql(QStringLiteral("VACUUM INTO '%1'").arg(vecchio));
    QSqlDatabase altro = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("altro"));
    altro.setDatabaseName(vecchio);
    ASSERT_TRUE(altro.open());
    {
        QSqlQuery q(altro);
        ASSERT_TRUE(q.exec(QStringLiteral("PRAGMA journal_mode=DELETE")));
        ASSERT_TRUE(q.exec(QStringLiteral("BEGIN IMMEDIATE")));
        ASSERT_TRUE(q.exec(QStringLiteral("INSERT INTO Log VALUES ('altro')")));
        QProcess processo;
        processo.start(QStringLiteral(QUIVA_LOAD), {QStringLiteral("--db"), vecchio, QStringLiteral("ART")});
        EXPECT_FALSE(processo.waitForFinished(1500)) << processo.readAllStandardError().toStdString();
        ASSERT_TRUE(q.exec(QStringLiteral("COMMIT")));
        ASSERT_TRUE(processo.waitForFinished(60000));
        EXPECT_EQ(processo.exitCode(), 0) << processo.readAllStandardError().toStdString();
    }
    altro.close();
    altro = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("altro"));
}

TEST_F(EsitoCorsa, TermAndHangUpStopLikeCtrlC)
{
    ambiente.Sql(QStringLiteral("UPDATE QuivaFile SET Origine = '%1' WHERE Codice = 'ART'").arg(FileGrande()));
    for (int segnale : {SIGTERM, SIGHUP, SIGINT}) {
        SCOPED_TRACE(segnale);
        ambiente.Sql(QStringLiteral("DELETE FROM Art"));
        QProcess processo;
        processo.start(QStringLiteral(QUIVA_LOAD), ambiente.ArgomentiDitta() << QStringLiteral("ART") << QStringLiteral("ART"));
        ASSERT_TRUE(processo.waitForStarted());
        // Stopped once lines are being written.
        QElapsedTimer tempo;
        tempo.start();
        while (Conta(QStringLiteral("SELECT count(*) FROM Art")) == 0 && tempo.elapsed() < 30000)
            QThread::msleep(20);
        ::kill(static_cast<pid_t>(processo.processId()), segnale);
        ASSERT_TRUE(processo.waitForFinished(60000));
        EXPECT_EQ(processo.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(processo.exitCode(), 130);
        const QString uscita = QString::fromUtf8(processo.readAllStandardOutput());
        EXPECT_TRUE(uscita.startsWith(QStringLiteral("Elaborazione interrotta dall'utente"))) << uscita.toStdString();
        EXPECT_TRUE(uscita.contains(QStringLiteral("ART: interrotta dall'utente"))) << uscita.toStdString();
        EXPECT_TRUE(uscita.contains(QStringLiteral("ART: non eseguita"))) << uscita.toStdString();
        const int righe = Conta(QStringLiteral("SELECT count(*) FROM Art"));
        EXPECT_GT(righe, 0);
        EXPECT_LT(righe, RigheGrandi);
        // Whole lines: both tables hold the same ones.
        EXPECT_EQ(Conta(QStringLiteral("SELECT count(*) FROM Prezzi WHERE Codice IN (SELECT Codice FROM Art)")),
                  righe);
        EXPECT_EQ(Conta(QStringLiteral("SELECT count(*) FROM Log")), 0) << "no final query after a stop";
        ambiente.Sql(QStringLiteral("DELETE FROM Prezzi"));
    }
}

TEST_F(EsitoCorsa, SourcesThatAreNotFilesAreRefusedBeforeTheLock)
{
    const QString pipe = ambiente.Percorso(QStringLiteral("pipe"));
    ASSERT_EQ(mkfifo(pipe.toLocal8Bit().constData(), 0600), 0);
    ambiente.Sql(QStringLiteral("INSERT INTO ErroriQuivamento VALUES ('ART', 'vecchia', 'vecchio')"));
    for (const QString& origine : {pipe, QStringLiteral("/dev/zero"), ambiente.Percorso(QString())}) {
        ambiente.OccupaScrittura(QStringLiteral("ART"));  // the lock is never asked for
        QElapsedTimer tempo;
        tempo.start();
        const Esito esito = Carica({"--file", origine, "ART"});
        ambiente.LiberaScrittura(QStringLiteral("ART"));
        EXPECT_LT(tempo.elapsed(), 10000) << origine.toStdString();
        EXPECT_EQ(esito.stato, 1) << origine.toStdString();
        EXPECT_TRUE(esito.errori.contains(QStringLiteral("non è un file normale: ") + origine))
            << esito.errori.toStdString();
    }
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT Riga FROM ErroriQuivamento")), QStringList {"vecchia"});
}

TEST_F(EsitoCorsa, RejectedLinesOfADefinitionWithAHeaderComeBackWhole)
{
    ASSERT_EQ(Carica({"ART"}).stato, 0);
    const QString scarti = ambiente.Percorso(QStringLiteral("scarti.txt"));
    const Esito salvate = Carica({"--scarti", scarti, "ART"});
    EXPECT_EQ(salvate.uscita, QStringLiteral("1 righe\n"));
    QFile file(scarti);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("Codice;Descr;Prezzo\r\n;;x\r\n"));
    file.close();

    ambiente.FileSorgente(QStringLiteral("scarti.txt"), "Codice;Descr;Prezzo\r\nA4;Quattro;4\r\n");
    const Esito ricarico = Carica({"--file", scarti, "ART"});
    EXPECT_EQ(ricarico.stato, 0);
    EXPECT_TRUE(ricarico.uscita.startsWith(QStringLiteral("Elaborazione terminata\n"))) << ricarico.uscita.toStdString();
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT * FROM Art WHERE Codice = 'A4'")), QStringList {"A4|Quattro"});

    // The source gone: blank lines stand for the header, and still count as skipped.
    ambiente.Sql(QStringLiteral("INSERT INTO ErroriQuivamento VALUES ('ART', 'A5;;', 'manca')"));
    QFile::remove(ambiente.Percorso(QStringLiteral("art.txt")));
    ambiente.Sql(QStringLiteral("UPDATE QuivaFile SET SaltaInizio = 2 WHERE Codice = 'ART'"));
    ASSERT_EQ(Carica({"--scarti", scarti, "ART"}).stato, 0);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("\r\n\r\nA5;;\r\n"));
}

TEST_F(EsitoCorsa, DriverFailuresNameTheDefinitionAndTheStatement)
{
    struct Caso {
        const char* colonna;
        const char* valore;
        const char* atteso;
    };
    const Caso casi[] = {
        {"Tabella", "NonEsiste", "La definizione ART non può essere caricata:\n- La tabella NonEsiste non esiste"},
        {"WhereAzz", "Codice = 'x' COLLATE", "Definizione ART, istruzione WhereAzz (tabella Art): Errore di sintassi"},
        {"QueryFin1", "Update Manca Set X = 1", "Definizione ART, istruzione QueryFin1: Tabella inesistente: Manca"},
    };
    for (const Caso& caso : casi) {
        ambiente.Sql(QStringLiteral("DELETE FROM QuivaFile"));
        ambiente.Sql(QStringLiteral("DELETE FROM QuivaDettaglio"));
        Definizione(QStringLiteral("ART"), ambiente.Percorso(QStringLiteral("art.txt")),
                    {{"Azzera", "S"}, {QLatin1String(caso.colonna), QLatin1String(caso.valore)}});
        const Esito esito = Carica({"ART"});
        EXPECT_EQ(esito.stato, 1) << caso.colonna;
        EXPECT_TRUE(esito.errori.contains(QString::fromUtf8(caso.atteso))) << esito.errori.toStdString();
    }

    // A company file that cannot be written.
    if (DatabaseProva::SuServer())
        GTEST_SKIP() << "a read-only company is a file's case";
    const QString db = ambiente.Percorso(QStringLiteral("ditta.db"));
    ASSERT_EQ(chmod(db.toLocal8Bit().constData(), 0444), 0);
    if (access(db.toLocal8Bit().constData(), W_OK) == 0)
        GTEST_SKIP() << "running as root: a read-only file is still written";
    const Esito solaLettura = Carica({"ART"});
    EXPECT_EQ(solaLettura.stato, 1);
    EXPECT_TRUE(solaLettura.errori.contains(QStringLiteral("sola lettura"))) << solaLettura.errori.toStdString();
}

}  // namespace

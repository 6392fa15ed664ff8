// quiva-load meeting faults of its surroundings: a full disk, a source file
// cut short or removed while it is read, a database another program writes.
// Each ends with an Italian message and exit status 1 (or, for a removed
// file, a complete load), keeps what was committed and leaves a sound,
// usable database.
#include "AmbienteProva.h"
#include "EseguiQuivaLoad.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

constexpr int Righe = 60000;

QByteArray FileGrande()
{
    QByteArray testo;
    for (int i = 1; i <= Righe; ++i)
        testo += "C" + QByteArray::number(i).rightJustified(6, '0') + ";descrizione della riga " + QByteArray::number(i)
            + "\n";
    return testo;
}

class Guasti : public ::testing::Test {
protected:
    AmbienteProva ambiente;
    QString sorgente;

    void SetUp() override
    {
        ambiente.Sql(QStringLiteral("CREATE TABLE Art (Codice VARCHAR(10) PRIMARY KEY, Descr VARCHAR(40))"));
        ambiente.Sql(QStringLiteral("CREATE TABLE Log (Testo TEXT)"));
        sorgente = ambiente.FileSorgente(QStringLiteral("art.txt"), FileGrande());
        ambiente.Definizione(QStringLiteral("ART"),
                             {{"Tabella", "Art"},
                              {"Modalita", "0"},
                              {"Separatore", ";"},
                              {"Origine", sorgente},
                              {"QueryFin1", "Insert into Log (Testo) Values ('fine')"}});
        ambiente.Campo(QStringLiteral("ART"), {{"NomeCampo", "Codice"}, {"NumCampo", "1"}, {"OrdCampo", "1"}});
        ambiente.Campo(QStringLiteral("ART"), {{"NomeCampo", "Descr"}, {"NumCampo", "2"}, {"OrdCampo", "2"}});
        ambiente.Sql(QStringLiteral("INSERT INTO ErroriQuivamento VALUES ('ART', 'vecchia', 'vecchio')"));
    }

    QStringList Argomenti(const QString& db) const { return {QStringLiteral("--db"), db, QStringLiteral("ART")}; }
    QStringList Argomenti() const { return ambiente.ArgomentiDitta() << QStringLiteral("ART"); }

    // The rows of Art are the first lines of the file, each whole.
    static void SoloRigheIntere(const QSqlDatabase& db)
    {
        QSqlQuery q(db);
        if (db.driverName() == QLatin1String("QSQLITE")) {
            ASSERT_TRUE(q.exec(QStringLiteral("PRAGMA integrity_check")) && q.next());
            EXPECT_EQ(q.value(0).toString(), QStringLiteral("ok"));
        }
        ASSERT_TRUE(q.exec(QStringLiteral("SELECT count(*), coalesce(max(Codice), 'C000000') FROM Art "
                                          "WHERE Descr = 'descrizione della riga ' || CAST(substr(Codice, 2) AS INTEGER)"))
                    && q.next())
            << q.lastError().text().toStdString();
        EXPECT_EQ(QStringLiteral("C%1").arg(q.value(0).toInt(), 6, 10, QLatin1Char('0')), q.value(1).toString());
        ASSERT_TRUE(q.exec(QStringLiteral("SELECT count(*) FROM Art")) && q.next());
        const int tutte = q.value(0).toInt();
        ASSERT_TRUE(q.exec(QStringLiteral("SELECT count(*) FROM ErroriQuivamento WHERE Riga = 'vecchia'")) && q.next());
        EXPECT_EQ(q.value(0).toInt(), 0) << "the old error rows are deleted before loading";
        std::printf("[ figures  ] %d whole lines kept\n", tutte);
    }

    // The same, of a company file other than the test's.
    static void SoloRigheIntere(const QString& percorsoDb)
    {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("verifica"));
            db.setDatabaseName(percorsoDb);
            ASSERT_TRUE(db.open());
            SoloRigheIntere(db);
        }
        QSqlDatabase::removeDatabase(QStringLiteral("verifica"));
    }
};

TEST_F(Guasti, FullDiskEndsTheLoadKeepingWhatWasCommitted)
{
    if (DatabaseProva::SuServer())
        GTEST_SKIP() << "a full disk under the company file; the server's disk is the server's";
    const QString cartella = ambiente.Percorso(QStringLiteral("piccolo"));
    QDir().mkpath(cartella);
    if (geteuid() != 0 || mount("tmpfs", cartella.toLocal8Bit().constData(), "tmpfs", 0, "size=3m") != 0)
        GTEST_SKIP() << "cannot mount a small file system here; the engine test of the size limit covers this";
    const QString db = cartella + QStringLiteral("/ditta.db");
    ambiente.Sql(QStringLiteral("VACUUM INTO '%1'").arg(db));

    const Esito esito = Esegui(Argomenti(db));
    EXPECT_EQ(esito.stato, 1);
    EXPECT_TRUE(esito.errori.contains(QStringLiteral("Spazio esaurito"))) << esito.errori.toStdString();
    SoloRigheIntere(db);

    // With room again the same load finishes.
    ASSERT_EQ(mount("tmpfs", cartella.toLocal8Bit().constData(), "tmpfs", MS_REMOUNT, "size=64m"), 0);
    EXPECT_EQ(Esegui(Argomenti(db)).stato, 0);
    umount(cartella.toLocal8Bit().constData());
}

TEST_F(Guasti, SourceFileCutShortWhileReadIsAnErrorNotAnEnd)
{
    QProcess processo;
    processo.start(QStringLiteral(QUIVA_LOAD), Argomenti());
    ASSERT_TRUE(processo.waitForStarted());
    processo.waitForFinished(150);
    ASSERT_EQ(processo.state(), QProcess::Running) << "the load ended before the file was cut";
    QFile::resize(sorgente, 1500);
    ASSERT_TRUE(processo.waitForFinished(60000));
    EXPECT_EQ(processo.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(processo.readAllStandardError()).contains(QStringLiteral("Errore nella lettura")));
    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT count(*) FROM Log")).toInt(), 0)
        << "no final query after a failed read";
    SoloRigheIntere(ambiente.Db().Database());
}

TEST_F(Guasti, SourceFileRemovedWhileReadIsStillLoadedWhole)
{
    QProcess processo;
    processo.start(QStringLiteral(QUIVA_LOAD), Argomenti());
    ASSERT_TRUE(processo.waitForStarted());
    processo.waitForFinished(150);
    QFile::remove(sorgente);  // the open file stays readable until it is closed
    ASSERT_TRUE(processo.waitForFinished(60000));
    EXPECT_EQ(processo.exitCode(), 0);
    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT count(*) FROM Art")).toInt(), Righe);
    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT count(*) FROM Log")).toInt(), 1);
}

TEST_F(Guasti, DatabaseHeldByAnotherWriterEndsTheLoadWithoutLosingAnything)
{
    ambiente.Sql(QStringLiteral("INSERT INTO Art VALUES ('PRIMA', 'resta')"));
    ambiente.OccupaScrittura(QStringLiteral("ART"));
    const Esito esito = Esegui(Argomenti() << QStringLiteral("--attesa") << QStringLiteral("1"));
    ambiente.LiberaScrittura(QStringLiteral("ART"));
    EXPECT_EQ(esito.stato, 1);
    EXPECT_TRUE(esito.errori.contains(QStringLiteral("nulla è stato modificato"))) << esito.errori.toStdString();
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT * FROM Art")), QStringList {"PRIMA|resta"});
    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT count(*) FROM ErroriQuivamento")).toInt(), 1);
    EXPECT_EQ(Esegui(Argomenti()).stato, 0);
    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT count(*) FROM Art")).toInt(), Righe + 1);
}

}  // namespace

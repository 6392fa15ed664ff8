// quiva-load killed (SIGKILL) while a plain insert streams its rows to the
// server in a bulk copy. The server must keep exactly the batches committed
// before the kill, drop the one in flight, and let a keyed rerun finish the
// job.
#include "AmbienteProva.h"
#include "EseguiQuivaLoad.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>

namespace {

constexpr int Righe = 200000;

QString Riga(int i)
{
    return QStringLiteral("A%1|Articolo numero %2|%3").arg(i, 7, 10, QLatin1Char('0')).arg(i).arg(i % 500);
}

class CopiaInterrotta : public ::testing::Test {
protected:
    AmbienteProva ambiente;
    QStringList righe;  // the file's lines, as the table shows them

    void SetUp() override
    {
        if (!DatabaseProva::SuServer())
            GTEST_SKIP() << "the bulk copy is the server's way of writing new rows; the file's kills are in "
                            "Interruzioni";
        QByteArray testo;
        for (int i = 1; i <= Righe; ++i) {
            righe << Riga(i);
            testo += righe.last().toUtf8() + "\r\n";
        }
        ambiente.Sql(QStringLiteral("CREATE TABLE Copiati (Codice VARCHAR(8) PRIMARY KEY, Descrizione VARCHAR(40), "
                                    "Qta INTEGER)"));
        ambiente.Definizione(QStringLiteral("COP"),
                             {{"Tabella", "Copiati"},
                              {"Modalita", "0"},
                              {"InsVaria", "I"},
                              {"Separatore", "|"},
                              {"Origine", ambiente.FileSorgente(QStringLiteral("copiati.txt"), testo)}});
        const char* campi[][3] = {{"Codice", "1", "String"}, {"Descrizione", "2", "String"}, {"Qta", "3", "Long"}};
        int ordine = 0;
        for (const auto& c : campi)
            ambiente.Campo(QStringLiteral("COP"), {{"NomeCampo", c[0]},
                                                   {"NumCampo", c[1]},
                                                   {"TipoDest", c[2]},
                                                   {"OrdCampo", ++ordine},
                                                   {"Aggiorna", "A"}});
    }

    int Conta() { return ambiente.Valore(QStringLiteral("SELECT count(*) FROM Copiati")).toInt(); }

    // The load's connection is in the middle of a bulk copy.
    bool CopiaInCorso()
    {
        QSqlQuery q(ambiente.Db().Database());
        return q.exec(QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE application_name = 'quiva' "
                                     "AND state = 'active' AND query ILIKE 'COPY %'"))
            && q.next() && q.value(0).toInt() > 0;
    }
};

TEST_F(CopiaInterrotta, KilledCopyKeepsTheCommittedBatchesAndAKeyedRerunConverges)
{
    QProcess processo;
    processo.start(QStringLiteral(QUIVA_LOAD), ambiente.ArgomentiDitta() << QStringLiteral("COP"));
    ASSERT_TRUE(processo.waitForStarted());
    // Killed once a batch is committed and the next one is streaming.
    QElapsedTimer tempo;
    tempo.start();
    int confermate = 0;
    while (processo.state() == QProcess::Running && tempo.elapsed() < 60000) {
        confermate = Conta();
        if (confermate > 0 && CopiaInCorso())
            break;
        QThread::msleep(5);
    }
    ASSERT_EQ(processo.state(), QProcess::Running)
        << "the load ended before a copy could be killed: " << processo.readAllStandardError().toStdString();
    ASSERT_GT(confermate, 0) << "no batch committed within a minute";
    ::kill(static_cast<pid_t>(processo.processId()), SIGKILL);
    ASSERT_TRUE(processo.waitForFinished(30000));

    // The copy in flight is dropped by the server, not committed late.
    const int dopo = Conta();
    QThread::msleep(500);
    EXPECT_EQ(Conta(), dopo) << "rows arrived after the load was killed";
    ASSERT_GE(dopo, confermate) << "a committed batch was lost";
    ASSERT_LT(dopo, Righe);
    // Whole batches of whole lines, in file order: exactly the first lines.
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT * FROM Copiati ORDER BY Codice")), righe.mid(0, dopo));
    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT count(*) FROM ErroriQuivamento")).toInt(), 0);
    std::printf("[ figures  ] killed with %d rows committed (%d seen before the kill)\n", dopo, confermate);

    // A plain insert would meet the rows already there; inserting or
    // updating by key completes the table. A lock left by the killed load
    // would make the rerun give up.
    ambiente.Sql(QStringLiteral("UPDATE QuivaFile SET InsVaria = 'V' WHERE Codice = 'COP'"));
    const Esito ripresa = Esegui(ambiente.ArgomentiDitta() << QStringLiteral("--attesa") << QStringLiteral("10")
                                                           << QStringLiteral("COP"));
    ASSERT_EQ(ripresa.stato, 0) << ripresa.errori.toStdString();
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT * FROM Copiati ORDER BY Codice")), righe);
    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT count(*) FROM ErroriQuivamento")).toInt(), 0);
}

}  // namespace

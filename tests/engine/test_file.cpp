// The source file: line ends, failed reads, the end of
// the file reached just as a stop is confirmed, out-of-range definitions.
#include "Caricamento.h"
#include "ErroreRun.h"
#include "LettoreRighe.h"

#include <gtest/gtest.h>

namespace {

QStringList Righe(AmbienteProva& ambiente, const QByteArray& contenuto)
{
    LettoreRighe lettore(ambiente.FileSorgente(QStringLiteral("r.txt"), contenuto), QStringLiteral(";"));
    QStringList righe;
    QString riga;
    while (lettore.Leggi(riga))
        righe << riga;
    return righe;
}

TEST(LettoreRighe, CrAndCrLfAlwaysEndALineABareLfOutsideAQuotedCellToo)
{
    AmbienteProva ambiente;
    const std::pair<QByteArray, QStringList> casi[] = {
        // A Windows file: a line break inside a quoted cell stays in the line.
        {"A0;prima\r\nA1;\"riga uno\nriga due\"\r\nA2;x\r\n", {"A0;prima", "A1;\"riga uno\nriga due\"", "A2;x"}},
        {"a\rb\nc\rd", {"a", "b", "c", "d"}},
        // A file that ends its first line at LF ends lines at every end.
        {"a\nb\r\nc\rd\n", {"a", "b", "c", "d"}},
        {"\r\n\nx", {"", "", "x"}},
        {"\nT\r\n \t \nA2\rA3\n", {"", "T", " \t ", "A2", "A3"}},
        {"senza fine", {"senza fine"}},
    };
    for (const auto& [contenuto, attese] : casi)
        EXPECT_EQ(Righe(ambiente, contenuto), attese) << contenuto.toStdString();
}

// One place decoded into again and again, as the reading thread does.
TEST(LettoreRighe, ALineDecodedIntoAPlaceIsExactlyItsTextAndLeavesCopiesAlone)
{
    QString posto;
    auto decodifica = [&posto](const QByteArray& byte) {
        LettoreRighe::Decodifica(byte.constData(), byte.size(), posto);
        return posto;
    };
    EXPECT_EQ(decodifica("perch\xc3\xa9 cos\xc3\xac"), QStringLiteral("perché così"));
    const QString copia = posto;
    // Not UTF-8: Windows-1252, euro sign included; shorter than the line before.
    EXPECT_EQ(decodifica("caf\xe9 \x80"), QStringLiteral("café €"));
    EXPECT_EQ(copia, QStringLiteral("perché così"));
    EXPECT_EQ(decodifica(""), QString());
    EXPECT_EQ(decodifica(QByteArray(200000, 'x')), QString(200000, QChar(u'x')));
    EXPECT_EQ(decodifica("A1;Uno"), QStringLiteral("A1;Uno"));
    EXPECT_LE(posto.capacity(), 4096) << "the room of a very long line is kept";
}

class File : public ::testing::Test {
protected:
    AmbienteProva ambiente;
    Caricamento carico {ambiente};

    void SetUp() override
    {
        ambiente.Sql(QStringLiteral("CREATE TABLE Art (Codice VARCHAR(10) PRIMARY KEY, Descr VARCHAR(30))"));
        ambiente.Sql(QStringLiteral("CREATE TABLE Fatto (Quando TEXT)"));
    }
    void Definizione(const QString& origine, QVariantMap testata = {})
    {
        testata.insert(QStringLiteral("Tabella"), QStringLiteral("Art"));
        testata.insert(QStringLiteral("Origine"), origine);
        testata.insert(QStringLiteral("Separatore"), QStringLiteral(";"));
        testata.insert(QStringLiteral("Modalita"), QStringLiteral("0"));
        testata.insert(QStringLiteral("QueryFin1"), QStringLiteral("Insert into Fatto Values ('finali')"));
        ambiente.Definizione(QStringLiteral("ART"), testata);
        ambiente.Campo(QStringLiteral("ART"), {{"NomeCampo", "Codice"}, {"NumCampo", "1"}, {"OrdCampo", "1"}});
        ambiente.Campo(QStringLiteral("ART"), {{"NomeCampo", "Descr"}, {"NumCampo", "2"}, {"OrdCampo", "2"}});
    }
    int QueryFinaliEseguite() { return ambiente.Valore(QStringLiteral("SELECT count(*) FROM Fatto")).toInt(); }
};

TEST_F(File, WindowsFileWithALineBreakInACellLoadsOneRow)
{
    Definizione(ambiente.FileSorgente(QStringLiteral("a.txt"), "A0;prima\r\nA1;\"riga uno\nriga due\"\r\nA2;x\r\n"));
    ASSERT_EQ(carico.Esegui(QStringLiteral("ART")), 0);
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT Codice, Descr FROM Art ORDER BY Codice")),
              (QStringList {"A0|prima", "A1|riga uno\nriga due", "A2|x"}));
    EXPECT_EQ(carico.errori, 0);
}

TEST_F(File, FailedReadEndsTheLoadWithAnErrorAndNoFinalQueries)
{
    // Reading this file always fails with an I/O error.
    Definizione(QStringLiteral("/proc/self/mem"));
    const int esito = carico.Esegui(QStringLiteral("ART"));
    EXPECT_EQ(esito, CodiciErrore::ErroreLetturaFile);
    ASSERT_FALSE(carico.messaggi.testi.isEmpty());
    EXPECT_TRUE(
        carico.messaggi.testi.last().startsWith(QLatin1String("Errore nella lettura del file: /proc/self/mem (")))
        << carico.messaggi.testi.last().toStdString();
    EXPECT_EQ(QueryFinaliEseguite(), 0);
}

TEST_F(File, StopConfirmedAfterTheLastLineStillRunsTheFinalQueries)
{
    Definizione(ambiente.FileSorgente(QStringLiteral("a.txt"), "A1;uno\nA2;due\nA3;tre\n"));
    ProgressoCheFerma progresso;
    progresso.fermaA = 3;
    ASSERT_EQ(carico.Esegui(QStringLiteral("ART"), &progresso), 0);
    EXPECT_EQ(QueryFinaliEseguite(), 1);

    // A stop before the end still skips them, and keeps what was loaded.
    ambiente.Sql(QStringLiteral("DELETE FROM Art"));
    progresso.fermaA = 2;
    ASSERT_EQ(carico.Esegui(QStringLiteral("ART"), &progresso), 0);
    EXPECT_EQ(QueryFinaliEseguite(), 1);
    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT count(*) FROM Art")).toInt(), 2);
}

TEST_F(File, NumbersOutOfRangeInADefinitionStopItsReading)
{
    struct Caso {
        const char* tabella;
        const char* colonna;
        QVariant valore;
        const char* messaggio;
    };
    const Caso casiErrati[] = {
        {"QuivaFile", "SaltaInizio", 70000, "Definizione ART, colonna SaltaInizio: valore non valido (70000)"},
        {"QuivaFile", "SaltaInizio", "due", "Definizione ART, colonna SaltaInizio: valore non valido (due)"},
        {"QuivaDettaglio", "Lunghezza", -40000,
         "Definizione ART, colonna Lunghezza del campo Descr: valore non valido (-40000)"},
        {"QuivaDettaglio", "Dimensione", "abc",
         "Definizione ART, colonna Dimensione del campo Descr: valore non valido (abc)"},
    };
    Definizione(ambiente.FileSorgente(QStringLiteral("a.txt"), "A1;uno\n"));
    for (const Caso& caso : casiErrati) {
        SCOPED_TRACE(caso.colonna);
        if (DatabaseProva::SuServer() && caso.valore.typeId() == QMetaType::QString)
            continue;  // a server's typed column refuses the text itself
        QSqlQuery q(ambiente.Db().Database());
        q.prepare(QStringLiteral("UPDATE %1 SET %2 = ?%3")
                      .arg(QLatin1String(caso.tabella), QLatin1String(caso.colonna),
                           QLatin1String(caso.tabella[5] == 'D' ? " WHERE NomeCampo = 'Descr'" : "")));
        q.addBindValue(caso.valore);
        ASSERT_TRUE(q.exec());
        EXPECT_NE(carico.Esegui(QStringLiteral("ART")), 0);
        ASSERT_FALSE(carico.messaggi.testi.isEmpty());
        EXPECT_TRUE(carico.messaggi.testi.last().contains(QLatin1String(caso.messaggio)))
            << carico.messaggi.testi.last().toStdString();
        EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT count(*) FROM Art")).toInt(), 0);
        q.prepare(
            QStringLiteral("UPDATE %1 SET %2 = NULL").arg(QLatin1String(caso.tabella), QLatin1String(caso.colonna)));
        ASSERT_TRUE(q.exec());
    }
}

}  // namespace

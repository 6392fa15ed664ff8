// The load loop: preparation, accepted lines, stop, final queries, error log.
#include "Caricamento.h"

#include <gtest/gtest.h>

namespace {

class Caricare : public ::testing::Test {
protected:
    AmbienteProva ambiente;
    Caricamento carico {ambiente};

    void SetUp() override
    {
        ambiente.Sql(
            QStringLiteral("CREATE TABLE Art (Codice VARCHAR(10) PRIMARY KEY, Descr VARCHAR(30), Anno INTEGER)"));
    }

    // Definition "ART": Codice from field 1 (key), Descr from field 2.
    void DefinizioneArticoli(const QString& file, QVariantMap testata = {})
    {
        testata.insert(QStringLiteral("Tabella"), QStringLiteral("Art"));
        testata.insert(QStringLiteral("Origine"), file);
        testata.insert(QStringLiteral("Separatore"), QStringLiteral(";"));
        if (!testata.contains(QStringLiteral("Modalita")))
            testata.insert(QStringLiteral("Modalita"), QStringLiteral("0"));
        ambiente.Definizione(QStringLiteral("ART"), testata);
        ambiente.Campo(QStringLiteral("ART"),
                       {{"NomeCampo", "Codice"},
                        {"NumCampo", "1"},
                        {"OrdCampo", "1"},
                        {"TipoOrig", "String"},
                        {"TipoDest", "String"}});
        ambiente.Campo(QStringLiteral("ART"),
                       {{"NomeCampo", "Descr"},
                        {"NumCampo", "2"},
                        {"OrdCampo", "2"},
                        {"TipoOrig", "String"},
                        {"TipoDest", "String"}});
    }
};

TEST_F(Caricare, SkipsHeaderLinesCountingBlankOnesAndIgnoresBlankLines)
{
    const QString file =
        ambiente.FileSorgente(QStringLiteral("a.txt"), "\nTESTATA\r\nA1;Uno\r\n   \r\n \t \nA2;Due\rA3;Tre\n\t\t\n");
    DefinizioneArticoli(file, {{"SaltaInizio", 2}});
    EXPECT_EQ(carico.Esegui(QStringLiteral("ART")), 0);
    // The line of two tabs is handled: tabs are not blanks.
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT Codice, Descr FROM Art ORDER BY Codice")),
              (QStringList {"\t\t|", "A1|Uno", "A2|Due", "A3|Tre"}));
    EXPECT_EQ(carico.errori, 0);
}

TEST_F(Caricare, KeyThatCannotBeBuiltIsReportedTwice)
{
    // The value's own message, then the driver's.
    const QString file = ambiente.FileSorgente(QStringLiteral("a.txt"), ";senza codice\n");
    DefinizioneArticoli(file);
    ASSERT_EQ(carico.Esegui(QStringLiteral("ART")), 0);
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT Errore FROM ErroriQuivamento ORDER BY rowid")),
              (QStringList {"Art.Codice: Campo chiave non compilato", "Impossibile costruire chiave di ricerca"}));
}

TEST_F(Caricare, WriteModesDecideInsertUpdateOrSkip)
{
    ambiente.Sql(QStringLiteral("INSERT INTO Art VALUES ('A1', 'Vecchio', NULL)"));
    const QString file = ambiente.FileSorgente(QStringLiteral("a.txt"), "A1;Nuovo\nA2;Altro\n");
    DefinizioneArticoli(file, {{"Modalita", "1"}});
    ASSERT_EQ(carico.Esegui(QStringLiteral("ART")), 0);
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT Codice, Descr FROM Art ORDER BY Codice")),
              (QStringList {"A1|Vecchio", "A2|Altro"}));
    EXPECT_EQ(carico.errori, 0);

    ambiente.Sql(QStringLiteral("UPDATE QuivaFile SET Modalita = '2'"));
    ambiente.Sql(QStringLiteral("DELETE FROM Art WHERE Codice = 'A2'"));
    ASSERT_EQ(carico.Esegui(QStringLiteral("ART")), 0);
    // Update only: A2 is not written; A1 keeps its non-"A" fields.
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT Codice, Descr FROM Art ORDER BY Codice")),
              (QStringList {"A1|Vecchio"}));
    EXPECT_EQ(carico.errori, 0);
}

TEST_F(Caricare, UpdateChangesOnlyTheFieldsMarkedA)
{
    ambiente.Sql(QStringLiteral("INSERT INTO Art VALUES ('A1', 'Vecchio', 1999)"));
    const QString file = ambiente.FileSorgente(QStringLiteral("a.txt"), "A1;Nuovo;2002\n");
    DefinizioneArticoli(file);
    ambiente.Campo(QStringLiteral("ART"),
                   {{"NomeCampo", "Anno"},
                    {"NumCampo", "3"},
                    {"OrdCampo", "3"},
                    {"TipoOrig", "String"},
                    {"TipoDest", "Integer"},
                    {"Aggiorna", "a"}});
    ASSERT_EQ(carico.Esegui(QStringLiteral("ART")), 0);
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT Codice, Descr, Anno FROM Art")), QStringList {"A1|Vecchio|2002"});
}

TEST_F(Caricare, DuplicateKeyOnPlainInsert)
{
    const QString file = ambiente.FileSorgente(QStringLiteral("a.txt"), "A1;Uno;2001\nA1;Bis;2002\n");
    DefinizioneArticoli(file, {{"InsVaria", "I"}});
    ambiente.Campo(
        QStringLiteral("ART"),
        {{"NomeCampo", "Anno"}, {"NumCampo", "3"}, {"OrdCampo", "3"}, {"TipoDest", "Long"}, {"Aggiorna", "A"}});
    // Mode 0 retries as an update of the row the first line wrote.
    ASSERT_EQ(carico.Esegui(QStringLiteral("ART")), 0);
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT * FROM Art")), QStringList {"A1|Uno|2002"});
    EXPECT_EQ(carico.errori, 0);

    // Mode 1: the duplicate becomes "Chiave doppia".
    ambiente.Sql(QStringLiteral("UPDATE QuivaFile SET Modalita = '1'"));
    ambiente.Sql(QStringLiteral("DELETE FROM Art"));
    ASSERT_EQ(carico.Esegui(QStringLiteral("ART")), 0);
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT Riga, Errore FROM ErroriQuivamento")),
              QStringList {QStringLiteral("A1;Bis;2002|Chiave doppia")});

    // Any other mode looks the key up like 0: the second line edits the row.
    ambiente.Sql(QStringLiteral("UPDATE QuivaFile SET Modalita = '7'"));
    ambiente.Sql(QStringLiteral("DELETE FROM Art"));
    ASSERT_EQ(carico.Esegui(QStringLiteral("ART")), 0);
    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT count(*) FROM ErroriQuivamento")).toInt(), 0);
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT * FROM Art")), QStringList {"A1|Uno|2002"});
}

TEST_F(Caricare, EmptiesTablesAndRunsFinalQueries)
{
    ambiente.Sql(QStringLiteral("CREATE TABLE Log (Testo TEXT)"));
    ambiente.Sql(QStringLiteral("INSERT INTO Art VALUES ('OLD', 'x', 2001), ('KEEP', 'y', 2000)"));
    const QString file = ambiente.FileSorgente(QStringLiteral("a.txt"), "N1;Nuovo\n");
    DefinizioneArticoli(file,
                        {{"Azzera", "s"},
                         {"WhereAzz", "Anno = 2001"},
                         {"QueryFin1", "Insert into Log (Testo) Values (\"fine 1\")"},
                         {"QueryFin3", "Update Log Set Testo = Testo & '+3'"}});
    ASSERT_EQ(carico.Esegui(QStringLiteral("ART")), 0);
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT Codice FROM Art ORDER BY Codice")), (QStringList {"KEEP", "N1"}));
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT Testo FROM Log")), QStringList {"fine 1+3"});
}

TEST_F(Caricare, EmptyingWithAJoinClause)
{
    ambiente.Sql(QStringLiteral("CREATE TABLE T2 (Id VARCHAR(10), X INTEGER)"));
    ambiente.Sql(QStringLiteral("INSERT INTO Art VALUES ('A', 'x', 1), ('B', 'y', 2)"));
    ambiente.Sql(QStringLiteral("INSERT INTO T2 VALUES ('A', 1), ('B', 0)"));
    const QString file = ambiente.FileSorgente(QStringLiteral("a.txt"), "");
    DefinizioneArticoli(file,
                        {{"Azzera", "S"}, {"WhereAzz", "From Art Inner Join T2 On Art.Codice = T2.Id Where T2.X = 1"}});
    ASSERT_EQ(carico.Esegui(QStringLiteral("ART")), 0);
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT Codice FROM Art")), QStringList {"B"});
}

TEST_F(Caricare, StopBetweenLinesKeepsWhatWasWrittenAndSkipsFinalQueries)
{
    ambiente.Sql(QStringLiteral("CREATE TABLE Log (Testo TEXT)"));
    QByteArray righe;
    for (int i = 1; i <= 10; ++i)
        righe += "C" + QByteArray::number(i) + ";x\n";
    const QString file = ambiente.FileSorgente(QStringLiteral("a.txt"), righe);
    DefinizioneArticoli(file, {{"QueryFin1", "Insert into Log (Testo) Values ('fine')"}});
    ProgressoCheFerma progresso;
    progresso.fermaA = 4;
    ASSERT_EQ(carico.Esegui(QStringLiteral("ART"), &progresso), 0);
    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT count(*) FROM Art")).toInt(), 4);
    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT count(*) FROM Log")).toInt(), 0);
    EXPECT_TRUE(progresso.messaggi.contains(QStringLiteral("Quivamento ART")));
}

TEST_F(Caricare, MissingSourceFileAfterErrorRowsWereDeleted)
{
    ambiente.Sql(
        QStringLiteral("INSERT INTO ErroriQuivamento VALUES ('ART', 'x', 'vecchio'), ('ALTRO', 'y', 'resta')"));
    DefinizioneArticoli(ambiente.Percorso(QStringLiteral("manca.txt")));
    EXPECT_EQ(carico.Esegui(QStringLiteral("ART")), 53);
    EXPECT_EQ(carico.messaggi.testi,
              QStringList {QStringLiteral("Errore nell'apertura del file: ")
                           + ambiente.Percorso(QStringLiteral("manca.txt"))});
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT Tabella FROM ErroriQuivamento")), QStringList {"ALTRO"});
}

TEST_F(Caricare, ErrorRowsHoldTheLineExactlyAsRead)
{
    // An apostrophe, accented letters in UTF-8, a Windows-1252 line, a NUL.
    const QByteArray cp1252 = "X1;perch\xe8 \x80 l'altro\n";
    const QString file = ambiente.FileSorgente(
        QStringLiteral("a.txt"), "L'1;caff\xc3\xa8 l'ok;--;\\%*\n" + cp1252 + QByteArray("Z\0Z;nul\n", 8));
    DefinizioneArticoli(file, {{"InsVaria", "I"}});
    ambiente.Sql(QStringLiteral("UPDATE QuivaDettaglio SET ValValido = 'Q*' WHERE NomeCampo = 'Codice'"));
    ASSERT_EQ(carico.Esegui(QStringLiteral("ART")), 0);
    EXPECT_EQ(carico.errori, 3);
    const QStringList righe = ambiente.Righe(QStringLiteral("SELECT Riga FROM ErroriQuivamento ORDER BY rowid"));
    ASSERT_EQ(righe.size(), 3);
    EXPECT_EQ(righe[0], QStringLiteral("L'1;caff\u00e8 l'ok;--;\\%*"));
    EXPECT_EQ(righe[1], QStringLiteral("X1;perch\u00e8 \u20ac l'altro"));
    // A server keeps the NUL as its visible symbol rather than cut the line.
    EXPECT_EQ(righe[2],
              DatabaseProva::SuServer() ? QStringLiteral("Z\u2400Z;nul")
                                        : QString(QStringLiteral("Z\0Z;nul").data(), 7));
    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT Errore FROM ErroriQuivamento ORDER BY rowid")).toString(),
              QStringLiteral("Art.Codice: Campo con valore non valido (L'1)"));
}

TEST_F(Caricare, ValuesThatLookLikeSqlAreStoredAndFoundExactly)
{
    const QByteArray corpus = "x'); DROP TABLE Art; --;uno\n"
                              "a%;' OR '1'='1\n"
                              "a*;\\'\\\n"
                              "b_?;\"quoted\" -- /* c */\n"
                              "[!a];%s%n\n";
    const QString file = ambiente.FileSorgente(QStringLiteral("a.txt"), corpus + corpus);
    DefinizioneArticoli(file);
    ASSERT_EQ(carico.Esegui(QStringLiteral("ART")), 0);
    EXPECT_EQ(carico.errori, 0);
    // The second copy of each line found its row by key and updated it.
    EXPECT_EQ(
        ambiente.Righe(QStringLiteral("SELECT Codice, Descr FROM Art ORDER BY rowid")),
        (QStringList {"x')|DROP TABLE Art", "a%|' OR '1'='1", "a*|\\'\\", "b_?|\"quoted\" -- /* c */", "[!a]|%s%n"}));
}

TEST_F(Caricare, BinaryFilesAndLongLinesNeverStopTheLoad)
{
    QByteArray spazzatura;
    quint32 seme = 12345;
    for (int i = 0; i < 200000; ++i) {
        seme = seme * 1103515245u + 12345u;
        spazzatura += static_cast<char>(seme >> 16);
    }
    // Whatever line end the garbage starts with, CR LF ends these lines.
    spazzatura += "\r\nLUNGA;" + QByteArray(300000, 'x') + "\r\nC1;ultima\r\n";
    const QString file = ambiente.FileSorgente(QStringLiteral("bin.dat"), spazzatura);
    DefinizioneArticoli(file, {{"InsVaria", "I"}});
    ASSERT_EQ(carico.Esegui(QStringLiteral("ART")), 0);
    const int caricate = ambiente.Valore(QStringLiteral("SELECT count(*) FROM Art")).toInt();
    EXPECT_GT(caricate + carico.errori, 0);
    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT Descr FROM Art WHERE Codice = 'C1'")).toString(),
              QStringLiteral("ultima"));
    // The long description is cut to its column's size.
    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT Descr FROM Art WHERE Codice = 'LUNGA'")).toString(),
              QString(30, QLatin1Char('x')));
}

TEST_F(Caricare, DatabaseSizeLimitEndsTheLoadKeepingWholeLines)
{
    if (DatabaseProva::SuServer())
        GTEST_SKIP() << "a size limit of the database file";
    QByteArray righe;
    for (int i = 1; i <= 20000; ++i)
        righe += "C" + QByteArray::number(i).rightJustified(5, '0') + ";descrizione " + QByteArray::number(i) + "\n";
    DefinizioneArticoli(ambiente.FileSorgente(QStringLiteral("a.txt"), righe),
                        {{"QueryFin1", "Insert into Art (Codice) Values ('FINE')"}});
    ambiente.Sql(QStringLiteral("INSERT INTO ErroriQuivamento VALUES ('ART', 'x', 'vecchio')"));
    const int pagine = ambiente.Valore(QStringLiteral("PRAGMA page_count")).toInt();
    ambiente.Valore(QStringLiteral("PRAGMA max_page_count = %1").arg(pagine + 40));

    EXPECT_EQ(carico.Esegui(QStringLiteral("ART")), CodiciErrore::DiscoPieno);
    ASSERT_EQ(carico.messaggi.testi.size(), 1);
    EXPECT_TRUE(carico.messaggi.testi[0].contains(QStringLiteral("Spazio esaurito")))
        << carico.messaggi.testi[0].toStdString();
    EXPECT_EQ(ambiente.Valore(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT count(*) FROM ErroriQuivamento")).toInt(), 0);
    const int tenute = ambiente.Valore(QStringLiteral("SELECT count(*) FROM Art")).toInt();
    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT coalesce(max(Codice), 'C00000') FROM Art")).toString(),
              QStringLiteral("C%1").arg(tenute, 5, 10, QLatin1Char('0')));

    ambiente.Valore(QStringLiteral("PRAGMA max_page_count = 1000000"));
    EXPECT_EQ(carico.Esegui(QStringLiteral("ART")), 0);
    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT count(*) FROM Art")).toInt(), 20001);
}

TEST_F(Caricare, ReloadDeletesOnlyItsOwnErrorRows)
{
    ambiente.Sql(QStringLiteral("INSERT INTO ErroriQuivamento VALUES ('ALTRO', 'y', 'resta')"));
    const QString file = ambiente.FileSorgente(QStringLiteral("a.txt"), ";senza codice\n;ancora\n");
    DefinizioneArticoli(file, {{"InsVaria", "I"}});
    ASSERT_EQ(carico.Esegui(QStringLiteral("ART")), 0);
    ASSERT_EQ(carico.Esegui(QStringLiteral("ART")), 0);
    EXPECT_EQ(carico.errori, 4);  // two per load, added up by the caller
    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT count(*) FROM ErroriQuivamento WHERE Tabella = 'ART'")).toInt(),
              2);
    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT count(*) FROM ErroriQuivamento")).toInt(), 3);
}

}  // namespace

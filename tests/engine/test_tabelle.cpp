// Key queries, record writing errors, progressive codes and source paths.
#include "Caricamento.h"
#include "ScQuiva.h"

#include <gtest/gtest.h>

namespace {

class Tabelle : public ::testing::Test {
protected:
    AmbienteProva ambiente;
    Caricamento carico {ambiente};

    void SetUp() override
    {
        ambiente.Sql(QStringLiteral("CREATE TABLE T (A VARCHAR(10), B INTEGER, C VARCHAR(4), PRIMARY KEY (A, B))"));
        ambiente.Sql(QStringLiteral("CREATE TABLE Cod (Codice VARCHAR(8), Anno INTEGER, Nome VARCHAR(20))"));
    }

    void DefinizioneT(const QByteArray& righe, QVariantMap testata = {})
    {
        testata.insert(QStringLiteral("Tabella"), QStringLiteral("T"));
        testata.insert(QStringLiteral("Separatore"), QStringLiteral(";"));
        testata.insert(QStringLiteral("Origine"), ambiente.FileSorgente(QStringLiteral("t.txt"), righe));
        if (!testata.contains(QStringLiteral("Modalita")))
            testata.insert(QStringLiteral("Modalita"), QStringLiteral("0"));
        ambiente.Definizione(QStringLiteral("T"), testata);
        ambiente.Campo(QStringLiteral("T"),
                       {{"NomeCampo", "A"}, {"NumCampo", "1"}, {"OrdCampo", "1"}, {"TipoDest", "String"}});
        ambiente.Campo(QStringLiteral("T"),
                       {{"NomeCampo", "B"}, {"NumCampo", "2"}, {"OrdCampo", "2"}, {"TipoDest", "Long"}});
        ambiente.Campo(
            QStringLiteral("T"),
            {{"NomeCampo", "C"}, {"NumCampo", "3"}, {"OrdCampo", "3"}, {"TipoDest", "String"}, {"Aggiorna", "A"}});
    }
};

TEST_F(Tabelle, KeyFromThePrimaryIndexFindsTheRowByItsTypedValues)
{
    ambiente.Sql(QStringLiteral("INSERT INTO T VALUES ('x', 5, 'a'), ('O''Hara', 1, 'b')"));
    DefinizioneT("x;5;z\nO'Hara;1,0;w\nx;abc;q\n");
    ASSERT_EQ(carico.Esegui(QStringLiteral("T")), 0) << carico.messaggi.testi.join(u'\n').toStdString();
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT * FROM T ORDER BY A")), (QStringList {"O'Hara|1|w", "x|5|z"}));
    // A key value that is rejected looks nothing up.
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT Errore FROM ErroriQuivamento")),
              (QStringList {"T.B: Tipo non valido (abc)", "Impossibile costruire chiave di ricerca"}));
}

TEST_F(Tabelle, WriteErrorsNameTheFieldAndTheLoadGoesOn)
{
    DefinizioneT("a;1;TROPPO\nb;2;ok\n", {{"InsVaria", "I"}});
    // An explicit size keeps the value whole; the column is smaller.
    ambiente.Sql(QStringLiteral("UPDATE QuivaDettaglio SET Dimensione = 10 WHERE NomeCampo = 'C'"));
    ASSERT_EQ(carico.Esegui(QStringLiteral("T")), 0);
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT Errore FROM ErroriQuivamento ORDER BY rowid")),
              QStringList {"Valore troppo grande (TROPPO): campo T.C"});
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT * FROM T")), QStringList {"b|2|ok"});
}

TEST_F(Tabelle, DuplicateOnOneSlotStillSavesTheSlotsAfterIt)
{
    ambiente.Sql(QStringLiteral("CREATE TABLE L (A VARCHAR(10), N INTEGER)"));
    DefinizioneT("a;1;uno\na;1;due\n", {{"InsVaria", "I"}, {"Modalita", "1"}, {"Tabella2", "L"}, {"CodTab2", "L"}});
    ambiente.Campo(QStringLiteral("T"), {{"NomeCampo", "L A"}, {"NumCampo", "1"}, {"OrdCampo", "4"}});
    ambiente.Campo(QStringLiteral("T"), {{"NomeCampo", "L N"}, {"NumCampo", "2"}, {"OrdCampo", "5"}});
    ASSERT_EQ(carico.Esegui(QStringLiteral("T")), 0);
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT * FROM T")), QStringList {"a|1|uno"});
    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT count(*) FROM L")).toInt(), 2);
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT Errore FROM ErroriQuivamento")), QStringList {"Chiave doppia"});
}

class Progressivi : public Tabelle {
protected:
    // Loads one line into Cod with Codice from the default and Anno, Nome
    // from the line; gives the code written.
    QString Prossimo(const QString& predefinito, const QByteArray& riga = "2002;nome\n")
    {
        ambiente.Sql(QStringLiteral("DELETE FROM QuivaFile"));
        ambiente.Sql(QStringLiteral("DELETE FROM QuivaDettaglio"));
        ambiente.Definizione(QStringLiteral("P"),
                             {{"Tabella", "Cod"},
                              {"Modalita", "0"},
                              {"InsVaria", "I"},
                              {"Separatore", ";"},
                              {"Origine", ambiente.FileSorgente(QStringLiteral("p.txt"), riga)}});
        ambiente.Campo(QStringLiteral("P"),
                       {{"NomeCampo", "Anno"}, {"NumCampo", "1"}, {"OrdCampo", "1"}, {"TipoDest", "Long"}});
        ambiente.Campo(QStringLiteral("P"), {{"NomeCampo", "Nome"}, {"NumCampo", "2"}, {"OrdCampo", "2"}});
        ambiente.Campo(QStringLiteral("P"),
                       {{"NomeCampo", "Codice"}, {"Default", predefinito}, {"OrdCampo", "3"}, {"Obbligatorio", "S"}});
        EXPECT_EQ(carico.Esegui(QStringLiteral("P")), 0);
        const QString codice = ambiente.Valore(QStringLiteral("SELECT Codice FROM Cod WHERE Nome = 'nome'")).toString();
        ambiente.Sql(QStringLiteral("DELETE FROM Cod WHERE Nome = 'nome'"));
        return codice;
    }
};

TEST_F(Progressivi, PrefixedCodesAdvanceTheirLetter)
{
    ambiente.Sql(QStringLiteral("INSERT INTO Cod VALUES ('C0000041', 2001, 'x'), ('B0000099', 2001, 'x')"));
    EXPECT_EQ(Prossimo(QStringLiteral("^8,C")), QStringLiteral("C0000042"));
    ambiente.Sql(QStringLiteral("INSERT INTO Cod VALUES ('C9999999', 2001, 'x')"));
    EXPECT_EQ(Prossimo(QStringLiteral("^8,C")), QStringLiteral("D0000001"));
    ambiente.Sql(QStringLiteral("INSERT INTO Cod VALUES ('Z9999999', 2001, 'x')"));
    EXPECT_EQ(Prossimo(QStringLiteral("^8,Z")), QString());  // no code: the mandatory field rejects the line
    EXPECT_EQ(Prossimo(QStringLiteral("^8,CODICE9")), QStringLiteral("CODICE91"));
    EXPECT_EQ(Prossimo(QStringLiteral("^8,CODICE99")), QString());  // the prefix leaves no room
    // Lengths no column can hold are refused, not built.
    EXPECT_EQ(Prossimo(QStringLiteral("^100000000,C")), QString());
    EXPECT_LE(Prossimo(QStringLiteral("^9223372036854775807")).size(), 255);
}

TEST_F(Progressivi, NumericCodesAndGroups)
{
    ambiente.Sql(
        QStringLiteral("INSERT INTO Cod VALUES ('000007', 2002, 'x'), ('000041', 2001, 'x'), ('999', 1999, 'x')"));
    EXPECT_EQ(Prossimo(QStringLiteral("^6:Anno")), QStringLiteral("000008"));  // only the year of the line
    EXPECT_EQ(Prossimo(QStringLiteral("^0")), QStringLiteral("1000"));
    EXPECT_EQ(Prossimo(QStringLiteral("^-3")), QString());  // 1000 has four digits
    EXPECT_EQ(Prossimo(QStringLiteral("^-4")), QStringLiteral("1000"));
    ambiente.Sql(QStringLiteral("DELETE FROM Cod"));
    EXPECT_EQ(Prossimo(QStringLiteral("^4")), QStringLiteral("0001"));  // empty table
    EXPECT_EQ(Prossimo(QStringLiteral("^-9223372036854775808")), QStringLiteral("1"));
}

TEST(QuivaPathCompleta, CompletesRelativePathsOnly)
{
    AmbienteProva ambiente;
    Caricamento carico {ambiente};
    carico.contesto.driveDB = QStringLiteral("D:");
    carico.contesto.dirQuiva = QStringLiteral("C:\\Load");
    ScQuiva motore(carico.contesto);
    EXPECT_EQ(motore.QuivaPathCompleta(QStringLiteral("dati.txt")), QStringLiteral("C:\\Load\\dati.txt"));
    EXPECT_EQ(motore.QuivaPathCompleta(QStringLiteral("\\\\srv\\x.txt")), QStringLiteral("\\\\srv\\x.txt"));
    EXPECT_EQ(motore.QuivaPathCompleta(QStringLiteral("E:\\x.txt")), QStringLiteral("E:\\x.txt"));
    EXPECT_EQ(motore.QuivaPathCompleta(QStringLiteral("/srv/x.txt")), QStringLiteral("/srv/x.txt"));
    EXPECT_EQ(motore.QuivaPathCompleta(QStringLiteral("\\dati\\x.txt")), QStringLiteral("D:\\dati\\x.txt"));
    carico.contesto.driveDB = QStringLiteral("D:\\");
    carico.contesto.dirQuiva = QStringLiteral("/home/ditta/");
    EXPECT_EQ(motore.QuivaPathCompleta(QStringLiteral("\\dati\\x.txt")), QStringLiteral("D:\\dati\\x.txt"));
    EXPECT_EQ(motore.QuivaPathCompleta(QStringLiteral("x.txt")), QStringLiteral("/home/ditta/x.txt"));
}

}  // namespace

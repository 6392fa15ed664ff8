// What reaches a column fits its declared type and size: texts for number
// and date columns, numbers for text columns, key values longer than their
// column.
#include "Caricamento.h"

#include <gtest/gtest.h>

namespace {

class Colonne : public ::testing::Test {
protected:
    AmbienteProva ambiente;
    Caricamento carico {ambiente};

    void SetUp() override
    {
        ambiente.Sql(QStringLiteral("CREATE TABLE Tipi (Codice VARCHAR(10) PRIMARY KEY, N INTEGER, P SMALLINT, "
                                    "D DOUBLE PRECISION, Q DATE, S VARCHAR(2), M NUMERIC(5,2))"));
    }
    // Every field text-typed ("String", or no type given), S a whole number.
    void Carica(const QByteArray& righe)
    {
        ambiente.Definizione(QStringLiteral("TIPI"),
                             {{"Tabella", "Tipi"},
                              {"Separatore", ";"},
                              {"Modalita", "0"},
                              {"InsVaria", "I"},
                              {"Origine", ambiente.FileSorgente(QStringLiteral("t.txt"), righe)}});
        const char* colonne[] = {"Codice", "N", "P", "D", "Q", "S", "M"};
        for (int i = 0; i < 7; ++i)
            ambiente.Campo(QStringLiteral("TIPI"), {{"NomeCampo", colonne[i]},
                                                    {"NumCampo", i + 1},
                                                    {"OrdCampo", i + 1},
                                                    {"TipoDest", i == 5 ? "Long" : i % 2 ? "String" : ""}});
        ASSERT_EQ(carico.Esegui(QStringLiteral("TIPI")), 0);
    }
    QStringList Errori() { return ambiente.Righe(QStringLiteral("SELECT Errore FROM ErroriQuivamento ORDER BY Riga")); }
    QStringList Codici() { return ambiente.Righe(QStringLiteral("SELECT Codice FROM Tipi ORDER BY Codice")); }
};

TEST_F(Colonne, TextsForNumberAndDateColumnsAreReadTheItalianWayOrRejected)
{
    Carica("A;abc\n"
           "B;;;4,5\n"
           "C;1.000\n"
           "D;;;;ieri\n"
           "E;;;;31/01/2024\n"
           "F;;;ieri\n"
           "G;;70000\n"
           "H;;;;;;1234,5\n"
           "I;;;;;;123,45\n");
    EXPECT_EQ(Errori(), (QStringList {"Tipi.N: Tipo non valido (abc)", "Tipi.Q: Tipo non valido (ieri)",
                                      "Tipi.D: Tipo non valido (ieri)", "Tipi.P: Tipo non valido (70000)",
                                      "Tipi.M: Tipo non valido (1234,5)"}));
    EXPECT_EQ(Codici(), (QStringList {"B", "C", "E", "I"}));
    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT D FROM Tipi WHERE Codice = 'B'")).toDouble(), 4.5);
    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT N FROM Tipi WHERE Codice = 'C'")).toInt(), 1000);
    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT Q FROM Tipi WHERE Codice = 'E'")).toDate(), QDate(2024, 1, 31));
    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT M FROM Tipi WHERE Codice = 'I'")).toDouble(), 123.45);
}

TEST_F(Colonne, NumbersForTextColumnsAreTheirTextWithinTheColumnSize)
{
    Carica("A;;;;;7\nB;;;;;12345\n");
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT Codice, S FROM Tipi")), QStringList {"A|7"});
    EXPECT_EQ(Errori(), QStringList {"Valore troppo grande (12345): campo Tipi.S"});
}

class ChiaviTagliate : public ::testing::Test {
protected:
    AmbienteProva ambiente;
    Caricamento carico {ambiente};

    void SetUp() override
    {
        ambiente.Sql(QStringLiteral("CREATE TABLE K (Codice VARCHAR(10) PRIMARY KEY, Descr VARCHAR(5))"));
    }
    void Carica(const QByteArray& righe, const QVariant& dimensioneChiave = 0)
    {
        ambiente.Definizione(QStringLiteral("K"), {{"Tabella", "K"},
                                                   {"Separatore", ";"},
                                                   {"Modalita", "0"},
                                                   {"Origine", ambiente.FileSorgente(QStringLiteral("k.txt"), righe)}});
        ambiente.Campo(QStringLiteral("K"),
                       {{"NomeCampo", "Codice"}, {"NumCampo", "1"}, {"OrdCampo", "1"}, {"Dimensione", dimensioneChiave}});
        ambiente.Campo(QStringLiteral("K"), {{"NomeCampo", "Descr"}, {"NumCampo", "2"}, {"OrdCampo", "2"}});
        ASSERT_EQ(carico.Esegui(QStringLiteral("K")), 0);
    }
    QStringList Righe() { return ambiente.Righe(QStringLiteral("SELECT Codice, Descr FROM K ORDER BY Codice")); }
};

TEST_F(ChiaviTagliate, AKeyLongerThanItsColumnRejectsItsLineOtherTextsAreCut)
{
    Carica("ABCDEFGHIJ-1;uno\nABCDEFGHIJ-2;due\nABCDEFGHIJ;descrizione\n");
    EXPECT_EQ(Righe(), QStringList {"ABCDEFGHIJ|descr"});
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT Errore FROM ErroriQuivamento ORDER BY Riga, Errore")),
              (QStringList {"Impossibile costruire chiave di ricerca",
                            "K.Codice: Chiave più lunga della colonna (ABCDEFGHIJ-1)",
                            "Impossibile costruire chiave di ricerca",
                            "K.Codice: Chiave più lunga della colonna (ABCDEFGHIJ-2)"}));
}

TEST_F(ChiaviTagliate, ASizeOfTheDefinitionStillCutsTheKey)
{
    Carica("ABCDEFGHIJ-1;uno\nABCDEFGHIJ-2;due\n", 10);
    EXPECT_EQ(Righe(), QStringList {"ABCDEFGHIJ|uno"});  // the second line found the row
    EXPECT_EQ(carico.errori, 0);
}

}  // namespace

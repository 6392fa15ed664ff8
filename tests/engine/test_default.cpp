// Defaults of fields: prompted values and counters through the store the
// prompts fill, and amounts converted between the price list's currency and
// the column's.
#include "BloccoRighe.h"
#include "Caricamento.h"
#include "RecordsetManager.h"
#include "ValoriBase.h"

#include <QSqlQuery>
#include <gtest/gtest.h>

namespace {

class Default : public ::testing::Test {
protected:
    AmbienteProva ambiente;
    Caricamento carico {ambiente};

    void SetUp() override
    {
        ambiente.Sql(QStringLiteral(
            "CREATE TABLE Mov (Riga VARCHAR(10) PRIMARY KEY, Gruppo VARCHAR(10), Num INTEGER, Causale VARCHAR(10))"));
    }

    // Definition "MOV": Riga from field 1 (key), Gruppo from field 2, Num
    // with the given default, Causale with a plain prompt.
    void Definizione(const QString& file, const QString& defaultNum, const QString& tipo = {})
    {
        QVariantMap testata {{"Tabella", "Mov"}, {"Origine", file}, {"Separatore", ";"}, {"Modalita", "0"}};
        if (!tipo.isEmpty())
            testata.insert(QStringLiteral("Tipo"), tipo);
        ambiente.Definizione(QStringLiteral("MOV"), testata);
        const bool fisso = !tipo.isEmpty();
        ambiente.Campo(QStringLiteral("MOV"),
                       {{"NomeCampo", "Riga"},
                        {"OrdCampo", "1"},
                        {"TipoOrig", "String"},
                        {"TipoDest", "String"},
                        {"NumCampo", fisso ? "" : "1"},
                        {"Inizio", 1},
                        {"Lunghezza", fisso ? 4 : 0}});
        if (!fisso)
            ambiente.Campo(QStringLiteral("MOV"),
                           {{"NomeCampo", "Gruppo"},
                            {"OrdCampo", "2"},
                            {"NumCampo", "2"},
                            {"TipoOrig", "String"},
                            {"TipoDest", "String"}});
        ambiente.Campo(QStringLiteral("MOV"),
                       {{"NomeCampo", "Num"},
                        {"OrdCampo", "3"},
                        {"TipoOrig", "String"},
                        {"TipoDest", "Long"},
                        {"Default", defaultNum}});
        ambiente.Campo(QStringLiteral("MOV"),
                       {{"NomeCampo", "Causale"},
                        {"OrdCampo", "4"},
                        {"TipoOrig", "String"},
                        {"TipoDest", "String"},
                        {"Default", QString::fromUtf8("§Causale§VEN")}});
    }

    // The prompts of MOV answered in order, as the prompt window stores them.
    void Rispondi(const QStringList& risposte)
    {
        RaccoltaValBase raccolta;
        RecordsetManager rs(ambiente.Db());
        QString errore;
        ASSERT_EQ(raccolta.RicValDefault(rs, QStringLiteral("MOV"), errore), 0) << errore.toStdString();
        raccolta.Memorizza(risposte, carico.valori);
    }

    QStringList Numeri() { return ambiente.Righe(QStringLiteral("SELECT Riga, Num FROM Mov ORDER BY Riga")); }
};

TEST_F(Default, CounterRestartsOnEveryChangeOfTheBreakFieldAndPlainPromptsGiveTheAnswer)
{
    const QString file = ambiente.FileSorgente(QStringLiteral("m.txt"), "1;A\n2;A\n3;B\n4;b\n5;A\n");
    Definizione(file, QString::fromUtf8("§#2#Numero§100"));
    Rispondi({QStringLiteral("100"), QStringLiteral("ACQ")});
    ASSERT_EQ(carico.Esegui(QStringLiteral("MOV")), 0);
    // "b" belongs to group "B" (case ignored); A comes back and restarts.
    EXPECT_EQ(Numeri(), (QStringList {"1|101", "2|102", "3|101", "4|102", "5|101"}));
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT DISTINCT Causale FROM Mov")), QStringList {"ACQ"});
}

TEST_F(Default, CounterGroupIsTheFieldsOfTheListJoinedInOrder)
{
    // Riga from field 2; the group is field 1 followed by field 3.
    const QString file = ambiente.FileSorgente(QStringLiteral("m.txt"), "X;1;Y\nX;2;Y\nXY;3;\nX;4;Z\n");
    ambiente.Definizione(QStringLiteral("MOV"),
                         {{"Tabella", "Mov"}, {"Origine", file}, {"Separatore", ";"}, {"Modalita", "0"}});
    ambiente.Campo(
        QStringLiteral("MOV"),
        {{"NomeCampo", "Riga"}, {"OrdCampo", "1"}, {"NumCampo", "2"}, {"TipoOrig", "String"}, {"TipoDest", "String"}});
    ambiente.Campo(QStringLiteral("MOV"),
                   {{"NomeCampo", "Num"},
                    {"OrdCampo", "2"},
                    {"TipoOrig", "String"},
                    {"TipoDest", "Long"},
                    {"Default", QString::fromUtf8("§# 1,3 #Numero§100")}});
    Rispondi({QStringLiteral("100")});
    ASSERT_EQ(carico.Esegui(QStringLiteral("MOV")), 0);
    // "XY" + "" continues the group "X" + "Y".
    EXPECT_EQ(Numeri(), (QStringList {"1|101", "2|102", "3|103", "4|101"}));
}

TEST_F(Default, CounterWithoutBreakOnlyGrowsAndContinuesInTheSameRun)
{
    const QString file = ambiente.FileSorgente(QStringLiteral("m.txt"), "1;A\n2;B\n3;C\n");
    Definizione(file, QString::fromUtf8("§##Numero"));
    Rispondi({QStringLiteral("0"), QString()});
    ASSERT_EQ(carico.Esegui(QStringLiteral("MOV")), 0);
    EXPECT_EQ(Numeri(), (QStringList {"1|1", "2|2", "3|3"}));
    // A second load of the same run goes on from where the first stopped.
    ambiente.Sql(QStringLiteral("DELETE FROM Mov"));
    ASSERT_EQ(carico.Esegui(QStringLiteral("MOV")), 0);
    EXPECT_EQ(Numeri(), (QStringList {"1|4", "2|5", "3|6"}));
}

TEST_F(Default, CounterBreakByPositionOnFixedWidthLines)
{
    // Columns 5-8 hold the group.
    const QString file = ambiente.FileSorgente(QStringLiteral("m.txt"), "0001AAAAx\n0002AAAAy\n0003BBBBx\n0004AAAAx\n");
    Definizione(file, QString::fromUtf8("§#5:4#Numero§100"), QStringLiteral("F"));
    Rispondi({QStringLiteral("100"), QString()});
    ASSERT_EQ(carico.Esegui(QStringLiteral("MOV")), 0);
    EXPECT_EQ(Numeri(), (QStringList {"0001|101", "0002|102", "0003|101", "0004|101"}));
}

TEST_F(Default, LiteralDefaultAndUnaskedPrompt)
{
    const QString file = ambiente.FileSorgente(QStringLiteral("m.txt"), "1;A\n2;B\n");
    Definizione(file, QStringLiteral("7"));
    // No answers at all: the prompted Causale stays empty and the store
    // gains no entry by being read.
    ASSERT_EQ(carico.Esegui(QStringLiteral("MOV")), 0);
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT Riga, Num, Causale FROM Mov ORDER BY Riga")),
              (QStringList {"1|7|", "2|7|"}));
    EXPECT_TRUE(carico.valori.Vuoto());
}

// Amounts: the record's price list gives the currency of the source value.
class Importi : public ::testing::Test {
protected:
    AmbienteProva ambiente;
    Caricamento carico {ambiente};

    void SetUp() override
    {
        ambiente.Sql(QStringLiteral("CREATE TABLE Listini (Listino VARCHAR(10) PRIMARY KEY, Moneta VARCHAR(10))"));
        ambiente.Sql(QStringLiteral("INSERT INTO Listini VALUES ('LIRE', 'L.'), ('EURO', 'Euro'), ('DOLLARI', 'USD')"));
        ambiente.Sql(QStringLiteral(
            "CREATE TABLE Prezzi (Id VARCHAR(10) PRIMARY KEY, Listino VARCHAR(10), Lire DOUBLE PRECISION, Euro DOUBLE PRECISION)"));
    }

    // Lire and Euro both take field 3; Lire rounds to 0 decimals.
    void Definizione(const QByteArray& righe)
    {
        const QString file = ambiente.FileSorgente(QStringLiteral("p.txt"), righe);
        ambiente.Definizione(QStringLiteral("PRZ"),
                             {{"Tabella", "Prezzi"}, {"Origine", file}, {"Separatore", ";"}, {"Modalita", "0"}});
        ambiente.Campo(QStringLiteral("PRZ"),
                       {{"NomeCampo", "Id"},
                        {"OrdCampo", "1"},
                        {"NumCampo", "1"},
                        {"TipoOrig", "String"},
                        {"TipoDest", "String"}});
        ambiente.Campo(QStringLiteral("PRZ"),
                       {{"NomeCampo", "Listino"},
                        {"OrdCampo", "2"},
                        {"NumCampo", "2"},
                        {"TipoOrig", "String"},
                        {"TipoDest", "String"}});
        ambiente.Campo(QStringLiteral("PRZ"),
                       {{"NomeCampo", "Lire"},
                        {"OrdCampo", "3"},
                        {"NumCampo", "3"},
                        {"TipoOrig", "String"},
                        {"TipoDest", "Double"},
                        {"LireOValuta", "L"},
                        {"Riempie", "0"}});
        ambiente.Campo(QStringLiteral("PRZ"),
                       {{"NomeCampo", "Euro"},
                        {"OrdCampo", "4"},
                        {"NumCampo", "3"},
                        {"TipoOrig", "String"},
                        {"TipoDest", "Double"},
                        {"LireOValuta", "V"}});
    }

    QStringList Prezzi() { return ambiente.Righe(QStringLiteral("SELECT Id, Lire, Euro FROM Prezzi ORDER BY Id")); }
};

TEST_F(Importi, LireEuroAndThirdCurrency)
{
    Definizione("1;LIRE;1234,6\n2;LIRE;1936,27\n3;EURO;1,00\n4;EURO;12,345\n5;DOLLARI;5\n6;;7,5\n7;NESSUNO;2,5\n");
    ASSERT_EQ(carico.Esegui(QStringLiteral("PRZ")), 0);
    EXPECT_EQ(Prezzi(),
              (QStringList {
                  "1|1235|0.64",    // lire kept, rounded to 0 decimals; 1234,6 lire in euro
                  "2|1936|1",       // 1936,27 lire are 1,00 euro
                  "3|1936|1",       // one euro in lire at 0 decimals
                  "4|23913|12.35",  // euro rounded to 2 decimals before converting
                  "5|NULL|5",       // a third currency has no lire value
                  "6|14522|7.5",    // no price list: the company currency (euro)
                  "7|4841|2.5",     // a list without a row: the company currency
              }));
    EXPECT_EQ(carico.errori, 0);
}

// Listini is read once per change of price list: a change of the table during
// the load is seen only when the record's list changes. The change comes
// after a whole block of lines, when lines read ahead on a server have run
// too.
class CambiaListino : public ProgressMonitorMuto {
public:
    AmbienteProva* ambiente = nullptr;
    bool inCaricamento = false;
    void Fase(FaseQuiva fase, const QString&) override { inCaricamento = fase == FaseQuiva::Caricamento; }
    void Posizione(long posizione) override
    {
        if (inCaricamento && posizione == BloccoRighe::RighePerBlocco)
            ambiente->Sql(QStringLiteral("UPDATE Listini SET Moneta = 'Euro' WHERE Listino = 'LIRE'"));
    }
};

TEST_F(Importi, PriceListLookedUpOncePerChange)
{
    QByteArray righe;
    for (int i = 1; i <= BloccoRighe::RighePerBlocco; ++i)
        righe += QStringLiteral("A%1;LIRE;1936,27\n").arg(i, 3, 10, QLatin1Char('0')).toUtf8();
    Definizione(righe + "B1;LIRE;1936,27\nB2;EURO;1936,27\nB3;LIRE;1936,27\n");
    CambiaListino progresso;
    progresso.ambiente = &ambiente;
    ASSERT_EQ(carico.Esegui(QStringLiteral("PRZ"), &progresso), 0);
    const QStringList prezzi = Prezzi();
    ASSERT_EQ(prezzi.size(), BloccoRighe::RighePerBlocco + 3);
    EXPECT_EQ(prezzi[BloccoRighe::RighePerBlocco], "B1|1936|1");             // same list: the currency read before
    EXPECT_EQ(prezzi[BloccoRighe::RighePerBlocco + 2], "B3|3749142|1936.27");  // the list again after another: read anew
}

TEST_F(Importi, RecordWithoutPriceListDoesNotHideTheNextLookup)
{
    Definizione("1;LIRE;1936,27\n2;;1936,27\n3;LIRE;1936,27\n");
    ASSERT_EQ(carico.Esegui(QStringLiteral("PRZ")), 0);
    EXPECT_EQ(Prezzi(), (QStringList {"1|1936|1", "2|3749142|1936.27", "3|1936|1"}));
}

TEST_F(Importi, ZeroRateLeavesTheAmountUnconverted)
{
    carico.contesto.ditta.cambioLiraEuro = 0;
    Definizione("1;LIRE;1936,27\n");
    ASSERT_EQ(carico.Esegui(QStringLiteral("PRZ")), 0);
    EXPECT_EQ(Prezzi(), QStringList {"1|1936|1936.27"});
}

}  // namespace

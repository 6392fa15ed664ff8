// Keys and comparisons of a load: letter case never matters, an empty text
// key is found again, and no line is dropped without an error row.
#include "Caricamento.h"

#include <QSqlQuery>
#include <gtest/gtest.h>

namespace {

class Chiavi : public ::testing::Test {
protected:
    AmbienteProva ambiente;
    Caricamento carico {ambiente};

    void SetUp() override
    {
        if (DatabaseProva::SuServer())
            GTEST_SKIP() << "row order and query plans of SQLite";
        // A table made by another tool: its key compares with case.
        ambiente.Sql(QStringLiteral("CREATE TABLE Clienti (Codice VARCHAR(10) PRIMARY KEY, Nome VARCHAR(30))"));
    }

    // Definition "CLIENTI": Codice (key) from field 1, Nome from field 2.
    void Definizione(const QByteArray& righe, QVariantMap testata = {}, QVariantMap codice = {})
    {
        testata.insert(QStringLiteral("Tabella"), QStringLiteral("Clienti"));
        testata.insert(QStringLiteral("Origine"), ambiente.FileSorgente(QStringLiteral("c.txt"), righe));
        testata.insert(QStringLiteral("Separatore"), QStringLiteral(";"));
        if (!testata.contains(QStringLiteral("Modalita")))
            testata.insert(QStringLiteral("Modalita"), QStringLiteral("0"));
        ambiente.Definizione(QStringLiteral("CLIENTI"), testata);
        codice.insert(QStringLiteral("NomeCampo"), QStringLiteral("Codice"));
        codice.insert(QStringLiteral("NumCampo"), QStringLiteral("K1"));
        codice.insert(QStringLiteral("OrdCampo"), QStringLiteral("1"));
        ambiente.Campo(QStringLiteral("CLIENTI"), codice);
        ambiente.Campo(QStringLiteral("CLIENTI"),
                       {{"NomeCampo", "Nome"}, {"NumCampo", "2"}, {"OrdCampo", "2"}, {"Aggiorna", "A"}});
    }

    QStringList Clienti() { return ambiente.Righe(QStringLiteral("SELECT Codice, Nome FROM Clienti ORDER BY rowid")); }
    QStringList Errori()
    {
        return ambiente.Righe(QStringLiteral("SELECT Errore FROM ErroriQuivamento ORDER BY rowid"));
    }
};

TEST_F(Chiavi, KeyLookUpIgnoresCaseAndStaysOnAnIndex)
{
    ambiente.Sql(QStringLiteral("INSERT INTO Clienti VALUES ('c001', 'Vecchio')"));
    Definizione("C001;Nuovo\nc002;Due\nC002;Due bis\n");
    ASSERT_EQ(carico.Esegui(QStringLiteral("CLIENTI")), 0);
    EXPECT_EQ(Clienti(), (QStringList {"c001|Nuovo", "c002|Due bis"}));
    EXPECT_TRUE(Errori().isEmpty());

    // The look-up the load runs, as the database plans it.
    QSqlQuery piano(ambiente.Db().Database());
    ASSERT_TRUE(piano.exec(QStringLiteral("EXPLAIN QUERY PLAN ")
                           + ambiente.Db().Traduci(QStringLiteral("Select * from Clienti Where Codice = 'C001'"))));
    ASSERT_TRUE(piano.next());
    EXPECT_TRUE(piano.value(3).toString().contains(QLatin1String("USING INDEX quiva_nocase_Clienti_Codice")))
        << piano.value(3).toString().toStdString();
}

TEST_F(Chiavi, DefinitionFoundWhateverTheCaseOfItsCode)
{
    // Definition tables made by another tool compare with case too.
    for (const char* tabella : {"QuivaFile", "QuivaDettaglio", "QuivaDecod", "ErroriQuivamento"})
        for (const char* sql :
             {"CREATE TABLE Copia AS SELECT * FROM %1", "DROP TABLE %1", "ALTER TABLE Copia RENAME TO %1"})
            ambiente.Sql(QString::fromLatin1(sql).arg(QLatin1String(tabella)));
    Definizione("C1;Uno\n");
    ambiente.Sql(QStringLiteral("INSERT INTO ErroriQuivamento VALUES ('Clienti', 'vecchia', 'vecchio errore')"));
    ASSERT_EQ(carico.Esegui(QStringLiteral("clienti")), 0);
    EXPECT_EQ(Clienti(), QStringList {QStringLiteral("C1|Uno")});
    EXPECT_TRUE(Errori().isEmpty());  // the old error rows of the definition are gone
}

TEST_F(Chiavi, EmptyTextKeyIsFoundAgain)
{
    // "000" becomes the empty text: the second line updates the first one's row.
    for (const char* insVaria : {"V", "I"}) {
        SCOPED_TRACE(insVaria);
        for (const char* tabella : {"Clienti", "QuivaFile", "QuivaDettaglio"})
            ambiente.Sql(QStringLiteral("DELETE FROM ") + QLatin1String(tabella));
        Definizione("000;Uno\n000;Due\n", {{"InsVaria", insVaria}}, {{"Conv0ToNull", "S"}});
        ASSERT_EQ(carico.Esegui(QStringLiteral("CLIENTI")), 0);
        EXPECT_EQ(Clienti(), QStringList {QStringLiteral("|Due")});
        EXPECT_TRUE(Errori().isEmpty());
    }
}

TEST_F(Chiavi, LineThatCannotBeWrittenEvenAsAnUpdateLeavesAnErrorRow)
{
    // The names are unique too: the second line's insert fails on the name,
    // and its key finds no row to update.
    ambiente.Sql(QStringLiteral("CREATE UNIQUE INDEX Clienti_Nome ON Clienti (Nome)"));
    Definizione("C1;Uguale\nC2;Uguale\n", {{"InsVaria", "I"}});
    ASSERT_EQ(carico.Esegui(QStringLiteral("CLIENTI")), 0);
    EXPECT_EQ(Clienti(), QStringList {QStringLiteral("C1|Uguale")});
    EXPECT_EQ(Errori(), QStringList {QStringLiteral("Chiave doppia")});
}

TEST_F(Chiavi, DuplicateKeysOfAnInsertOnlyLoadAreRetriedThroughAnIndex)
{
    const QString indici = QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name GLOB 'quiva_nocase_*'");
    // New keys only: no index is made for a load that never looks up.
    Definizione("C1;Uno\nC2;Due\n", {{"InsVaria", "I"}});
    ASSERT_EQ(carico.Esegui(QStringLiteral("CLIENTI")), 0);
    EXPECT_EQ(ambiente.Valore(indici).toInt(), 0);
    // A line loaded twice finds its row through the key's index, so that a
    // file loaded again does not read the whole table once per line.
    ambiente.Sql(QStringLiteral("DELETE FROM QuivaFile"));
    ambiente.Sql(QStringLiteral("DELETE FROM QuivaDettaglio"));
    Definizione("C2;Bis\nC3;Tre\n", {{"InsVaria", "I"}});
    ASSERT_EQ(carico.Esegui(QStringLiteral("CLIENTI")), 0);
    EXPECT_EQ(Clienti(), (QStringList {QStringLiteral("C1|Uno"), QStringLiteral("C2|Bis"), QStringLiteral("C3|Tre")}));
    EXPECT_EQ(ambiente.Valore(indici).toInt(), 1);
}

}  // namespace

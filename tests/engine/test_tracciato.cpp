// Reading a load definition into the engine.
#include "Caricamento.h"
#include "ScQuiva.h"

#include <gtest/gtest.h>

namespace {

class Tracciato : public ::testing::Test {
protected:
    AmbienteProva ambiente;
    Caricamento carico {ambiente};
    ScQuiva motore {carico.contesto};

    void SetUp() override
    {
        ambiente.Sql(QStringLiteral("CREATE TABLE Art (Codice VARCHAR(10) PRIMARY KEY, Descr VARCHAR(30), Prezzo REAL, "
                                    "BImporto REAL, Importo REAL)"));
        ambiente.Sql(QStringLiteral("CREATE TABLE Righe (Id INTEGER, Qta INTEGER)"));
    }
};

TEST_F(Tracciato, MissingHeaderOrDetailsStopsWithItsMessage)
{
    EXPECT_EQ(motore.LeggiTracciato(QStringLiteral("NOPE")), -1);
    EXPECT_EQ(carico.messaggi.testi, QStringList {QStringLiteral("Mancano i dati per il codice NOPE")});

    ambiente.Definizione(QStringLiteral("VUOTA"), {{"Tabella", "Art"}});
    ScQuiva altro(carico.contesto);
    EXPECT_EQ(altro.LeggiTracciato(QStringLiteral("VUOTA")), -1);
    EXPECT_EQ(carico.messaggi.testi.last(), QStringLiteral("Nessun dettaglio per il codice VUOTA"));
    EXPECT_EQ(altro.slot(1).tabella, QStringLiteral("Art"));  // the header stays read
}

TEST_F(Tracciato, HeaderValuesAreNormalised)
{
    ambiente.Definizione(QStringLiteral("D1"),
                         {{"Tabella", "Art"},
                          {"WhereAzz", " x = 1 "},
                          {"Modalita", "2"},
                          {"InsVaria", "I"},
                          {"Tabella2", "Righe"},
                          {"CodTab2", "R"},
                          {"WhereAzz2", " x = 1 "},
                          {"Separatore", "\\059"},
                          {"SaltaInizio", 2},
                          {"Tipo", "d"},
                          {"Origine", "dati.txt"}});
    ambiente.Campo(QStringLiteral("D1"), {{"NomeCampo", "Codice"}, {"NumCampo", "1"}, {"ValoreOper", "  10 "}});
    carico.contesto.dirQuiva = QStringLiteral("C:\\Load");
    ASSERT_EQ(motore.LeggiTracciato(QStringLiteral("d1")), 0);
    EXPECT_EQ(motore.InsVaria(), QStringLiteral("V"));  // update-only forces key look-up
    EXPECT_EQ(motore.slot(1).whereAzz, QStringLiteral(" x = 1 "));
    EXPECT_EQ(motore.slot(2).whereAzz, QStringLiteral("x = 1"));
    EXPECT_EQ(motore.slot(1).campi, QStringLiteral("*"));
    EXPECT_EQ(motore.Separatore(), QStringLiteral(";"));
    EXPECT_EQ(motore.SaltaInizio(), 2);
    EXPECT_EQ(motore.Origine(), QStringLiteral("C:\\Load\\dati.txt"));
    ASSERT_EQ(motore.Campi().size(), 1u);
    EXPECT_EQ(motore.Campi()[0]->osValoreOper, QStringLiteral("10"));
    EXPECT_EQ(motore.Campi()[0]->oiNumDec, ScQuivaCampi::NumDecNonImpostato);
}

TEST_F(Tracciato, EmptySeparatorIsTab)
{
    ambiente.Definizione(QStringLiteral("D"), {{"Tabella", "Art"}, {"Modalita", "0"}, {"InsVaria", "I"}});
    ambiente.Campo(QStringLiteral("D"), {{"NomeCampo", "Codice"}, {"NumCampo", "1"}, {"Quanto", 2}});
    ASSERT_EQ(motore.LeggiTracciato(QStringLiteral("D")), 0);
    EXPECT_EQ(motore.Separatore(), QStringLiteral("\t"));
    EXPECT_EQ(motore.InsVaria(), QStringLiteral("I"));
    EXPECT_EQ(motore.Campi()[0]->oiNumDec, 2);
}

TEST_F(Tracciato, FieldsFollowNumericOrderWithNullsLast)
{
    ambiente.Definizione(QStringLiteral("D"), {{"Tabella", "Art"}});
    ambiente.Campo(QStringLiteral("D"), {{"NomeCampo", "Prezzo"}, {"OrdCampo", QVariant()}});
    ambiente.Campo(QStringLiteral("D"), {{"NomeCampo", "Descr"}, {"OrdCampo", "10"}});
    ambiente.Campo(QStringLiteral("D"), {{"NomeCampo", "Codice"}, {"OrdCampo", "9"}});
    ASSERT_EQ(motore.LeggiTracciato(QStringLiteral("D")), 0);
    QStringList ordine;
    for (const auto& c : motore.Campi())
        ordine << c->osNomeCampo;
    EXPECT_EQ(ordine, (QStringList {"Codice", "Descr", "Prezzo"}));
}

TEST_F(Tracciato, RoutingOfFieldNamesToSlots)
{
    ambiente.Definizione(
        QStringLiteral("D"),
        {{"Tabella", "Art"}, {"Tabella2", "Righe"}, {"CodTab2", "B"}, {"Tabella3", "Righe3"}, {"CodTab3", "C"}});
    ambiente.Sql(QStringLiteral("CREATE TABLE Righe3 (Qta INTEGER)"));
    ambiente.Campo(QStringLiteral("D"), {{"NomeCampo", "C Qta"}, {"NumCampo", "1"}, {"OrdCampo", "1"}});
    ambiente.Campo(QStringLiteral("D"),
                   {{"NomeCampo", "BImporto"}, {"NumCampo", "2"}, {"OrdCampo", "2"}, {"TipoDest", "Double"}});
    ambiente.Campo(QStringLiteral("D"),
                   {{"NomeCampo", "Z Importo"}, {"NumCampo", "3"}, {"OrdCampo", "3"}, {"TipoDest", "Double"}});
    ambiente.Campo(QStringLiteral("D"), {{"NomeCampo", "Codice"}, {"NumCampo", "4"}, {"OrdCampo", "4"}});
    ASSERT_EQ(motore.LeggiTracciato(QStringLiteral("D")), 0);
    const ScQuivaCampi* qta = motore.Campo(QStringLiteral("Righe3.Qta"));
    ASSERT_TRUE(qta);
    EXPECT_EQ(qta->osCodTab, QStringLiteral("C"));
    EXPECT_TRUE(motore.Campo(QStringLiteral("Art.BImporto")));
    const ScQuivaCampi* z = motore.Campo(QStringLiteral("Art.Importo"));
    ASSERT_TRUE(z);
    EXPECT_EQ(z->osCodTab, QStringLiteral("Z"));
    // Loaded, C's field goes into slot 3's table and the unknown code's into
    // slot 1's.
    ambiente.Sql(
        QStringLiteral("UPDATE QuivaFile SET Separatore = ';', InsVaria = 'I', Origine = '%1' WHERE Codice = 'D'")
            .arg(ambiente.FileSorgente(QStringLiteral("d.txt"), "7;2;3;A1\n")));
    ASSERT_EQ(carico.Esegui(QStringLiteral("D")), 0);
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT Qta FROM Righe3")), QStringList {"7"});
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT BImporto, Importo FROM Art")), QStringList {"2|3"});
}

TEST_F(Tracciato, KeyFieldsFromMarksOrFromThePrimaryIndex)
{
    ambiente.Definizione(QStringLiteral("D"), {{"Tabella", "Art"}, {"Tabella2", "Righe"}, {"CodTab2", "R"}});
    ambiente.Campo(QStringLiteral("D"), {{"NomeCampo", "Codice"}, {"NumCampo", "2"}, {"OrdCampo", "1"}});
    ambiente.Campo(QStringLiteral("D"), {{"NomeCampo", "R Id"}, {"NumCampo", "K1"}, {"OrdCampo", "2"}});
    ambiente.Campo(QStringLiteral("D"), {{"NomeCampo", "R Qta"}, {"NumCampo", "k3"}, {"OrdCampo", "3"}});
    ASSERT_EQ(motore.LeggiTracciato(QStringLiteral("D")), 0);
    EXPECT_EQ(motore.Campo(QStringLiteral("Art.Codice"))->osChiave, QStringLiteral("S"));  // primary index
    EXPECT_EQ(motore.Campo(QStringLiteral("Righe.Id"))->osNumCampo, QStringLiteral("1"));
    EXPECT_EQ(motore.Campo(QStringLiteral("Righe.Qta"))->osNumCampo, QStringLiteral("3"));
    EXPECT_EQ(motore.Campo(QStringLiteral("Righe.Qta"))->osChiave, QStringLiteral("S"));
}

TEST_F(Tracciato, DecodeRowForUnknownFieldIsReportedAsError)
{
    ambiente.Definizione(QStringLiteral("D"), {{"Tabella", "Art"}});
    ambiente.Campo(QStringLiteral("D"), {{"NomeCampo", "Codice"}});
    ambiente.Decodifica(QStringLiteral("D"), QStringLiteral("Art"), QStringLiteral("Manca"), "1", "A");
    EXPECT_GT(motore.LeggiTracciato(QStringLiteral("D")), 0);
    ASSERT_EQ(carico.messaggi.testi.size(), 1);
    EXPECT_TRUE(carico.messaggi.testi[0].startsWith(QStringLiteral("Errore(")));
}

TEST(ConvEscape, ConvertsCodesAndKeepsWhatIsNotACode)
{
    const std::pair<const char*, const char*> casi[] = {
        {"\\009", "\t"}, {"a\\059b", "a;b"}, {"\\\\", "\\"}, {"\\x;", "\\x;"}, {"|\\05", "|\\05"},
    };
    for (const auto& [testo, atteso] : casi)
        EXPECT_EQ(ScQuiva::ConvEscape(QString::fromUtf8(testo)), QString::fromUtf8(atteso)) << testo;
}

}  // namespace

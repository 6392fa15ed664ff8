// The editor's check finds each problem it names, on a definition built to
// have it, and nothing on a sound one.
#include "Caricamento.h"
#include "VerificaEditor.h"

#include <gtest/gtest.h>

namespace {

using Genere = ProblemaDefinizione::Genere;

class VerificheEditor : public ::testing::Test {
protected:
    AmbienteProva ambiente;
    Caricamento carico {ambiente};

    void SetUp() override
    {
        ambiente.Sql(QStringLiteral("CREATE TABLE T (A VARCHAR(10) PRIMARY KEY, B VARCHAR(10), C VARCHAR(10))"));
        ambiente.Sql(QStringLiteral("CREATE TABLE N (X VARCHAR(10), Y VARCHAR(10))"));
    }
    void Definizione(QVariantMap testata, const QList<QVariantMap>& campi)
    {
        testata.insert(QStringLiteral("Origine"), ambiente.FileSorgente(QStringLiteral("t.txt"), "0123456789\n01234\n"));
        if (!testata.contains(QStringLiteral("Tabella")))
            testata.insert(QStringLiteral("Tabella"), QStringLiteral("T"));
        if (!testata.contains(QStringLiteral("Separatore")))
            testata.insert(QStringLiteral("Separatore"), QStringLiteral(";"));
        ambiente.Definizione(QStringLiteral("D"), testata);
        int ordine = 0;
        for (QVariantMap c : campi) {
            c.insert(QStringLiteral("OrdCampo"), QString::number(++ordine));
            ambiente.Campo(QStringLiteral("D"), c);
        }
    }
    std::vector<Genere> Generi()
    {
        const EsitoVerifica esito = VerificaCompleta(carico.contesto, QStringLiteral("D"));
        EXPECT_EQ(esito.lettura, 0);
        std::vector<Genere> generi;
        for (const ProblemaDefinizione& p : esito.problemi)
            generi.push_back(p.genere);
        return generi;
    }
};

TEST_F(VerificheEditor, SoundDefinitionHasNoProblem)
{
    Definizione({}, {{{"NomeCampo", "A"}, {"NumCampo", "1"}}, {{"NomeCampo", "B"}, {"Default", "§Causale§VEN"}}});
    EXPECT_TRUE(Generi().empty());
    EXPECT_EQ(TestoVerifica(QStringLiteral("D"), {}), QStringLiteral("Verifica D: nessun problema"));
}

TEST_F(VerificheEditor, ColumnWrittenTwiceIsNamedBeforeTheDefinitionIsRead)
{
    Definizione({}, {{{"NomeCampo", "A"}, {"NumCampo", "1"}},
                     {{"NomeCampo", "B"}, {"NumCampo", "2"}},
                     {{"NomeCampo", "Q B"}, {"NumCampo", "3"}}});  // no slot coded Q: B again
    const EsitoVerifica esito = VerificaCompleta(carico.contesto, QStringLiteral("D"));
    ASSERT_EQ(esito.problemi.size(), 1u);
    EXPECT_EQ(esito.problemi[0].genere, Genere::ColonnaDoppia);
    EXPECT_EQ(esito.problemi[0].nomeCampo, QStringLiteral("Q B"));
    ambiente.Decodifica(QStringLiteral("D"), QStringLiteral("T"), QStringLiteral("Manca"), QStringLiteral("1"),
                        QStringLiteral("2"));
    EXPECT_EQ(VerificaCompleta(carico.contesto, QStringLiteral("D")).problemi.back().genere, Genere::DecodificaOrfana);
    EXPECT_TRUE(carico.messaggi.testi.isEmpty());
}

TEST_F(VerificheEditor, FindEachProblemOfTheFieldRows)
{
    Definizione({}, {{{"NomeCampo", "A"}, {"NumCampo", "1"}},
                     {{"NomeCampo", "C"}}});  // nothing to read
    ambiente.Campo(QStringLiteral("D"), {{"NomeCampo", "X"}, {"Default", "§#1#§1"}, {"OrdCampo", "9"}});
    const EsitoVerifica esito = VerificaCompleta(carico.contesto, QStringLiteral("D"));
    EXPECT_EQ(esito.lettura, 0) << carico.messaggi.testi.join(u'\n').toStdString();
    std::vector<Genere> generi;
    for (const ProblemaDefinizione& p : esito.problemi)
        // X is not a column of T, Q codes no table: the load's own check
        if (p.genere != Genere::ColonnaInesistente && p.genere != Genere::CodiceSenzaTabella)
            generi.push_back(p.genere);
    EXPECT_EQ(generi, (std::vector<Genere> {Genere::SenzaOrigine, Genere::RichiestaSenzaNome}));
    EXPECT_EQ(esito.problemi.front().campo >= 0, true);
}

TEST_F(VerificheEditor, KeylessTableIsAProblemUnlessLinesAreFreelyInserted)
{
    Definizione({{"Tabella", "N"}}, {{{"NomeCampo", "X"}, {"NumCampo", "1"}}});
    EXPECT_EQ(Generi(), std::vector<Genere> {Genere::SenzaChiave});
    ambiente.Sql(QStringLiteral("UPDATE QuivaFile SET Modalita = '0', InsVaria = 'I'"));
    EXPECT_TRUE(Generi().empty());
}

TEST_F(VerificheEditor, FixedWidthSpansThatOverlapOrPassTheLongestLine)
{
    Definizione({{"Tipo", "F"}}, {{{"NomeCampo", "A"}, {"Inizio", 1}, {"Lunghezza", 4}},
                                  {{"NomeCampo", "B"}, {"Inizio", 4}, {"Lunghezza", 3}},
                                  {{"NomeCampo", "C"}, {"Inizio", 9}, {"Lunghezza", 5}}});
    EXPECT_EQ(Generi(), (std::vector<Genere> {Genere::Sovrapposti, Genere::OltreLaRiga}));
}

}  // namespace

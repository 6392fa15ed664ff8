// Company settings: defaults, currency rows, derived company currency,
// formats and switches.
#include "DatabaseLink.h"
#include "FormUtilityAvvio.h"
#include "MenuFinto.h"
#include "ParametriDitta.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Parametri : ::testing::Test {
    QTemporaryDir cartella;
    std::unique_ptr<DatabaseLink> db;
    MenuFinto menu;
    ImpostazioniDitta ditta;
    ImpostazioniGenerali generali;
    void SetUp() override
    {
        db = DatabaseLink::ApriFile(cartella.filePath("ditta.db"));
        db->Esegui(
            "create table Monete(moneta varchar(10), NumDec integer, NumDecGest integer, Operatore varchar(1), Cee varchar(1))");
    }
    void Leggi() { LeggiParametriDitta(menu, db.get(), nullptr, ditta, generali); }
};

TEST_F(Parametri, PredefinitiSenzaParametriNeRighe)
{
    ditta.moneta = "altro";
    Leggi();
    EXPECT_EQ(ditta.moneta, "Euro");
    EXPECT_EQ(ditta.codLira, "L.");
    EXPECT_EQ(ditta.codEuro, "Euro");
    EXPECT_EQ(ditta.operCambio, "/");
    EXPECT_DOUBLE_EQ(ditta.cambioLiraEuro, 1936.27);
    EXPECT_EQ(ditta.MonetaDitta().numDec, 2);
    EXPECT_EQ(ditta.euro.numDecGest, 2);
    EXPECT_EQ(ditta.euro.operatore, "/");
    EXPECT_EQ(ditta.euro.cee, "N");
    EXPECT_EQ(generali.colBackGotFocus, 0xFFFF80u);
    EXPECT_EQ(generali.colBackLostFocus, 0x80000005u);
    EXPECT_EQ(generali.colBackForm, 0u);
    EXPECT_EQ(generali.arrotIvaEuro, "A");
    EXPECT_EQ(generali.decodHelpAbil, "N");
    EXPECT_FALSE(generali.decodHelpPersKey);
    EXPECT_EQ(generali.formatData, "dd/mm/yyyy");
    EXPECT_EQ(generali.formatiDitta.fisso, "#,##0.00");
    EXPECT_EQ(generali.formatiDitta.cancelletto, "#,###.##");
    EXPECT_FALSE(generali.Massimizza("QUIVA"));
}

TEST_F(Parametri, DittaInLireConRigaMonete)
{
    db->Esegui("insert into Monete values ('L.', 0, 2, '/', 'N')");
    menu.ditta = {{"Ditta.Moneta", "l."}, {"Ditta.CambioLiraEuro", "1936,27"}, {"Mag.NumDecQta", "3"}};
    Leggi();
    EXPECT_TRUE(ditta.MonetaELira());
    EXPECT_EQ(ditta.MonetaDitta().numDec, 0);
    EXPECT_EQ(ditta.MonetaDitta().numDecGest, 2);
    EXPECT_EQ(generali.formatiDitta.fisso, "#,##0");
    EXPECT_EQ(generali.formatiDitta.fissoGest, "#,##0.00");
    EXPECT_EQ(generali.formatoQta, "#,##0.###");
    EXPECT_DOUBLE_EQ(ditta.LireInEuro(1936270, 2), 1000.0);
}

TEST_F(Parametri, TerzaMonetaUsaLEuro)
{
    db->Esegui("insert into Monete values ('Euro', 3, 4, '*', 'S')");
    menu.ditta = {{"Ditta.Moneta", "USD"}};
    Leggi();
    EXPECT_EQ(ditta.MonetaDitta().numDec, 3);
    EXPECT_EQ(ditta.MonetaDitta().numDecGest, 4);
    DecimaliMoneta d;
    EXPECT_EQ(LeggiDecMoneta(*db, "Euro", d), 3);
    EXPECT_EQ(d.operatore, "*");
    EXPECT_EQ(d.cee, "S");
    EXPECT_EQ(LeggiDecMoneta(*db, "O'Neil", d), 2) << "a code with an apostrophe is a safe literal";
}

TEST_F(Parametri, ImpostazioniDelGruppoTutti)
{
    menu.impostazioni = {{"Tutti/Massimizzato", "tutti"},
                         {"Tutti/ColBackForm", "&HC0C0C0&"},
                         {"Tutti/TastierinoVirgola", "S"},
                         {"Tutti/DecodHelpPersKey", "s"}};
    menu.ditta = {{"ColBackGotFocus", "&H80FFFF"}};
    Leggi();
    EXPECT_EQ(generali.massimizzato, "tutti,");
    EXPECT_TRUE(generali.Massimizza("QUIVA"));
    EXPECT_TRUE(generali.Massimizza(""));
    EXPECT_EQ(generali.colBackForm, 0xC0C0C0u);
    EXPECT_EQ(generali.colBackGotFocus, 0x80FFFFu);
    EXPECT_EQ(generali.tastierinoVirgola, "S");
    EXPECT_TRUE(generali.decodHelpPersKey);
    generali.massimizzato = "CONTAB,quiva,";
    EXPECT_TRUE(generali.Massimizza("QUIVA"));
    generali.massimizzato = "CONTAB,";
    EXPECT_FALSE(generali.Massimizza("QUIVA"));
    EXPECT_EQ(ImpostazioniGenerali::NomeMese(1), "Gennaio");
    EXPECT_EQ(ImpostazioniGenerali::NomeMese(12), "Dicembre");
}

TEST(FormatiNumero, ScritturaItaliana)
{
    struct Caso {
        double numero;
        const char* formato;
        const char* atteso;
    };
    const Caso casi[] = {
        {1234567.891, "#,##0.00", "1.234.567,89"},
        {1234.5, "#,###.##", "1.234,5"},
        {1234, "#,###.##", "1.234"},
        {0, "#,##0", "0"},
        {-0.004, "#,##0.00", "0,00"},
        {-12.5, "#,##0.00", "-12,50"},
    };
    for (const Caso& caso : casi)
        EXPECT_EQ(FormUtility::FormattaNumero(caso.numero, caso.formato).toStdString(), caso.atteso)
            << caso.numero << " as " << caso.formato;
}

}  // namespace

// The check of a definition before it loads: what it finds, and that a load
// it stops deletes and writes nothing.
#include "Caricamento.h"
#include "ScQuiva.h"
#include "VerificaDefinizione.h"

#include <gtest/gtest.h>

namespace {

using Genere = ProblemaDefinizione::Genere;

struct CasoVerifica {
    const char* nome;
    QVariantMap testata;                   // over the good definition's
    std::vector<QVariantMap> campiInPiu;   // field rows added to it
    std::vector<Genere> generi;            // the problems expected, in order
    QStringList testi;
};

class Verifica : public ::testing::TestWithParam<CasoVerifica> {
protected:
    AmbienteProva ambiente;
    Caricamento carico {ambiente};

    void SetUp() override
    {
        ambiente.Sql(QStringLiteral("CREATE TABLE Conti (Codice VARCHAR(10) PRIMARY KEY, Gruppo VARCHAR(2), "
                                    "Mastro VARCHAR(2), Conto VARCHAR(4), Descr VARCHAR(20))"));
        ambiente.Sql(QStringLiteral("INSERT INTO Conti (Codice, Descr) VALUES ('OLD', 'resta')"));
        ambiente.Sql(QStringLiteral("INSERT INTO ErroriQuivamento VALUES ('C', 'vecchia', 'resta')"));
    }
    void Definizione(const CasoVerifica& caso)
    {
        QVariantMap testata {{"Tabella", "Conti"},
                             {"Separatore", ";"},
                             {"Modalita", "0"},
                             {"Azzera", "S"},
                             {"Origine", ambiente.FileSorgente(QStringLiteral("c.txt"), "C1;uno\nC2;due\n")}};
        for (auto it = caso.testata.cbegin(); it != caso.testata.cend(); ++it)
            testata.insert(it.key(), it.value());
        ambiente.Definizione(QStringLiteral("C"), testata);
        ambiente.Campo(QStringLiteral("C"),
                       {{"NomeCampo", "Codice"}, {"NumCampo", "1"}, {"OrdCampo", 1}, {"TipoDest", "String"}});
        ambiente.Campo(QStringLiteral("C"), {{"NomeCampo", "Descr"}, {"NumCampo", "2"}, {"OrdCampo", 2}});
        // What the field editor adds for a table of accounts: passed by.
        ambiente.Campo(QStringLiteral("C"), {{"NomeCampo", "Gruppo|Mastro|Conto"}, {"OrdCampo", 3}});
        int ordine = 10;
        for (QVariantMap campo : caso.campiInPiu) {
            campo.insert(QStringLiteral("OrdCampo"), ordine++);
            ambiente.Campo(QStringLiteral("C"), campo);
        }
    }
};

TEST_P(Verifica, EveryProblemIsFoundAndNothingIsDeletedOrWritten)
{
    const CasoVerifica& caso = GetParam();
    Definizione(caso);

    ScQuiva motore(carico.contesto);
    ASSERT_EQ(motore.LeggiTracciato(QStringLiteral("C")), 0);
    const std::vector<ProblemaDefinizione> problemi = VerificaDefinizione(motore, ambiente.Db());
    std::vector<Genere> generi;
    QStringList testi;
    for (const ProblemaDefinizione& p : problemi) {
        generi.push_back(p.genere);
        testi << p.testo;
        if (p.campo >= 0) {
            EXPECT_EQ(p.nomeCampo, motore.Campi()[static_cast<size_t>(p.campo)]->osTabellaCampo);
        }
    }
    EXPECT_EQ(generi, caso.generi);
    EXPECT_EQ(testi, caso.testi);

    const int esito = carico.Esegui(QStringLiteral("C"));
    if (caso.generi.empty()) {
        EXPECT_EQ(esito, 0);
        EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT Codice, Descr FROM Conti ORDER BY Codice")),
                  (QStringList {"C1|uno", "C2|due"}));
        EXPECT_EQ(carico.errori, 0);
        return;
    }
    EXPECT_EQ(esito, CodiciErrore::DefinizioneNonValida);
    EXPECT_EQ(carico.messaggi.testi, QStringList {MessaggioVerifica(QStringLiteral("C"), problemi)});
    EXPECT_TRUE(carico.messaggi.testi.value(0).startsWith(QStringLiteral("La definizione C non può essere caricata:")));
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT Codice FROM Conti")), QStringList {"OLD"});
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT Errore FROM ErroriQuivamento")), QStringList {"resta"});
}

const CasoVerifica casiVerifica[] = {
    {"AGoodDefinitionWithTheAccountsRowLoads", {}, {}, {}, {}},
    {"NoTargetTable", {{"Tabella", ""}}, {}, {Genere::SenzaTabella}, {"Manca la tabella di destinazione"}},
    {"TablesThatDoNotExist",
     {{"Tabella", "Manca"}, {"Tabella2", "Altra"}, {"CodTab2", "A"}},
     {},
     {Genere::TabellaInesistente, Genere::TabellaInesistente},
     {"La tabella Manca non esiste nel database", "La tabella Altra non esiste nel database"}},
    {"ColumnsThatDoNotExistAndACodeWithoutATable",
     {{"CodTab3", "Z"}},
     {{{"NomeCampo", "Nessuna"}, {"NumCampo", "3"}}, {{"NomeCampo", "Z Descr"}, {"NumCampo", "2"}}},
     {Genere::ColonnaInesistente, Genere::CodiceSenzaTabella},
     {"Campo \"Nessuna\": la colonna Nessuna non esiste nella tabella Conti",
      "Campo \"Z Descr\": il codice tabella Z non ha una tabella di destinazione"}},
    {"UnknownTypeNames",
     {},
     {{{"NomeCampo", "Gruppo"}, {"NumCampo", "3"}, {"TipoOrig", "Testo"}, {"TipoDest", "Intero"}}},
     {Genere::TipoSconosciuto, Genere::TipoSconosciuto},
     {"Campo \"Gruppo\": tipo di origine sconosciuto (Testo)",
      "Campo \"Gruppo\": tipo di destinazione sconosciuto (Intero)"}},
    {"AccountsRowWithASourceCannotLoad",
     {},
     {{{"NomeCampo", "Mastro|Conto"}, {"NumCampo", "3"}}},
     {Genere::UnioneNonCaricabile},
     {"Campo \"Mastro|Conto\": un nome che unisce più colonne con \"|\" non si può caricare"}},
    {"FixedWidthPositionsBelowOne",
     {{"Tipo", "F"}},
     {{{"NomeCampo", "Gruppo"}, {"Inizio", 0}, {"Lunghezza", 2}},
      {{"NomeCampo", "Mastro"}, {"Inizio", 3}, {"Lunghezza", -1}},
      {{"NomeCampo", "Conto"}, {"Default", "X"}}},
     {Genere::PosizioneNonValida, Genere::PosizioneNonValida, Genere::PosizioneNonValida, Genere::PosizioneNonValida},
     {"Campo \"Codice\": inizio 0 non valido, la prima posizione è 1",
      "Campo \"Descr\": inizio 0 non valido, la prima posizione è 1",
      "Campo \"Gruppo\": inizio 0 non valido, la prima posizione è 1", "Campo \"Mastro\": lunghezza -1 non valida"}},
    {"SeparatorOfANul", {{"Separatore", "\\000"}}, {}, {Genere::SenzaSeparatore}, {"Manca il separatore dei campi"}},
};

INSTANTIATE_TEST_SUITE_P(Casi, Verifica, ::testing::ValuesIn(casiVerifica),
                         [](const auto& info) { return std::string(info.param.nome); });

TEST(VerificaMessaggio, NamesTheDefinitionAndListsEveryProblem)
{
    const std::vector<ProblemaDefinizione> problemi = {
        {Genere::SenzaTabella, 1, -1, {}, QStringLiteral("uno")},
        {Genere::TipoSconosciuto, 1, 0, QStringLiteral("A"), QStringLiteral("due")},
    };
    EXPECT_EQ(MessaggioVerifica(QStringLiteral("ART"), problemi),
              QStringLiteral("La definizione ART non può essere caricata:\n- uno\n- due"));
}

}  // namespace

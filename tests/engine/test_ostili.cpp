// Hostile definitions and source lines through the whole engine. Nothing here
// may crash, hang, allocate without bound or lose the database; in the
// sanitizer build no report may come out either.
#include "Caricamento.h"
#include "TestiInsidiosi.h"

#include <gtest/gtest.h>

namespace {

QByteArray LineeOstili()
{
    QByteArray righe = "A1;uno;2;3,5;01/02/2024\n";
    static const char nul[] = "A\0"
                              "2;n\0ul;\0;\0\n";
    righe += QByteArray(nul, sizeof nul - 1);
    righe += "A3;\xff\xfe\xc3(\xe2\x82;\xf0\x28\x8c\x28;\x80\n";  // invalid UTF-8
    righe += ";;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;\n";
    righe += "A4;" + QByteArray(4 * 1024 * 1024, 'm') + ";4\n";  // a line of megabytes
    righe += "A5;{[{[{[{[" + QByteArray(5000, '{') + QByteArray(5000, '[') + ";5\n";
    righe += "A6;-32768;32767;-2147483648;9223372036854775807;1e308;-1e-308\n";
    righe += "A7;x'); DROP TABLE Art; --;' OR 1=1;\"\";%s%n\n";
    righe += "\t\r\n;\r\n\x1a\x04\x7f\n";
    return righe;
}

struct CampoOstile {
    const char* nome;
    QVariantMap campo;  // columns of the Descr field row
};

class Ostili : public ::testing::TestWithParam<CampoOstile> { };

TEST_P(Ostili, EveryLineIsLoadedOrRejectedAndTheDatabaseStaysSound)
{
    AmbienteProva ambiente;
    Caricamento carico {ambiente};
    ambiente.Sql(QStringLiteral("CREATE TABLE Art (Codice VARCHAR(10) PRIMARY KEY, Descr VARCHAR(30), Num REAL)"));
    ambiente.Definizione(QStringLiteral("OST"),
                         {{"Tabella", "Art"},
                          {"Modalita", "0"},
                          {"Separatore", ";"},
                          {"Origine", ambiente.FileSorgente(QStringLiteral("o.txt"), LineeOstili())}});
    ambiente.Campo(QStringLiteral("OST"), {{"NomeCampo", "Codice"}, {"NumCampo", "1"}, {"OrdCampo", "1"}});
    QVariantMap descr = GetParam().campo;
    descr.insert(QStringLiteral("NomeCampo"), QStringLiteral("Descr"));
    descr.insert(QStringLiteral("OrdCampo"), QStringLiteral("2"));
    if (!descr.contains(QStringLiteral("NumCampo")))
        descr.insert(QStringLiteral("NumCampo"), QStringLiteral("2"));
    for (auto it = descr.cbegin(); it != descr.cend(); ++it) {
        const int dimensione = ambiente.Db().DimensioneColonna(QStringLiteral("QuivaDettaglio"), it.key());
        if (DatabaseProva::SuServer() && dimensione > 0 && it.value().toString().size() > dimensione)
            GTEST_SKIP() << "a server's typed column cannot hold " << it.key().toStdString();
    }
    ambiente.Campo(QStringLiteral("OST"), descr);

    // A definition the engine cannot take is refused with a message.
    const int esito = carico.Esegui(QStringLiteral("OST"));
    if (esito != 0) {
        EXPECT_FALSE(carico.messaggi.testi.isEmpty()) << esito;
    }
    if (!DatabaseProva::SuServer()) {
        EXPECT_EQ(ambiente.Valore(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
    }
    const int caricate = ambiente.Valore(QStringLiteral("SELECT count(*) FROM Art")).toInt();
    const int scartate =
        ambiente.Valore(QStringLiteral("SELECT count(DISTINCT Riga) FROM ErroriQuivamento WHERE Tabella = 'OST'"))
            .toInt();
    if (esito == 0) {
        EXPECT_GE(caricate + scartate, 7);  // seven lines have a code, two more have none
    }
    for (const QString& descrizione : ambiente.Righe(QStringLiteral("SELECT Descr FROM Art")))
        EXPECT_LE(descrizione.size(), 30);
}

const CampoOstile campiOstili[] = {
    {"PositionsAtTheLimitsOf16Bits", {{"Inizio", 32767}, {"Quanto", 32767}, {"Lunghezza", 32767}}},
    {"NegativePositions", {{"Inizio", -32768}, {"Quanto", -32768}, {"Lunghezza", -32768}}},
    {"HugeFieldNumbers", {{"NumCampo", "2147483647"}}},
    {"NegativeFieldNumbers", {{"NumCampo", "-2147483648"}}},
    {"TemplateOfDeepBrackets", {{"NumCampo", QString(2000, u'{') + QStringLiteral("\u00a72") + QString(2000, u']')}}},
    {"TemplateOfManyFieldReferences", {{"NumCampo", QStringLiteral("\u00a72[\u00a73]{\u00a74}").repeated(50)}}},
    {"SeparatorLongerThanTheLine", {{"NumCampo", "2"}, {"Riempie", QString(1000, u';')}}},
    {"SizeLimitsAtTheEdges", {{"Dimensione", -1}, {"LimiteDim", 2147483647}}},
    {"ProgressiveCodeOfAbsurdLength", {{"NumCampo", QString()}, {"Default", "^100000000,X"}}},
    {"NumericTypesWithHostileText",
     {{"TipoOrig", "Double"}, {"TipoDest", "Integer"}, {"TipoOper", "/"}, {"ValoreOper", "0"}}},
    {"OperationsWithExtremeOperands", {{"TipoDest", "Double"}, {"TipoOper", "*"}, {"ValoreOper", "1e308"}}},
    {"PatternsThatLookLikeSql", {{"NonVal", "' OR 1=1 --"}, {"ValValido", "*'); DROP TABLE Art; --*"}}},
    {"SqlInEveryTextColumn",
     {{"TipoOrig", "'; DROP TABLE Art; --"},
      {"TipoDest", "\"); DELETE FROM Art"},
      {"Riempie", "' OR '1'='1"},
      {"Default", "'); DROP TABLE QuivaFile; --"},
      {"Conv0ToNull", "'"},
      {"Obbligatorio", "\""},
      {"LireOValuta", ";"},
      {"Aggiorna", "'"},
      {"CostBatch", "' --"}}},
};

INSTANTIATE_TEST_SUITE_P(Corpus, Ostili, ::testing::ValuesIn(campiOstili),
                         [](const auto& info) { return std::string(info.param.nome); });

// SQL in the text columns of the definition header: table names and clauses
// are the definition's own SQL, run as written; the other texts are data.
TEST(DefinizioneOstile, SqlInHeaderTextsNeverRunsAsAStatement)
{
    if (DatabaseProva::SuServer())
        GTEST_SKIP() << "header texts longer than a server's typed columns hold";
    AmbienteProva ambiente;
    Caricamento carico {ambiente};
    ambiente.Sql(QStringLiteral("CREATE TABLE Art (Codice VARCHAR(10) PRIMARY KEY, Descr VARCHAR(30))"));
    const QString file = ambiente.FileSorgente(QStringLiteral("o.txt"), "A1;uno\n");
    ambiente.Definizione(QStringLiteral("X'); DROP TABLE Art; --"),
                         {{"Descrizione", "'); DROP TABLE Art; --"},
                          {"Tabella", "Art"},
                          {"Modalita", "'"},
                          {"InsVaria", "' OR 1=1"},
                          {"Separatore", ";"},
                          {"Origine", file},
                          {"CodTab2", "'"},
                          {"Tipo", "'"},
                          {"Batch", "'; --"}});
    ambiente.Campo(QStringLiteral("X'); DROP TABLE Art; --"),
                   {{"NomeCampo", "Codice"}, {"NumCampo", "1"}, {"OrdCampo", "1"}});
    ambiente.Campo(QStringLiteral("X'); DROP TABLE Art; --"),
                   {{"NomeCampo", "Descr"}, {"NumCampo", "2"}, {"OrdCampo", "2"}});
    ambiente.Sql(
        QStringLiteral("INSERT INTO ErroriQuivamento VALUES ('X''); DROP TABLE Art; --', 'vecchia', 'vecchio')"));
    EXPECT_EQ(carico.Esegui(QStringLiteral("X'); DROP TABLE Art; --")), 0);
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT * FROM Art")), QStringList {"A1|uno"});
    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT count(*) FROM ErroriQuivamento")).toInt(), 0);
}

// A rejected line is stored exactly as read, with the value in its message,
// and counted.
TEST(DefinizioneOstile, RejectedLinesAreStoredAsRead)
{
    const QStringList corpus = TestiInsidiosi(QStringLiteral("Art"));
    AmbienteProva ambiente;
    Caricamento carico {ambiente};
    ambiente.Sql(QStringLiteral("CREATE TABLE Art (Codice VARCHAR(10), Descr VARCHAR(30), Qta INTEGER)"));
    QByteArray righe;
    for (const QString& valore : corpus)
        righe += "k\t" + valore.toUtf8() + "\n";
    righe += "k\tok\tabc\n";
    ambiente.Definizione(QStringLiteral("R"),
                         {{"Tabella", "Art"},
                          {"Separatore", "\\009"},
                          {"InsVaria", "I"},
                          {"Origine", ambiente.FileSorgente(QStringLiteral("r.txt"), righe)}});
    ambiente.Campo(QStringLiteral("R"), {{"NomeCampo", "Codice"}, {"NumCampo", "1"}, {"OrdCampo", "1"}});
    ambiente.Campo(QStringLiteral("R"),
                   {{"NomeCampo", "Qta"}, {"NumCampo", "3"}, {"OrdCampo", "2"}, {"TipoDest", "Integer"}});
    ambiente.Campo(QStringLiteral("R"),
                   {{"NomeCampo", "Descr"}, {"NumCampo", "2"}, {"OrdCampo", "3"}, {"NonVal", "*"}});
    ASSERT_EQ(carico.Esegui(QStringLiteral("R")), 0);
    QStringList righeAttese;
    QStringList erroriAttesi;
    for (const QString& valore : corpus) {
        righeAttese << "k\t" + valore;
        erroriAttesi << "Art.Descr: Campo con valore non valido (" + valore + ")";
    }
    righeAttese << "k\tok\tabc";
    erroriAttesi << "Art.Qta: Tipo non valido (abc)";
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT Riga FROM ErroriQuivamento ORDER BY rowid")), righeAttese);
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT Errore FROM ErroriQuivamento ORDER BY rowid")), erroriAttesi);
    EXPECT_EQ(carico.errori, corpus.size() + 1);
    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT count(*) FROM Art")).toInt(), 0);
}

}  // namespace

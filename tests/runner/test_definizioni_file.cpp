// Definitions as text files: export from one company, import into another,
// load with the imported copy; and what an import refuses.
#include "AmbienteProva.h"
#include "EseguiQuivaLoad.h"
#include "FileDefinizione.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <gtest/gtest.h>

namespace {

QByteArray Contenuto(const QString& percorso)
{
    QFile file(percorso);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Scrivi(const QString& percorso, const QByteArray& contenuto)
{
    QFile file(percorso);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(contenuto);
}

// The target tables of the definition, as both companies have them.
void TabelleDestinazione(AmbienteProva& a)
{
    a.Sql(QStringLiteral("CREATE TABLE Ordini (Numero INTEGER PRIMARY KEY, Cliente VARCHAR(10), Stato VARCHAR(1))"));
    a.Sql(QStringLiteral(
        "CREATE TABLE Righe (Numero INTEGER, Riga INTEGER, Articolo VARCHAR(10), PRIMARY KEY (Numero, Riga))"));
}

class DefinizioniFile : public ::testing::Test {
protected:
    AmbienteProva prova;  // where the definition is built
    AmbienteProva reale;  // the company it moves to

    QStringList Db(AmbienteProva& a) { return a.ArgomentiDitta(); }
    QString File() { return prova.Percorso(QStringLiteral("ord.json")); }

    void SetUp() override
    {
        TabelleDestinazione(prova);
        TabelleDestinazione(reale);
        const QByteArray sorgente = "1|C01|A|1|ART1\n1|C01|A|2|ART2\n2|C02|B|1|ART3\n";
        prova.FileSorgente(QStringLiteral("ordini.txt"), sorgente);
        reale.FileSorgente(QStringLiteral("ordini.txt"), sorgente);
        prova.Definizione(QStringLiteral("ORD"),
                          {{"Descrizione", "Ordini \"clienti\"\tàè"},
                           {"Tabella", "Ordini"},
                           {"Tabella2", "Righe"},
                           {"CodTab2", "R"},
                           {"Modalita", "0"},
                           {"Separatore", "|"},
                           {"SaltaInizio", 0}});
        const char* campi[][4] = {
            {"Numero", "K1", "Long", "1"},   {"Cliente", "2", "String", "2"}, {"Stato", "3", "String", "10"},
            {"R Numero", "K1", "Long", "4"}, {"R Riga", "K4", "Long", "9"},   {"R Articolo", "5", "String", nullptr},
        };
        for (const auto& c : campi)
            prova.Campo(QStringLiteral("ORD"),
                        {{"NomeCampo", c[0]},
                         {"NumCampo", c[1]},
                         {"TipoDest", c[2]},
                         {"OrdCampo", c[3] ? QVariant(c[3]) : QVariant()},
                         {"Aggiorna", "A"},
                         {"CostBatch", ""}});
        prova.Decodifica(QStringLiteral("ORD"), QStringLiteral("Ordini"), QStringLiteral("Stato"), QStringLiteral("B"),
                         QStringLiteral("S"));
        prova.Decodifica(QStringLiteral("ORD"), QStringLiteral("Ordini"), QStringLiteral("Stato"), QStringLiteral("A"),
                         QStringLiteral("P"));
    }

    // The definition's rows; an empty text and no value are the same to a load.
    QStringList Definizione(AmbienteProva& a)
    {
        QStringList righe = a.Righe(QStringLiteral("SELECT * FROM QuivaFile"))
            + a.Righe(QStringLiteral("SELECT * FROM QuivaDettaglio ORDER BY NomeCampo"))
            + a.Righe(QStringLiteral("SELECT * FROM QuivaDecod ORDER BY ValOrig"));
        for (QString& riga : righe) {
            QStringList colonne = riga.split(u'|');
            for (QString& c : colonne)
                if (c.isEmpty())
                    c = QStringLiteral("NULL");
            riga = colonne.join(u'|');
        }
        return righe;
    }

    Esito Carica(AmbienteProva& a)
    {
        const QString ini = a.FileSorgente(QStringLiteral("quiva.ini"),
                                           "[Base]\r\nDirQuiva=" + a.Percorso(QString()).toUtf8() + "\r\n");
        a.Sql(QStringLiteral("UPDATE QuivaFile SET Origine = 'ordini.txt'"));
        return Esegui(Db(a) + QStringList {"--ini", ini, "ORD"});
    }
};

TEST_F(DefinizioniFile, RoundTripGivesTheSameRowsAndTheSameLoad)
{
    Esito esito = Esegui(Db(prova) + QStringList {"--esporta", "ORD", File()});
    ASSERT_EQ(esito.stato, 0) << esito.errori.toStdString();
    const QByteArray testo = Contenuto(File());
    const QJsonObject json = QJsonDocument::fromJson(testo).object();
    EXPECT_EQ(json.value("formato").toString(), "quiva-definizione");
    EXPECT_EQ(json.value("codice").toString(), "ORD");
    // One object per field, in the order the load reads them (no order last).
    const QJsonArray campi = json.value("QuivaDettaglio").toArray();
    ASSERT_EQ(campi.size(), 6);
    EXPECT_EQ(campi[3].toObject().value("NomeCampo").toString(), "R Riga");
    EXPECT_EQ(campi[4].toObject().value("NomeCampo").toString(), "Stato");
    EXPECT_FALSE(campi[5].toObject().contains("OrdCampo"));  // empty columns are left out
    EXPECT_FALSE(campi[0].toObject().contains("Codice"));
    EXPECT_TRUE(testo.contains("\n            \"NomeCampo\": \"Numero\",\n"));  // one column per line

    esito = Esegui(Db(reale) + QStringList {"--importa", File()});
    ASSERT_EQ(esito.stato, 0) << esito.errori.toStdString();
    EXPECT_EQ(Definizione(reale), Definizione(prova));

    // Exporting the copy gives the same text.
    const QString copia = reale.Percorso(QStringLiteral("copia.json"));
    ASSERT_EQ(Esegui(Db(reale) + QStringList {"--esporta", "ord", copia}).stato, 0);
    EXPECT_EQ(Contenuto(copia), testo);

    ASSERT_EQ(Carica(prova).stato, 0);
    ASSERT_EQ(Carica(reale).stato, 0);
    const QString ordini = QStringLiteral("SELECT * FROM Ordini ORDER BY Numero");
    const QString righe = QStringLiteral("SELECT * FROM Righe ORDER BY Numero, Riga");
    EXPECT_EQ(reale.Righe(ordini), (QStringList {"1|C01|P", "2|C02|S"}));
    EXPECT_EQ(reale.Righe(ordini), prova.Righe(ordini));
    EXPECT_EQ(reale.Righe(righe), prova.Righe(righe));
}

TEST_F(DefinizioniFile, AnExistingCodeIsReplacedOnlyWhenAsked)
{
    ASSERT_EQ(Esegui(Db(prova) + QStringList {"--esporta", "ORD", File()}).stato, 0);
    reale.Definizione(QStringLiteral("ORD"), {{"Descrizione", "la nostra"}, {"Tabella", "Ordini"}});
    reale.Campo(QStringLiteral("ORD"), {{"NomeCampo", "Vecchio"}});
    const QStringList nostra = Definizione(reale);

    Esito esito = Esegui(Db(reale) + QStringList {"--importa", File()});
    EXPECT_EQ(esito.stato, 1);
    EXPECT_TRUE(esito.errori.contains("La definizione ORD esiste già in questa ditta: --sostituisci per sostituirla"))
        << esito.errori.toStdString();
    EXPECT_EQ(Definizione(reale), nostra);

    esito = Esegui(Db(reale) + QStringList {"--importa", File(), "--sostituisci"});
    ASSERT_EQ(esito.stato, 0) << esito.errori.toStdString();
    EXPECT_EQ(Definizione(reale), Definizione(prova));

    // The screen's way: a question, answered No, then Yes.
    MessaggiRegistrati messaggi;
    QStringList chiesti;
    auto chiedi = [&](bool risposta) {
        return [&, risposta](const QString& codice) {
            chiesti << codice;
            return risposta;
        };
    };
    EXPECT_EQ(ImportaDefinizione(reale.Db(), messaggi, File(), chiedi(false)), -1);
    EXPECT_EQ(ImportaDefinizione(reale.Db(), messaggi, File(), chiedi(true)), 0);
    EXPECT_EQ(chiesti, (QStringList {"ORD", "ORD"}));
    EXPECT_TRUE(messaggi.testi.isEmpty());
    EXPECT_EQ(Definizione(reale), Definizione(prova));
}

TEST_F(DefinizioniFile, WhatIsNotADefinitionIsRefused)
{
    ASSERT_EQ(Esegui(Db(prova) + QStringList {"--esporta", "ORD", File()}).stato, 0);
    QJsonObject json = QJsonDocument::fromJson(Contenuto(File())).object();
    auto variante = [&](auto cambia) {
        QJsonObject copia = json;
        cambia(copia);
        return QJsonDocument(copia).toJson();
    };
    const std::pair<const char*, QByteArray> casi[] = {
        {"testo qualsiasi", "Codice;Tabella\nORD;Ordini\n"},
        {"JSON non oggetto", "[1, 2]"},
        {"altro formato", variante([](QJsonObject& o) { o["formato"] = "altro"; })},
        {"versione futura", variante([](QJsonObject& o) { o["versione"] = 3; })},
        {"senza codice", variante([](QJsonObject& o) { o.remove("codice"); })},
        {"campi non elenco", variante([](QJsonObject& o) { o["QuivaDettaglio"] = QJsonObject(); })},
        {"valore composto", variante([](QJsonObject& o) {
             o["QuivaFile"] = QJsonObject {{"Tabella", QJsonArray {1}}};
         })},
    };
    for (const auto& [nome, contenuto] : casi) {
        const QString file = prova.Percorso(QStringLiteral("errato.json"));
        Scrivi(file, contenuto);
        const Esito esito = Esegui(Db(reale) + QStringList {"--importa", file});
        EXPECT_EQ(esito.stato, 1) << nome;
        EXPECT_TRUE(esito.errori.contains("non contiene una definizione di quivamento"))
            << nome << esito.errori.toStdString();
    }
    EXPECT_EQ(Definizione(reale), QStringList {});

    const Esito mancante = Esegui(Db(prova) + QStringList {"--esporta", "NESSUNO", File()});
    EXPECT_EQ(mancante.stato, 1);
    EXPECT_TRUE(mancante.errori.contains("Mancano i dati per il codice NESSUNO"));
}

TEST_F(DefinizioniFile, ACompanyWithoutTheTargetTablesOrColumnsIsRefusedWithTheirList)
{
    ASSERT_EQ(Esegui(Db(prova) + QStringList {"--esporta", "ORD", File()}).stato, 0);
    AmbienteProva altra;
    altra.Sql(QStringLiteral("CREATE TABLE Ordini (Numero INTEGER PRIMARY KEY, Cliente VARCHAR(10))"));
    altra.Sql(QStringLiteral("ALTER TABLE QuivaDettaglio DROP COLUMN Aggiorna"));
    const Esito esito = Esegui(Db(altra) + QStringList {"--importa", File()});
    EXPECT_EQ(esito.stato, 1);
    EXPECT_TRUE(esito.errori.contains("La definizione ORD non si può importare in questa ditta. Mancano:\n"
                                      "colonna QuivaDettaglio.Aggiorna\n"
                                      "colonna Ordini.Stato\n"
                                      "tabella Righe\n"))
        << esito.errori.toStdString();
    EXPECT_EQ(Definizione(altra), QStringList {});
}

TEST_F(DefinizioniFile, AFailedImportLeavesTheCompanyAsItWas)
{
    ASSERT_EQ(Esegui(Db(prova) + QStringList {"--esporta", "ORD", File()}).stato, 0);
    reale.Definizione(QStringLiteral("ORD"), {{"Descrizione", "la nostra"}, {"Tabella", "Ordini"}});
    reale.Campo(QStringLiteral("ORD"), {{"NomeCampo", "Cliente"}});
    const QStringList nostra = Definizione(reale);

    // The last translation is too long for its column: nothing is kept.
    QJsonObject json = QJsonDocument::fromJson(Contenuto(File())).object();
    QJsonArray decod = json["QuivaDecod"].toArray();
    QJsonObject ultima = decod.last().toObject();
    ultima["ValDest"] = QString(300, u'x');
    decod.replace(decod.size() - 1, ultima);
    json["QuivaDecod"] = decod;
    Scrivi(File(), QJsonDocument(json).toJson());

    const Esito esito = Esegui(Db(reale) + QStringList {"--importa", File(), "--sostituisci"});
    EXPECT_EQ(esito.stato, 1);
    EXPECT_TRUE(
        esito.errori.contains("Importazione della definizione ORD non riuscita, la ditta non è stata modificata"))
        << esito.errori.toStdString();
    EXPECT_EQ(Definizione(reale), nostra);
}

TEST_F(DefinizioniFile, TheFileReadsTopDownWithNumbersAsNumbersAndGoesToStandardOutput)
{
    ASSERT_EQ(Esegui(Db(prova) + QStringList {"--esporta", "ORD", File()}).stato, 0);
    const QByteArray testo = Contenuto(File());
    const qsizetype testata = testo.indexOf("\"QuivaFile\"");
    EXPECT_LT(testo.indexOf("\"codice\": \"ORD\""), testata);
    EXPECT_LT(testata, testo.indexOf("\"QuivaDettaglio\""));
    EXPECT_LT(testo.indexOf("\"QuivaDettaglio\""), testo.indexOf("\"QuivaDecod\""));
    EXPECT_LT(testo.indexOf("\"Descrizione\""), testo.indexOf("\"Tabella\""));
    EXPECT_TRUE(testo.contains("\"OrdCampo\": 1,")) << testo.toStdString();
    EXPECT_TRUE(testo.contains("\"SaltaInizio\": 0,"));
    EXPECT_FALSE(testo.contains("\"\""));  // no empty text
    EXPECT_FALSE(testo.contains("CostBatch"));

    const Esito uscita = Esegui(Db(prova) + QStringList {"--esporta", "ORD", "-"});
    EXPECT_EQ(uscita.stato, 0) << uscita.errori.toStdString();
    EXPECT_EQ(uscita.uscita.toUtf8(), testo);
}

// A file written by the earlier program: keys in alphabetical order,
// numbers as texts, empty texts written out.
TEST_F(DefinizioniFile, AFileOfTheFirstVersionStillImportsAndLoads)
{
    Scrivi(File(), R"({
    "QuivaDecod": [
        {"NomeCampo": "Stato", "Tabella": "Ordini", "ValDest": "P", "ValOrig": "A"},
        {"NomeCampo": "Stato", "Tabella": "Ordini", "ValDest": "S", "ValOrig": "B"}
    ],
    "QuivaDettaglio": [
        {"Aggiorna": "A", "CostBatch": "", "NomeCampo": "Numero", "NumCampo": "K1", "OrdCampo": "1", "TipoDest": "Long"},
        {"Aggiorna": "A", "CostBatch": "", "NomeCampo": "Cliente", "NumCampo": "2", "OrdCampo": "2", "TipoDest": "String"},
        {"Aggiorna": "A", "CostBatch": "", "NomeCampo": "Stato", "NumCampo": "3", "OrdCampo": "10", "Quanto": "", "TipoDest": "String"}
    ],
    "QuivaFile": {"Azzera": "", "Descrizione": "vecchio", "Modalita": "0", "SaltaInizio": 0, "Separatore": "|",
                  "Tabella": "Ordini"},
    "codice": "ORD",
    "formato": "quiva-definizione",
    "versione": 1
})");
    const Esito esito = Esegui(Db(reale) + QStringList {"--importa", File()});
    ASSERT_EQ(esito.stato, 0) << esito.errori.toStdString();
    EXPECT_EQ(reale.Righe("SELECT NomeCampo, OrdCampo, Quanto, CostBatch FROM QuivaDettaglio ORDER BY Val(OrdCampo)"),
              (QStringList {"Numero|1|NULL|NULL", "Cliente|2|NULL|NULL", "Stato|10|NULL|NULL"}));
    ASSERT_EQ(Carica(reale).stato, 0);
    EXPECT_EQ(reale.Righe("SELECT * FROM Ordini ORDER BY Numero"), (QStringList {"1|C01|P", "2|C02|S"}));
}

TEST_F(DefinizioniFile, AnUnsoundFileIsRefusedListingEveryProblem)
{
    ASSERT_EQ(Esegui(Db(prova) + QStringList {"--esporta", "ORD", File()}).stato, 0);
    QJsonObject json = QJsonDocument::fromJson(Contenuto(File())).object();
    QJsonObject testata = json["QuivaFile"].toObject();
    testata["Modalita"] = "7";
    json["QuivaFile"] = testata;
    QJsonArray campi = json["QuivaDettaglio"].toArray();
    QJsonObject primo = campi[0].toObject();
    primo["Quanto"] = "due";
    primo["TipoDest"] = "Testo";
    campi.replace(0, primo);
    json["QuivaDettaglio"] = campi;
    Scrivi(File(), QJsonDocument(json).toJson());

    const Esito esito = Esegui(Db(reale) + QStringList {"--importa", File()});
    EXPECT_EQ(esito.stato, 1);
    for (const char* atteso : {"non contiene una definizione di quivamento valida",
                               "- QuivaFile, Modalita: valore non ammesso \"7\" (ammessi: 0, 1, 2)",
                               "- QuivaDettaglio, campo Numero, Quanto: deve essere un numero intero, non \"due\"",
                               "- QuivaDettaglio, campo Numero, TipoDest: valore non ammesso \"Testo\""})
        EXPECT_TRUE(esito.errori.contains(QString::fromUtf8(atteso))) << atteso << "\n" << esito.errori.toStdString();
    EXPECT_EQ(Definizione(reale), QStringList {});
}

TEST_F(DefinizioniFile, AnImportShowsTheStatementsTheFileBrings)
{
    prova.Sql(QStringLiteral("UPDATE QuivaFile SET Azzera2 = 'S', WhereAzz2 = 'Numero > 100', "
                             "QueryFin1 = 'Update Ordini Set Stato = UCase(Stato)'"));
    ASSERT_EQ(Esegui(Db(prova) + QStringList {"--esporta", "ORD", File()}).stato, 0);
    const Esito esito = Esegui(Db(reale) + QStringList {"--importa", File()});
    ASSERT_EQ(esito.stato, 0) << esito.errori.toStdString();
    EXPECT_EQ(esito.uscita, "Definizione ORD importata. Istruzioni SQL memorizzate:\n"
                            "  WhereAzz2: Numero > 100\n"
                            "  QueryFin1: Update Ordini Set Stato = UCase(Stato)\n");
}

TEST_F(DefinizioniFile, CommandLinesThatMixLoadsAndFilesAreWrong)
{
    EXPECT_EQ(Esegui(Db(prova) + QStringList {"--esporta", "ORD", File(), "ORD"}).stato, 2);
    EXPECT_EQ(Esegui(Db(prova) + QStringList {"--esporta", "ORD"}).stato, 2);
    EXPECT_EQ(Esegui(Db(prova) + QStringList {"--esporta", "ORD", File(), "--importa", File()}).stato, 2);
    EXPECT_EQ(Esegui(Db(prova) + QStringList {"--sostituisci", "ORD"}).stato, 2);
    EXPECT_EQ(Esegui(Db(prova)).stato, 2);
}

}  // namespace

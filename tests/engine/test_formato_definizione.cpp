// The text form of a definition: the fixed order a person reads, numbers as
// numbers, empty columns left out, the check that lists every problem, and
// the JSON Schema that documents the same rules.
#include "FormatoDefinizione.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <gtest/gtest.h>

namespace {

using namespace FormatoDefinizione;

QJsonObject Documento(const QByteArray& testo)
{
    QJsonParseError errore;
    const QJsonDocument d = QJsonDocument::fromJson(testo, &errore);
    EXPECT_EQ(errore.error, QJsonParseError::NoError) << errore.errorString().toStdString();
    return d.object();
}

QJsonObject Minima()
{
    return Documento(R"({"formato": "quiva-definizione", "versione": 2, "codice": "ART",
        "QuivaFile": {"Tabella": "Articoli"}, "QuivaDettaglio": [{"NomeCampo": "Codice"}], "QuivaDecod": []})");
}

// Where each key starts in the text.
qsizetype Posizione(const QByteArray& testo, const char* chiave)
{
    return testo.indexOf(QByteArray("\"") + chiave + "\":");
}

TEST(FormatoDefinizione, TheTextFollowsTheFixedOrderAndKeepsTheFieldsInLoadOrder)
{
    QJsonObject d = Minima();
    d["QuivaFile"] = QJsonObject {{"Tabella", "Articoli"}, {"QueryFin1", "Update X"}, {"Descrizione", "Prezzi"},
                                  {"Origine", "p.txt"}, {"ZColonnaNostra", "z"}, {"AColonnaNostra", 1}};
    d["QuivaDettaglio"] = QJsonArray {QJsonObject {{"Quanto", 2}, {"NomeCampo", "Prezzo"}, {"OrdCampo", 2}},
                                      QJsonObject {{"NumCampo", "K1"}, {"NomeCampo", "Codice"}}};
    const QByteArray testo = Testo(d);

    const char* ordine[] = {"formato",     "versione",  "codice",         "QuivaFile",      "Descrizione",
                            "Origine",     "Tabella",   "QueryFin1",      "AColonnaNostra", "ZColonnaNostra",
                            "QuivaDettaglio", "NomeCampo", "OrdCampo",    "Quanto",         "QuivaDecod"};
    for (size_t i = 1; i < std::size(ordine); ++i)
        EXPECT_LT(Posizione(testo, ordine[i - 1]), Posizione(testo, ordine[i])) << ordine[i - 1] << " " << ordine[i];
    // The second field stays second; numbers are written as numbers.
    EXPECT_LT(testo.indexOf("\"Prezzo\""), testo.indexOf("\"Codice\""));
    EXPECT_TRUE(testo.contains("\n            \"OrdCampo\": 2,\n            \"Quanto\": 2\n")) << testo.toStdString();
    EXPECT_TRUE(testo.contains("\n    \"QuivaDecod\": []\n}\n"));
    // The text is JSON, and reads back as what was written.
    QJsonObject letto = Documento(testo);
    EXPECT_EQ(letto.value("QuivaDettaglio"), d.value("QuivaDettaglio"));
    EXPECT_EQ(letto.value("QuivaFile"), d.value("QuivaFile"));
    EXPECT_TRUE(Problemi(letto).isEmpty()) << Problemi(letto).join('\n').toStdString();
}

TEST(FormatoDefinizione, ValuesAreWrittenByTheKindOfTheirColumn)
{
    const Colonna* ordine = Trova(ColonneDettaglio(), "ordcampo");  // whatever case the company uses
    const Colonna* numCampo = Trova(ColonneDettaglio(), "NumCampo");
    ASSERT_TRUE(ordine && numCampo);
    EXPECT_EQ(ValoreFile(ordine, QVariant("10")), QJsonValue(10));  // a text column holding a number
    EXPECT_EQ(ValoreFile(ordine, QVariant(3.0)), QJsonValue(3));
    EXPECT_EQ(ValoreFile(ordine, QVariant(" ")), QJsonValue(QJsonValue::Undefined));
    EXPECT_EQ(ValoreFile(ordine, QVariant("abc")), QJsonValue("abc"));  // kept, so that an import says so
    EXPECT_EQ(ValoreFile(numCampo, QVariant(2)), QJsonValue("2"));       // a number column holding a text
    EXPECT_EQ(ValoreFile(numCampo, QVariant("")), QJsonValue(QJsonValue::Undefined));
    EXPECT_EQ(ValoreFile(numCampo, QVariant()), QJsonValue(QJsonValue::Undefined));
    EXPECT_EQ(ValoreFile(Trova(ColonneDettaglio(), "Quanto"), QVariant(0)), QJsonValue(0));  // 0 is not empty
    EXPECT_EQ(ValoreFile(nullptr, QVariant(2.5)), QJsonValue(2.5));
    EXPECT_EQ(ValoreFile(nullptr, QVariant(true)), QJsonValue(true));
}

TEST(FormatoDefinizione, EveryProblemIsListedWithItsPlace)
{
    QJsonObject d = Minima();
    d.remove("codice");
    d["QuivaFile"] = QJsonObject {{"Modalita", "5"}, {"Azzera", "X"}, {"SaltaInizio", -1}, {"CodTab2", "PP"},
                                  {"Tabella", QJsonArray {1}}};
    d["QuivaDettaglio"] = QJsonArray {
        QJsonObject {{"NomeCampo", "Prezzo"}, {"Quanto", "due"}, {"TipoDest", "Testo"}, {"OrdCampo", "1"}},
        QJsonObject {{"NumCampo", "3"}},
        QJsonObject {{"NomeCampo", "prezzo"}, {"Inizio", 1.5}, {"Lunghezza", 40000}, {"Aggiorna", 1}},
    };
    d["QuivaDecod"] = QJsonArray {QJsonObject {{"ValOrig", "a"}}, 7};
    const QStringList problemi = Problemi(d);
    const QStringList attesi {
        "codice: manca il codice della definizione",
        "QuivaFile, Azzera: valore non ammesso \"X\" (ammessi: S, N)",
        "QuivaFile, CodTab2: al massimo 1 caratteri, non \"PP\"",
        "QuivaFile, Modalita: valore non ammesso \"5\" (ammessi: 0, 1, 2)",
        "QuivaFile, SaltaInizio: numero fuori dall'intervallo ammesso (-1)",
        "QuivaFile, Tabella: deve essere un valore semplice, non un elenco",
        "QuivaDettaglio, campo Prezzo, OrdCampo: deve essere un numero intero, non \"1\"",
        "QuivaDettaglio, campo Prezzo, Quanto: deve essere un numero intero, non \"due\"",
        "QuivaDettaglio, campo Prezzo, TipoDest: valore non ammesso \"Testo\" (ammessi: String, Integer, Long, "
        "Single, Double, Currency, Date)",
        "QuivaDettaglio, riga 2: manca NomeCampo",
        "QuivaDettaglio, campo prezzo: campo ripetuto",
        "QuivaDettaglio, campo prezzo, Aggiorna: deve essere un testo, non 1",
        "QuivaDettaglio, campo prezzo, Inizio: deve essere un numero intero, non 1.5",
        "QuivaDettaglio, campo prezzo, Lunghezza: numero fuori dall'intervallo ammesso (40000)",
        "QuivaDecod, riga 2: deve essere un oggetto",
    };
    for (const QString& atteso : attesi)
        EXPECT_TRUE(problemi.contains(atteso)) << atteso.toStdString() << "\n---\n"
                                               << problemi.join('\n').toStdString();
    EXPECT_EQ(problemi.size(), attesi.size()) << problemi.join('\n').toStdString();
}

TEST(FormatoDefinizione, WhatIsNotThisFormatIsRefusedBeforeAnyColumn)
{
    QJsonObject d = Minima();
    d["formato"] = "altro";
    EXPECT_EQ(Problemi(d), QStringList {"manca \"formato\": \"quiva-definizione\""});
    d = Minima();
    d["versione"] = 3;
    EXPECT_EQ(Problemi(d), QStringList {"versione 3 del formato: questo programma legge fino alla 2"});
    d["versione"] = "2";
    EXPECT_EQ(Problemi(d).size(), 1);
    // Letters are compared without case, like the program compares them.
    d = Minima();
    d["QuivaFile"] = QJsonObject {{"Modalita", "0"}, {"InsVaria", "v"}, {"Azzera", "s"}, {"Tipo", "F"}};
    d["QuivaDettaglio"] = QJsonArray {QJsonObject {{"NomeCampo", "A"}, {"TipoDest", "currency"}, {"Riempie", "M"}}};
    EXPECT_TRUE(Problemi(d).isEmpty()) << Problemi(d).join('\n').toStdString();
}

// Files written before this format: keys in alphabetical order, numbers as
// texts, empty texts written out.
TEST(FormatoDefinizione, FilesOfTheFirstVersionAreStillSound)
{
    const QJsonObject d = Documento(R"({
        "QuivaDecod": [{"NomeCampo": "Stato", "Tabella": "Ordini", "ValDest": "", "ValOrig": "A"}],
        "QuivaDettaglio": [{"Aggiorna": "A", "CostBatch": "", "Dimensione": 0, "NomeCampo": "Numero",
                            "NumCampo": "K1", "OrdCampo": "1", "Quanto": "", "TipoDest": "Long"}],
        "QuivaFile": {"Azzera": "", "Modalita": "0", "SaltaInizio": 0, "Separatore": "|", "Tabella": "Ordini"},
        "codice": "ORD", "formato": "quiva-definizione", "versione": 1})");
    EXPECT_TRUE(Problemi(d).isEmpty()) << Problemi(d).join('\n').toStdString();
    // The same text numbers are refused in the present version.
    QJsonObject v2 = d;
    v2["versione"] = 2;
    EXPECT_EQ(Problemi(v2), QStringList {"QuivaDettaglio, campo Numero, OrdCampo: deve essere un numero intero, "
                                         "non \"1\""} + QStringList {"QuivaDettaglio, campo Numero, Quanto: deve "
                                                                     "essere un numero intero, non \"\""});
}

// The schema given to users describes the rules the program applies.
TEST(FormatoDefinizione, TheSchemaDescribesTheSameColumns)
{
    QFile file(QStringLiteral(QUIVA_SCHEMA));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << QUIVA_SCHEMA;
    const QJsonObject schema = Documento(file.readAll());
    const QJsonObject proprieta = schema.value("properties").toObject();
    auto confronta = [](const QJsonObject& colonneSchema, std::span<const Colonna> colonne, const char* tabella) {
        EXPECT_EQ(colonneSchema.size(), static_cast<qsizetype>(colonne.size())) << tabella;
        for (const Colonna& c : colonne) {
            const QJsonObject s = colonneSchema.value(QLatin1String(c.nome)).toObject();
            ASSERT_FALSE(s.isEmpty()) << tabella << "." << c.nome;
            EXPECT_EQ(s.value("type").toString(), c.genere == Genere::Intero ? "integer" : "string")
                << tabella << "." << c.nome;
            QStringList ammessi;
            for (const QJsonValue& v : s.value("enum").toArray())
                if (!v.toString().isEmpty() && !ammessi.contains(v.toString(), Qt::CaseInsensitive))
                    ammessi << v.toString();
            EXPECT_EQ(ammessi, c.ammessi) << tabella << "." << c.nome;
            EXPECT_EQ(s.value("maxLength").toInt(), c.massimo) << tabella << "." << c.nome;
        }
    };
    confronta(proprieta.value("QuivaFile").toObject().value("properties").toObject(), ColonneFile(), "QuivaFile");
    confronta(proprieta.value("QuivaDettaglio").toObject().value("items").toObject().value("properties").toObject(),
              ColonneDettaglio(), "QuivaDettaglio");
    confronta(proprieta.value("QuivaDecod").toObject().value("items").toObject().value("properties").toObject(),
              ColonneDecod(), "QuivaDecod");
    EXPECT_EQ(proprieta.value("versione").toObject().value("maximum").toInt(), Versione);
}

}  // namespace

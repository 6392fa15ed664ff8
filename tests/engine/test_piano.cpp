// A definition is read once and its compiled form drives every line: the
// rows written in each write mode across the five slots (with a decode row
// and a rejected line), and a table code that names a slot without a table.
#include "Caricamento.h"

#include <gtest/gtest.h>

namespace {

const char* Codici[] = {"", "B", "C", "D", "E"};

class Piano : public ::testing::Test {
protected:
    AmbienteProva ambiente;
    Caricamento carico {ambiente};

    void CreaTabelle()
    {
        for (int i = 1; i <= 5; ++i) {
            ambiente.Sql(QStringLiteral("CREATE TABLE T%1 (Codice VARCHAR(10) PRIMARY KEY, Descr VARCHAR(20), "
                                        "Qta INTEGER, Prezzo NUMERIC, Data DATE)")
                             .arg(i));
            ambiente.Sql(QStringLiteral("INSERT INTO T%1 VALUES ('K1', 'Vecchio', 1, 1.5, '2000-01-01')").arg(i));
        }
    }

    // Definition "P" over T1..T5: every slot takes the same four fields of
    // a delimited line; Descr is written on updates too, the others only on
    // new rows; Qta goes through a decode row.
    void Definizione(const QString& modalita, const QString& insVaria)
    {
        QVariantMap testata {{"Tabella", "T1"},
                             {"Separatore", ";"},
                             {"Modalita", modalita},
                             {"InsVaria", insVaria},
                             {"Origine",
                              ambiente.FileSorgente("p.txt",
                                                    "K1;Nuovo;5;2,5;31/12/2024\n"
                                                    "k2;Altro;x;3;01/02/2003\n"
                                                    "K3;Terzo;7;abc;01/02/2003\n")}};
        for (int i = 2; i <= 5; ++i) {
            testata.insert(QStringLiteral("Tabella%1").arg(i), QStringLiteral("T%1").arg(i));
            testata.insert(QStringLiteral("CodTab%1").arg(i), QString::fromLatin1(Codici[i - 1]));
        }
        ambiente.Definizione("P", testata);
        int ordine = 0;
        for (int i = 1; i <= 5; ++i) {
            const QString prefisso = i == 1 ? QString() : QString::fromLatin1(Codici[i - 1]) + QLatin1Char(' ');
            auto campo = [&](const char* nome, const char* numero, const char* tipo, const char* aggiorna) {
                ambiente.Campo("P",
                               {{"NomeCampo", prefisso + nome},
                                {"NumCampo", numero},
                                {"TipoDest", tipo},
                                {"TipoOrig", "String"},
                                {"OrdCampo", ++ordine},
                                {"Aggiorna", aggiorna}});
            };
            campo("Codice", "K1", "String", "");
            campo("Descr", "2", "String", "A");
            campo("Qta", "3", "Long", "");
            campo("Prezzo", "4", "Currency", "");
            campo("Data", "5", "Date", "");
            ambiente.Decodifica("P", QStringLiteral("T%1").arg(i), "Qta", "x", "9");
        }
    }

    QStringList Tabella(int i)
    {
        return ambiente.Righe(
            QStringLiteral("SELECT Codice, Descr, Qta, Prezzo, Data FROM T%1 ORDER BY Codice").arg(i));
    }
};

TEST_F(Piano, EveryWriteModeGivesTheSameRowsInAllFiveSlots)
{
    const QString vecchio = "K1|Vecchio|1|1.5|2000-01-01";
    const QString aggiornato = "K1|Nuovo|1|1.5|2000-01-01";  // only Descr is written on updates
    const QString nuovo = "k2|Altro|9|3|2003-02-01";
    const QStringList rifiuto = {"T1.Prezzo: Tipo non valido (abc)"};  // K3, read before any slot is written
    struct Caso {
        const char* modalita;
        const char* insVaria;
        QStringList righe;
        QStringList errori;
    };
    const Caso casi[] = {
        {"0", "", {aggiornato, nuovo}, rifiuto},  // insert or update
        {"1", "", {vecchio, nuovo}, rifiuto},     // insert only
        {"2", "", {aggiornato}, {}},              // update only: K3 is not there, nothing is read
        {"9", "", {aggiornato, nuovo}, rifiuto},  // any other mode: insert or update
        {"1", "I", {vecchio, nuovo}, QStringList {"Chiave doppia"} + rifiuto},  // free insertion
    };
    for (const Caso& caso : casi) {
        SCOPED_TRACE(std::string("Modalita ") + caso.modalita + " InsVaria " + caso.insVaria);
        CreaTabelle();
        Definizione(QString::fromLatin1(caso.modalita), QString::fromLatin1(caso.insVaria));
        ASSERT_EQ(carico.Esegui("P"), 0);
        for (int i = 1; i <= 5; ++i)
            EXPECT_EQ(Tabella(i), caso.righe) << "T" << i;
        EXPECT_EQ(ambiente.Righe("SELECT Errore FROM ErroriQuivamento ORDER BY rowid"), caso.errori);
        for (int i = 1; i <= 5; ++i)
            ambiente.Sql(QStringLiteral("DROP TABLE T%1").arg(i));
        ambiente.Sql("DELETE FROM QuivaFile");
        ambiente.Sql("DELETE FROM QuivaDettaglio");
        ambiente.Sql("DELETE FROM QuivaDecod");
        ambiente.Sql("DELETE FROM ErroriQuivamento");
    }
}

// A table code that names a slot without a table: the definition does not
// load, and says why.
TEST_F(Piano, FieldOfASlotWithoutATableRejectsTheLine)
{
    ambiente.Sql("CREATE TABLE T1 (Codice VARCHAR(10) PRIMARY KEY, Descr VARCHAR(20))");
    ambiente.Definizione("P",
                         {{"Tabella", "T1"},
                          {"Separatore", ";"},
                          {"Modalita", "0"},
                          {"CodTab2", "Z"},
                          {"Origine", ambiente.FileSorgente("p.txt", "K1;Uno\n")}});
    ambiente.Campo("P", {{"NomeCampo", "Codice"}, {"NumCampo", "K1"}, {"OrdCampo", 1}});
    ambiente.Campo("P", {{"NomeCampo", "Z Descr"}, {"NumCampo", "2"}, {"OrdCampo", 2}, {"Aggiorna", "A"}});
    EXPECT_EQ(carico.Esegui("P"), CodiciErrore::DefinizioneNonValida);
    EXPECT_TRUE(ambiente.Righe("SELECT Codice FROM T1").isEmpty());
    EXPECT_EQ(carico.messaggi.testi,
              QStringList {"La definizione P non può essere caricata:\n"
                           "- Campo \"Z Descr\": il codice tabella Z non ha una tabella di destinazione"});
}

}  // namespace

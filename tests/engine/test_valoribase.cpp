// Base-value prompts: cutting the descriptions, storing the answers, and the
// answers of a run without the prompt window.
#include "RisposteValBase.h"
#include "ValoriBase.h"
#include "ValueStore.h"

#include <gtest/gtest.h>

namespace {

RichiestaBase Analizza(const char* descrizione, bool atteso = true)
{
    RichiestaBase r;
    EXPECT_EQ(AnalizzaRichiesta(QString::fromUtf8(descrizione), r), atteso) << descrizione;
    return r;
}

TEST(ValoriBase, DescriptionsAreCutAndTrimmed)
{
    struct Caso {
        const char* descrizione;
        const char* didascalia;
        const char* proposta;
        bool contatore;
        const char* rottura;
    };
    const Caso casi[] = {
        {"§Data", "Data:", "", false, ""},
        {"§ Causale §  VEN ", "Causale:", "VEN", false, ""},
        {"§#2#Numero§100", "Numero:", "100", true, "2"},
        // Break text trimmed; a "§" inside the answer stays part of it.
        {"§# 1,3 #Numero di partenza§1§2", "Numero di partenza:", "1§2", true, "1,3"},
        {"§##Progressivo", "Progressivo:", "", true, ""},
        {"§", ":", "", false, ""},  // only the marker: an empty caption
    };
    for (const Caso& caso : casi) {
        SCOPED_TRACE(caso.descrizione);
        const RichiestaBase r = Analizza(caso.descrizione);
        EXPECT_EQ(r.Didascalia(), QString::fromUtf8(caso.didascalia));
        EXPECT_EQ(r.proposta, QString::fromUtf8(caso.proposta));
        EXPECT_EQ(r.contatore, caso.contatore);
        EXPECT_EQ(r.rottura, QString::fromUtf8(caso.rottura));
    }
    // A counter part without its closing "#" cannot be cut.
    Analizza("§#2Numero§100", false);
    Analizza("§#", false);
}

TEST(ValoriBase, AnswersStoredByDefinitionAndField)
{
    RaccoltaValBase raccolta;
    RichiestaBase numero = Analizza("§#2#Numero§100");
    numero.codice = "VEN";
    numero.nomeCampo = "NumDoc";
    RichiestaBase causale = Analizza("§Causale§VEN");
    causale.codice = "VEN";
    causale.nomeCampo = "B Causale";
    raccolta.Aggiungi(numero);
    raccolta.Aggiungi(causale);

    ValueStore store;
    raccolta.Memorizza({"100", "ACQ"}, store);
    ASSERT_EQ(store.Numero(), 2);
    const VoceValore* v = store.Trova("ven.numdoc");
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->contatore, 100);
    EXPECT_EQ(v->contatoreIniziale, 100.0);
    EXPECT_EQ(v->valore, ValueStore::ValoreMai);
    EXPECT_EQ(v->rottura, QVariant(QStringLiteral("2")));
    EXPECT_EQ(v->segnoContatore, ValueStore::SegnoContatoreAttivo);
    const VoceValore* c = store.Trova("VEN.B Causale");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->valore, "ACQ");
    EXPECT_NE(c->segnoContatore, ValueStore::SegnoContatoreAttivo);

    // A counter answer that is not a number starts from 0.
    raccolta.Memorizza({"abc", ""}, store);
    EXPECT_EQ(store.Trova("VEN.NumDoc")->contatore, 0);
}

class Risposte : public ::testing::Test {
protected:
    RaccoltaValBase raccolta;
    void SetUp() override
    {
        RichiestaBase a = Analizza("§Causale§VEN");
        a.codice = "VEN";
        a.nomeCampo = "Causale";
        a.costBatch = "BAT";
        RichiestaBase b = Analizza("§#2#Numero§100");
        b.codice = "VEN";
        b.nomeCampo = "Numero";
        b.costBatch = "1";
        raccolta.Aggiungi(a);
        raccolta.Aggiungi(b);
    }
};

TEST_F(Risposte, GivenValuesThenBatchConstantsThenWhoIsAsked)
{
    EsitoRisposte e = RisposteValBase(raccolta, {{"ven.causale", "X"}}, true, {});
    EXPECT_TRUE(e.Completo());
    EXPECT_EQ(e.risposte, (QStringList {"X", "1"}));

    QStringList chiesti;
    e = RisposteValBase(raccolta, {{"VEN.Numero", "7"}}, false, [&](const RichiestaBase& r) -> std::optional<QString> {
        chiesti << r.Chiave();
        return r.proposta;
    });
    EXPECT_TRUE(e.Completo());
    EXPECT_EQ(chiesti, QStringList {"VEN.Causale"});
    EXPECT_EQ(e.risposte, (QStringList {"VEN", "7"}));
}

TEST_F(Risposte, MissingUnknownAndCancelledAnswersAreReported)
{
    EsitoRisposte e = RisposteValBase(raccolta, {{"VEN.Numero", "7"}, {"VEN.Nessuno", "1"}}, false, {});
    EXPECT_FALSE(e.Completo());
    EXPECT_EQ(e.mancanti, QStringList {"VEN.Causale"});
    EXPECT_EQ(e.sconosciute, QStringList {"VEN.Nessuno"});

    int chiamate = 0;
    e = RisposteValBase(raccolta, {}, false, [&](const RichiestaBase&) -> std::optional<QString> {
        ++chiamate;
        return std::nullopt;
    });
    EXPECT_TRUE(e.annullato);
    EXPECT_EQ(chiamate, 1);  // nothing more is asked after giving up

    for (const char* impostazione : {"VEN.Causale", "=x", "Causale=x"})
        EXPECT_FALSE(DividiImpostazione(impostazione)) << impostazione;
    const auto coppia = DividiImpostazione(" VEN.Causale =a=b");
    ASSERT_TRUE(coppia);
    EXPECT_EQ(coppia->first, "VEN.Causale");
    EXPECT_EQ(coppia->second, "a=b");
}

}  // namespace

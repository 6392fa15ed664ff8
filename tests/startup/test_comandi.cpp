// The menu's commands as the dispatcher answers them.
#include "MenuFinto.h"
#include "ProgrammaComandi.h"
#include "scMenuComandiClie.h"

#include <gtest/gtest.h>

namespace {

struct ProgrammaFinto : ProgrammaComandi {
    int aperte = 0;
    QString motivo;
    QStringList fatti;
    int NumeroMaschereAperte() const override { return aperte; }
    QString ControlloFine() override { return motivo; }
    bool MascheraAperta(const QString& nome) const override
    {
        return nome.compare("frmQuiva", Qt::CaseInsensitive) == 0 && aperte > 0;
    }
    void AggiornaPrincipale() override { fatti << "aggiorna"; }
    void ApriMascheraMenu(const QString& nome) override { fatti << "apri " + nome; }
    void Attiva() override { fatti << "attiva"; }
    void PreparaPassaggio() override { fatti << "preppassaa"; }
    QString ChiavePrimaria() const override { return "QUIVA"; }
    QString ChiaveSecondaria() const override { return "frmQuiva"; }
    QString ComandoProgramma() const override { return "/M1 /PQUIVA"; }
    void Avviso(const QString& testo) override { fatti << "avviso " + testo; }
};

struct Comandi : ::testing::Test {
    ProgrammaFinto programma;
    scMenuComandiClie client {std::make_unique<MenuFinto>(), programma};
    QVariant Esegui(const QString& comando, const QVariant& parametri = {})
    {
        QVariant risposta = "non toccata";
        client.EseguiComando(0, 0, comando, parametri, risposta);
        return risposta;
    }
};

TEST_F(Comandi, FineSenzaMaschereAperteRispondeVuoto)
{
    EXPECT_EQ(Esegui("FINE").toString(), "");
    programma.motivo = "stampa in corso";
    EXPECT_EQ(Esegui("fine").toString(), "") << "with no screen open the program may always end";
}

TEST_F(Comandi, FineConMascheraApertaDaIlMotivoONoChiudi)
{
    programma.aperte = 1;
    EXPECT_EQ(Esegui("fine").toString(), "No Chiudi");
    programma.motivo = "Quivamento in corso";
    EXPECT_EQ(Esegui("Fine").toString(), "Quivamento in corso");
}

TEST_F(Comandi, RisposteFisse)
{
    EXPECT_TRUE(Esegui("esiste").toBool());
    EXPECT_EQ(Esegui("PARAMPRGCLIE").toString(), "$Default$");
    EXPECT_EQ(Esegui("keyprgprim").toString(), "QUIVA");
    EXPECT_EQ(Esegui("keyprgsec").toString(), "frmQuiva");
    EXPECT_EQ(Esegui("comandoprgclie").toString(), "/M1 /PQUIVA");
}

TEST_F(Comandi, ComandoSconosciutoLasciaVuotoENonFaNulla)
{
    EXPECT_EQ(Esegui("balla", "x").toString(), "");
    EXPECT_TRUE(programma.fatti.isEmpty());
    EXPECT_EQ(client.UltCom, "balla");
    EXPECT_EQ(client.UltParam, "x");
}

TEST_F(Comandi, UltParamEIlPrimoElementoDiUnaLista)
{
    Esegui("passaa", QVariantList {"frmVerErrori", "altro"});
    EXPECT_EQ(client.UltParam, "frmVerErrori");
    EXPECT_EQ(client.UltParamVar.toList().size(), 2);
    EXPECT_EQ(programma.fatti.last(), "apri frmVerErrori");
}

TEST_F(Comandi, RitornoaRiapreSoloUnaMascheraAperta)
{
    Esegui("ritornoa", "");
    Esegui("ritornoa", "frmQuiva");  // not open
    programma.aperte = 1;
    Esegui("RitornoA", "FRMQUIVA");
    EXPECT_EQ(programma.fatti, (QStringList {"aggiorna", "aggiorna", "apri FRMQUIVA"}));
}

TEST_F(Comandi, AvvisiFatture)
{
    Esegui("FEInvio", QVariantList {"1234", "0"});
    Esegui("feattesa", "7");
    Esegui("FEInvio", QVariantList {"3", "2"});
    Esegui("FEAttesa", "Err: servizio non raggiungibile");
    ASSERT_EQ(programma.fatti.size(), 4);
    EXPECT_EQ(programma.fatti[0], "avviso Inviate 1.234 fatture");
    EXPECT_EQ(programma.fatti[1], "avviso Ci sono 7 fatture in attesa");
    EXPECT_EQ(programma.fatti[2], "avviso Inviate 3 fatture\nFatture non inviate per errori");
    EXPECT_EQ(programma.fatti[3],
              "avviso Err: Errore nella richiesta di fatture in attesa - servizio non raggiungibile");
}

}  // namespace

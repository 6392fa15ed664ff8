// quiva-load --anteprima, --verifica and --crea-da-file on a temporary company.
#include "AmbienteProva.h"

#include <QProcess>
#include <gtest/gtest.h>

namespace {

struct Uscita {
    int stato;
    QString testo;
};

class Esame : public ::testing::Test {
protected:
    AmbienteProva ambiente;

    Uscita Esegui(QStringList argomenti)
    {
        argomenti = ambiente.ArgomentiDitta() + argomenti;
        QProcess processo;
        processo.start(QStringLiteral(QUIVA_LOAD), argomenti);
        processo.waitForFinished(60000);
        return {processo.exitCode(), QString::fromUtf8(processo.readAllStandardOutput())};
    }
    void SetUp() override
    {
        ambiente.Sql(QStringLiteral("CREATE TABLE Art (Codice VARCHAR(10) PRIMARY KEY, Descr VARCHAR(20))"));
        ambiente.Sql(QStringLiteral("CREATE TABLE Nota (Testo VARCHAR(20))"));
    }
};

TEST_F(Esame, CreatesADefinitionFromAFileOnceAndPreviewsIt)
{
    const QString file = ambiente.FileSorgente(QStringLiteral("art.txt"), "Codice;Descr\n1;Uno\n2;Due\n");
    const Uscita creata = Esegui({"--crea-da-file", file, "--tabella", "Art", "ART"});
    EXPECT_EQ(creata.stato, 0);
    EXPECT_TRUE(creata.testo.contains(QStringLiteral("\"formato\": \"quiva-definizione\""))) << creata.testo.toStdString();
    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT SaltaInizio FROM QuivaFile WHERE Codice = 'ART'")).toInt(), 1);
    EXPECT_EQ(Esegui({"--crea-da-file", file, "--tabella", "Art", "ART"}).stato, 1);
    EXPECT_EQ(Esegui({"--crea-da-file", file, "--tabella", "Art", "--sostituisci", "ART"}).stato, 0);

    const Uscita anteprima = Esegui({"--anteprima", "ART", "--righe", "1"});
    EXPECT_EQ(anteprima.stato, 0);
    EXPECT_TRUE(anteprima.testo.startsWith(QStringLiteral("Anteprima ART: 1 righe, 0 scartate\nRiga    2: 1;Uno\n"
                                                          "  Art: inserimento\n")))
        << anteprima.testo.toStdString();
    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT count(*) FROM Art")).toInt(), 0);
    EXPECT_EQ(Esegui({"--verifica", "ART"}).stato, 0);
}

TEST_F(Esame, CheckExitsWithOneOnProblems)
{
    ambiente.Definizione(QStringLiteral("N"), {{"Tabella", "Nota"}, {"Modalita", "0"}, {"Separatore", ";"}});
    ambiente.Campo(QStringLiteral("N"), {{"NomeCampo", "Testo"}, {"NumCampo", "1"}});
    const Uscita verifica = Esegui({"--verifica", "N"});
    EXPECT_EQ(verifica.stato, 1);
    EXPECT_TRUE(verifica.testo.contains(QStringLiteral("La tabella Nota non ha campi chiave"))) << verifica.testo.toStdString();
}

}  // namespace

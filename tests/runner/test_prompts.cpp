// quiva-load with prompted fields: answers from --set and from the batch
// constants; without them and without a terminal the run does not start.
// Company settings from the menu configuration file.
#include "AmbienteProva.h"

#include <QProcess>
#include <gtest/gtest.h>

namespace {

struct Risultato {
    int stato;
    QString uscita;
    QString errori;
};

class Richieste : public ::testing::Test {
protected:
    AmbienteProva ambiente;

    void SetUp() override
    {
        ambiente.Sql(
            QStringLiteral("CREATE TABLE Mov (Riga VARCHAR(5) PRIMARY KEY, Gruppo VARCHAR(5), Causale VARCHAR(5), "
                           "Numero INTEGER, Importo REAL)"));
        const QString file = ambiente.FileSorgente(QStringLiteral("mov.txt"), "1;A;1936,27\n2;A;0\n3;B;0\n");
        ambiente.Definizione(QStringLiteral("VEN"),
                             {{"Tabella", "Mov"}, {"Modalita", "0"}, {"Separatore", ";"}, {"Origine", file}});
        const QString paragrafo = QString::fromUtf8("§");
        ambiente.Campo(QStringLiteral("VEN"), {{"NomeCampo", "Riga"}, {"NumCampo", "1"}, {"OrdCampo", "1"}});
        ambiente.Campo(QStringLiteral("VEN"), {{"NomeCampo", "Gruppo"}, {"NumCampo", "2"}, {"OrdCampo", "2"}});
        ambiente.Campo(QStringLiteral("VEN"),
                       {{"NomeCampo", "Causale"},
                        {"OrdCampo", "3"},
                        {"Default", paragrafo + "Causale" + paragrafo + "VEN"},
                        {"CostBatch", "BAT"}});
        ambiente.Campo(QStringLiteral("VEN"),
                       {{"NomeCampo", "Numero"},
                        {"OrdCampo", "4"},
                        {"TipoDest", "Long"},
                        {"Default", paragrafo + "#2#Numero" + paragrafo + "100"},
                        {"CostBatch", "0"}});
        ambiente.Campo(QStringLiteral("VEN"),
                       {{"NomeCampo", "Importo"},
                        {"NumCampo", "3"},
                        {"OrdCampo", "5"},
                        {"TipoDest", "Double"},
                        {"LireOValuta", "V"}});
        // An error row of an earlier load: a load that starts deletes it.
        ambiente.Sql(QStringLiteral("INSERT INTO ErroriQuivamento VALUES ('VEN', 'x', 'vecchio')"));
    }

    Risultato Esegui(QStringList argomenti)
    {
        argomenti = ambiente.ArgomentiDitta() + argomenti;
        argomenti << QStringLiteral("VEN");
        QProcess processo;
        processo.start(QStringLiteral(QUIVA_LOAD), argomenti);
        processo.closeWriteChannel();  // no terminal to ask on
        processo.waitForFinished(60000);
        return {processo.exitCode(), QString::fromUtf8(processo.readAllStandardOutput()),
                QString::fromUtf8(processo.readAllStandardError())};
    }
    QStringList Mov()
    {
        return ambiente.Righe(QStringLiteral("SELECT Riga, Causale, Numero, Importo FROM Mov ORDER BY Riga"));
    }
    bool Avviato() { return ambiente.Righe(QStringLiteral("SELECT * FROM ErroriQuivamento")).isEmpty(); }
};

TEST_F(Richieste, WithoutAnswersNothingStartsAndTheMissingOnesAreListed)
{
    const Risultato r = Esegui({});
    EXPECT_EQ(r.stato, 1);
    EXPECT_TRUE(r.errori.contains(QStringLiteral("VEN.Causale (Causale)"))) << r.errori.toStdString();
    EXPECT_TRUE(r.errori.contains(QStringLiteral("VEN.Numero (Numero)"))) << r.errori.toStdString();
    EXPECT_TRUE(Mov().isEmpty());
    EXPECT_FALSE(Avviato());

    // A partial answer still leaves one missing.
    EXPECT_EQ(Esegui({QStringLiteral("--set"), QStringLiteral("VEN.Causale=X")}).stato, 1);
    EXPECT_FALSE(Avviato());
}

TEST_F(Richieste, SetAnswersAndBatchConstants)
{
    Risultato r = Esegui({QStringLiteral("--set"), QStringLiteral("ven.causale=ACQ"), QStringLiteral("--set"),
                          QStringLiteral("VEN.Numero=10")});
    ASSERT_EQ(r.stato, 0) << r.errori.toStdString();
    EXPECT_TRUE(r.uscita.startsWith(QStringLiteral("Elaborazione terminata\n\n"))) << r.uscita.toStdString();
    EXPECT_EQ(Mov(), (QStringList {"1|ACQ|11|1936.27", "2|ACQ|12|0", "3|ACQ|11|0"}));

    // --batch takes CostBatch where --set says nothing.
    ambiente.Sql(QStringLiteral("DELETE FROM Mov"));
    r = Esegui({QStringLiteral("--batch"), QStringLiteral("--set"), QStringLiteral("VEN.Numero=5")});
    ASSERT_EQ(r.stato, 0) << r.errori.toStdString();
    EXPECT_EQ(Mov(), (QStringList {"1|BAT|6|1936.27", "2|BAT|7|0", "3|BAT|6|0"}));
    ambiente.Sql(QStringLiteral("DELETE FROM Mov"));
    r = Esegui({QStringLiteral("--batch")});
    EXPECT_EQ(Mov(), (QStringList {"1|BAT|1|1936.27", "2|BAT|2|0", "3|BAT|1|0"}));
}

TEST_F(Richieste, WrongAnswersAreRefused)
{
    // A key no prompt asks for (a typing error) stops the run.
    Risultato r = Esegui({QStringLiteral("--batch"), QStringLiteral("--set"), QStringLiteral("VEN.Causa=X")});
    EXPECT_EQ(r.stato, 1);
    EXPECT_TRUE(r.errori.contains(QStringLiteral("VEN.Causa"))) << r.errori.toStdString();
    EXPECT_FALSE(Avviato());
    // Not "CODE.Field=VALUE": a wrong command line.
    EXPECT_EQ(Esegui({QStringLiteral("--set"), QStringLiteral("Causale")}).stato, 2);
    // A counter starts only from a whole number.
    for (const char* numero : {"abc", "1O", "12,5"}) {
        r = Esegui({QStringLiteral("--batch"), QStringLiteral("--set"),
                    QStringLiteral("VEN.Numero=") + QLatin1String(numero)});
        EXPECT_EQ(r.stato, 1) << numero;
        EXPECT_TRUE(
            r.errori.contains(QStringLiteral("Il valore di partenza di \"Numero\" deve essere un numero intero: \"")
                              + QLatin1String(numero)))
            << r.errori.toStdString();
        EXPECT_FALSE(Avviato());
    }

    // A counter without its closing "#" names the definition and the field.
    ambiente.Sql(QString::fromUtf8("UPDATE QuivaDettaglio SET [Default] = '§#2Numero' WHERE NomeCampo = 'Numero'"));
    r = Esegui({QStringLiteral("--batch")});
    EXPECT_EQ(r.stato, 1);
    EXPECT_TRUE(r.errori.contains(QStringLiteral("Definizione VEN, campo Numero"))) << r.errori.toStdString();
    EXPECT_FALSE(Avviato());
}

TEST_F(Richieste, CompanyCurrencyFromTheMenuConfiguration)
{
    // A company in lire: the amount without a price list is converted to euro.
    const QString config = ambiente.FileSorgente(QStringLiteral("menu.ini"), "[Ditta]\nDitta.Moneta=L.\n");
    const Risultato r = Esegui({QStringLiteral("--batch"), QStringLiteral("--config"), config});
    ASSERT_EQ(r.stato, 0) << r.errori.toStdString();
    EXPECT_EQ(Mov().first(), QStringLiteral("1|BAT|1|1"));
}

}  // namespace

// A long load gives the same rows, error rows and counters whether its lines
// run one by one (database file) or in blocks whose rows are sent together
// (server), also when a block fails and has to run again line by line.
#include "BloccoRighe.h"
#include "Caricamento.h"

#include <gtest/gtest.h>

namespace {

class Blocchi : public ::testing::Test {
protected:
    AmbienteProva ambiente;
    Caricamento carico {ambiente};

    void SetUp() override
    {
        ambiente.Sql(QStringLiteral(
            "CREATE TABLE Art (Codice VARCHAR(6) PRIMARY KEY, Descr VARCHAR(10), Num INTEGER, Qta INTEGER)"));
        ambiente.Sql(QStringLiteral("CREATE UNIQUE INDEX Art_Descr ON Art (Descr)"));
    }

    // Definition "ART" in free insertion: Num from a counter, then the key
    // and the description.
    void Definizione(const QByteArray& righe)
    {
        ambiente.Definizione(QStringLiteral("ART"),
                             {{"Tabella", "Art"},
                              {"Origine", ambiente.FileSorgente(QStringLiteral("a.txt"), righe)},
                              {"Separatore", ";"},
                              {"Modalita", "0"},
                              {"InsVaria", "I"}});
        ambiente.Campo(QStringLiteral("ART"),
                       {{"NomeCampo", "Num"}, {"OrdCampo", "1"}, {"Default", "\u00a7"}, {"TipoDest", "Long"}});
        ambiente.Campo(QStringLiteral("ART"), {{"NomeCampo", "Codice"}, {"NumCampo", "K1"}, {"OrdCampo", "2"}});
        ambiente.Campo(QStringLiteral("ART"),
                       {{"NomeCampo", "Descr"}, {"NumCampo", "2"}, {"OrdCampo", "3"}, {"Aggiorna", "A"}});
        ambiente.Campo(
            QStringLiteral("ART"),
            {{"NomeCampo", "Qta"}, {"NumCampo", "3"}, {"OrdCampo", "4"}, {"TipoOrig", "Long"}, {"TipoDest", "Long"}});
        VoceValore& contatore = carico.valori.Voce(QStringLiteral("ART.Num"));
        contatore.segnoContatore = ValueStore::SegnoContatoreAttivo;
    }
    QString Riga(const char* codice)
    {
        return ambiente
            .Righe(QStringLiteral("SELECT Codice, Descr, Num FROM Art WHERE Codice = '%1'").arg(QLatin1String(codice)))
            .join(QLatin1Char(';'));
    }
};

TEST_F(Blocchi, FailuresInsideBlocksGiveTheRowsAndErrorRowsOfALineByLineLoad)
{
    // A block that fails is followed by lines run one by one for a while, so
    // the second failure falls in the block after those.
    const int numero = BloccoRighe::RighePerBlocco * 3;
    QByteArray righe;
    for (int i = 1; i <= numero; ++i) {
        QByteArray riga = QStringLiteral("A%1;d%1;1\n").arg(i, 4, 10, QLatin1Char('0')).toUtf8();
        if (i == 100)
            riga = "A0010;nuovo;1\n";  // a key met before: written again as a change
        else if (i == 300)
            riga = "A0300;d0300;x\n";  // refused before it reaches the database
        else if (i == 600)
            riga = "Z0600;d0020;1\n";  // a description met before: refused by the database
        righe += riga;
    }
    Definizione(righe);
    ASSERT_EQ(carico.Esegui(QStringLiteral("ART")), 0);

    EXPECT_EQ(ambiente.Valore(QStringLiteral("SELECT count(*) FROM Art")).toInt(), numero - 3);
    EXPECT_EQ(Riga("A0010"), QStringLiteral("A0010|nuovo|10"));
    EXPECT_EQ(Riga("Z0600"), QString());
    // The counter moved on for every new row composed, the refused ones too,
    // and only once per line.
    EXPECT_EQ(Riga("A0299"), QStringLiteral("A0299|d0299|299"));
    EXPECT_EQ(Riga("A0599"), QStringLiteral("A0599|d0599|599"));
    EXPECT_EQ(Riga("A0601"), QStringLiteral("A0601|d0601|602"));
    EXPECT_EQ(Riga("A0768"), QStringLiteral("A0768|d0768|769"));

    const QStringList errori =
        ambiente.Righe(QStringLiteral("SELECT Riga, Errore FROM ErroriQuivamento ORDER BY rowid"));
    ASSERT_EQ(errori.size(), 2) << errori.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(errori[0].startsWith(QLatin1String("A0300;d0300;x|"))) << errori[0].toStdString();
    EXPECT_EQ(errori[1], QStringLiteral("Z0600;d0020;1|Chiave doppia"));
    EXPECT_EQ(carico.errori, 2);
}

}  // namespace

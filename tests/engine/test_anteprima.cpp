// The preview runs the real line path in a trial: what it shows for every
// line is what a load of the same lines writes, and the database is left as
// it was.
#include "AnteprimaQuiva.h"
#include "Caricamento.h"
#include "FormUtility.h"

#include <QCryptographicHash>
#include <QMap>
#include <gtest/gtest.h>

namespace {

OpzioniAnteprima Righe(long righe)
{
    OpzioniAnteprima opzioni;
    opzioni.righe = righe;
    return opzioni;
}

const QStringList Tabelle {"P", "S2", "S3", "S4", "S5"};
const QStringList Codici {"", "B", "C", "D", "E"};

class Anteprime : public ::testing::TestWithParam<std::pair<const char*, const char*>> {
protected:
    AmbienteProva ambiente;
    Caricamento carico {ambiente};

    void SetUp() override
    {
        for (const QString& t : Tabelle)
            ambiente.Sql(QStringLiteral("CREATE TABLE %1 (Cod VARCHAR(10) PRIMARY KEY, Val VARCHAR(12), Qta INTEGER)")
                             .arg(t));
        ambiente.Sql(QStringLiteral("INSERT INTO P VALUES ('2', 'vecchio', 1), ('4', 'vecchio', 1)"));
        ambiente.Sql(QStringLiteral("INSERT INTO S2 VALUES ('3', 'vecchio', 1)"));
        ambiente.Sql(QStringLiteral("INSERT INTO S3 VALUES ('z', 'svuotata', 1)"));
        ambiente.Sql(QStringLiteral("INSERT INTO ErroriQuivamento VALUES ('CORPUS', 'vecchia', 'x')"));
    }

    // Every slot gets Cod from field 1, Val from field 2 (decoded, mandatory)
    // and Qta from field 3; S3 is emptied first.
    void Corpus(const QString& modalita, const QString& insVaria)
    {
        QVariantMap testata {{"Tabella", "P"}, {"Separatore", ";"}, {"Modalita", modalita}, {"InsVaria", insVaria},
                             {"Azzera3", "S"}};
        for (int i = 2; i <= 5; ++i) {
            testata.insert(QStringLiteral("Tabella%1").arg(i), Tabelle[i - 1]);
            testata.insert(QStringLiteral("CodTab%1").arg(i), Codici[i - 1]);
        }
        testata.insert(QStringLiteral("Origine"),
                       ambiente.FileSorgente(QStringLiteral("corpus.txt"),
                                             "1;uno;10\n2;x;20\n3;;30\n4;quattro;abc\n5;cinque;50\n"
                                             "5;ripetuto;55\n  \n6;x;60\n7;sette;70\n"));
        ambiente.Definizione(QStringLiteral("CORPUS"), testata);
        int ordine = 0;
        for (const QString& codice : Codici) {
            const QString prefisso = codice.isEmpty() ? QString() : codice + QLatin1Char(' ');
            ambiente.Campo(QStringLiteral("CORPUS"), {{"NomeCampo", prefisso + "Cod"},
                                                      {"NumCampo", "1"},
                                                      {"TipoDest", "String"},
                                                      {"OrdCampo", QString::number(++ordine)}});
            ambiente.Campo(QStringLiteral("CORPUS"), {{"NomeCampo", prefisso + "Val"},
                                                      {"NumCampo", "2"},
                                                      {"TipoDest", "String"},
                                                      {"Obbligatorio", "S"},
                                                      {"Aggiorna", "A"},
                                                      {"OrdCampo", QString::number(++ordine)}});
            ambiente.Campo(QStringLiteral("CORPUS"), {{"NomeCampo", prefisso + "Qta"},
                                                      {"NumCampo", "3"},
                                                      {"TipoDest", "Long"},
                                                      {"Aggiorna", codice == "D" ? "" : "A"},
                                                      {"OrdCampo", QString::number(++ordine)}});
            ambiente.Decodifica(QStringLiteral("CORPUS"), Tabelle[Codici.indexOf(codice)], QStringLiteral("Val"),
                                QStringLiteral("x"), QStringLiteral("ics"));
        }
    }

    QStringList Tutte(const QString& tabella)
    {
        return ambiente.Righe(QStringLiteral("SELECT * FROM %1 ORDER BY 1, 2, 3").arg(tabella));
    }

    // The definitions, rows and error rows of every table, hashed.
    QByteArray Impronta()
    {
        QCryptographicHash hash(QCryptographicHash::Sha256);
        QStringList tabelle = Tabelle;
        tabelle << "QuivaFile" << "QuivaDettaglio" << "QuivaDecod" << "ErroriQuivamento";
        if (!DatabaseProva::SuServer())
            for (const QString& r : ambiente.Righe(QStringLiteral("SELECT type, name, sql FROM sqlite_master ORDER BY name")))
                hash.addData(r.toUtf8());
        for (const QString& t : tabelle)
            for (const QString& r : Tutte(t))
                hash.addData(r.toUtf8());
        return hash.result();
    }
};

TEST_P(Anteprime, ShowLineForLineWhatALoadWritesAndChangeNothing)
{
    Corpus(QString::fromLatin1(GetParam().first), QString::fromLatin1(GetParam().second));
    std::array<QStringList, 6> prima;
    for (int i = 1; i <= 5; ++i)
        prima[i] = Tutte(Tabelle[i - 1]);
    const QByteArray impronta = Impronta();

    const EsitoAnteprima anteprima = Anteprima(carico.contesto, QStringLiteral("CORPUS"), Righe(100));
    ASSERT_EQ(anteprima.esito, 0);
    EXPECT_EQ(Impronta(), impronta);
    ASSERT_EQ(anteprima.righe.size(), 8u);  // the blank line is not loaded
    EXPECT_EQ(anteprima.righe[6].numero, 8);

    // What the preview says, applied to the rows as they were (S3 emptied).
    std::array<QMap<QString, QStringList>, 6> attese;
    for (int i = 1; i <= 5; ++i)
        if (i != 3)
            for (const QString& r : prima[i])
                attese[i].insert(r.section(u'|', 0, 0), r.split(u'|'));
    QStringList erroriAttesi;
    for (const RigaAnteprima& r : anteprima.righe) {
        for (const QString& motivo : r.motivi)
            erroriAttesi << r.testo + QLatin1Char('|') + motivo;
        for (int i = 1; i <= 5; ++i) {
            if (r.azioni[i] == AzioneTabella::Nessuna)
                continue;
            const QString chiave = r.testo.section(u';', 0, 0);
            QStringList& riga = attese[i][chiave];
            if (r.azioni[i] == AzioneTabella::Inserimento)
                riga = QStringList {chiave, "NULL", "NULL"};
            for (size_t k = 0; k < anteprima.campi.size(); ++k)
                if (anteprima.campi[k].slot == i && r.valori[k].impostato)
                    riga[static_cast<int>(k % 3)] = FormUtility::TestoValore(r.valori[k].valore);
        }
    }

    ASSERT_EQ(carico.Esegui(QStringLiteral("CORPUS")), 0);
    for (int i = 1; i <= 5; ++i) {
        QStringList righe;
        for (const QStringList& r : std::as_const(attese[i]))
            righe << r.join(u'|');
        EXPECT_EQ(Tutte(Tabelle[i - 1]), righe) << Tabelle[i - 1].toStdString();
    }
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT Riga, Errore FROM ErroriQuivamento ORDER BY rowid")),
              erroriAttesi);
}

// Modalita and InsVaria: add or change, add only, change only, a duplicate
// key is an error; and the same with free insertion.
INSTANTIATE_TEST_SUITE_P(ModiDiScrittura, Anteprime,
                         ::testing::Values(std::pair {"0", ""}, std::pair {"1", ""}, std::pair {"2", ""},
                                           std::pair {"3", ""}, std::pair {"0", "I"}, std::pair {"1", "I"}));

TEST_F(Anteprime, NamesTheWritesAndTheFailingFieldsOfEachLine)
{
    Corpus(QStringLiteral("0"), QString());
    const EsitoAnteprima a = Anteprima(carico.contesto, QStringLiteral("CORPUS"), Righe(4));
    ASSERT_EQ(a.righe.size(), 4u);
    EXPECT_EQ(a.righe[0].azioni[1], AzioneTabella::Inserimento);
    EXPECT_EQ(a.righe[1].azioni[1], AzioneTabella::Variazione);
    EXPECT_EQ(a.righe[1].azioni[2], AzioneTabella::Inserimento);
    EXPECT_EQ(a.righe[1].valori[1].valore.toString(), QStringLiteral("ics"));
    EXPECT_EQ(a.righe[1].valori[2].valore, QVariant(20));
    // Line 3 has no description: rejected on P.Val, nothing written.
    EXPECT_TRUE(a.righe[2].Scartata());
    EXPECT_TRUE(a.righe[2].valori[1].errato);
    EXPECT_FALSE(a.righe[2].valori[0].errato);
    EXPECT_EQ(a.righe[2].motivi.front(), QStringLiteral("P.Val: Campo obbligatorio non compilato"));
    EXPECT_EQ(a.righe[2].azioni[1], AzioneTabella::Nessuna);
    EXPECT_TRUE(a.righe[3].valori[2].errato);
    const QString testo = TestoAnteprima(QStringLiteral("CORPUS"), a);
    EXPECT_TRUE(testo.startsWith(QStringLiteral("Anteprima CORPUS: 4 righe, 2 scartate\n"))) << testo.toStdString();
    EXPECT_TRUE(testo.contains(QStringLiteral("  P: variazione, S2: inserimento, S3: inserimento")));
    EXPECT_TRUE(testo.contains(QStringLiteral("  ! P.Val = \n")));
}

TEST(Righelli, MarkTensAboveUnits)
{
    EXPECT_EQ(Righello(12), (QStringList {"         1  ", "123456789012"}));
}

}  // namespace

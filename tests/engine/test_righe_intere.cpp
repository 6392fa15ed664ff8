// Every line of a source file reaches the load whole, or is rejected whole:
// line ends, lines too long, encodings, NUL characters.
#include "Caricamento.h"
#include "LettoreRighe.h"

#include <QStringEncoder>
#include <gtest/gtest.h>

namespace {

struct Letta {
    QString riga;
    QString scarto;
};

std::vector<Letta> Leggi(AmbienteProva& ambiente, const QByteArray& contenuto, const QString& separatore = {})
{
    LettoreRighe lettore(ambiente.FileSorgente(QStringLiteral("r.txt"), contenuto), separatore);
    std::vector<Letta> lette;
    QString riga;
    while (lettore.Leggi(riga))
        lette.push_back({riga, lettore.Scarto()});
    return lette;
}

QStringList Testi(const std::vector<Letta>& lette)
{
    QStringList testi;
    for (const Letta& l : lette)
        testi << l.riga;
    return testi;
}

struct CasoFineRiga {
    const char* nome;
    QByteArray contenuto;
    const char* separatore;  // of a delimited definition; empty for fixed width
    QStringList attese;
};

const CasoFineRiga casiFineRiga[] = {
    // A CR LF file whose quoted header holds line breaks.
    {"QuotedHeaderWithLineBreaks", "\"Codice\nComune\";\"Nome\ndel comune\"\r\nA;alfa\r\n", ";",
     {"\"Codice\nComune\";\"Nome\ndel comune\"", "A;alfa"}},
    // Two sources glued together: a bare LF still ends its line.
    {"ConcatenatedFiles", "A;alfa\r\nB;beta\nC;gamma\r\n", ";", {"A;alfa", "B;beta", "C;gamma"}},
    {"QuotedMultiLineCellInTheMiddle", "A;uno\r\nB;\"due\nrighe\";x\r\nC;tre\r\n", ";",
     {"A;uno", "B;\"due\nrighe\";x", "C;tre"}},
    {"FixedWidthEndsAtEveryLf", "0001\"AB\r\n0002\"C\nD\r\n", "", {"0001\"AB", "0002\"C", "D"}},
    {"QuoteClosedBeforeTheSeparator", "A;\"x\";y\nB\r\n", ";", {"A;\"x\";y", "B"}},
    {"QuoteClosedAtTheLineEnd", "A;\"x\"\nB\r\n", ";", {"A;\"x\"", "B"}},
    {"QuoteInsideAFieldProtectsNothing", "A;x\"y\nB\r\n", ";", {"A;x\"y", "B"}},
    {"SeparatorOfTwoCharacters", "A||\"x\ny\"||z\r\nB\r\n", "||", {"A||\"x\ny\"||z", "B"}},
    {"UnclosedQuoteEndsAtTheCr", "A;\"x\ny\rB\n", ";", {"A;\"x\ny", "B"}},
    // An LF file ends lines at every LF, quotes or not.
    {"LfFileIgnoresQuotes", "a;\"x\ny\"\nb", ";", {"a;\"x", "y\"", "b"}},
    {"MixedEndsOfAnLfFile", "a\nb\r\nc\rd\n", ";", {"a", "b", "c", "d"}},
    {"EmptyLines", "\r\n\nx", ";", {"", "", "x"}},
    {"NoLineEnd", "senza fine", ";", {"senza fine"}},
};

class FineRiga : public ::testing::TestWithParam<CasoFineRiga> { };

TEST_P(FineRiga, CrAndCrLfAlwaysEndALineABareLfOnlyOutsideQuotes)
{
    AmbienteProva ambiente;
    const CasoFineRiga& caso = GetParam();
    EXPECT_EQ(Testi(Leggi(ambiente, caso.contenuto, QString::fromLatin1(caso.separatore))), caso.attese);
}

INSTANTIATE_TEST_SUITE_P(Casi, FineRiga, ::testing::ValuesIn(casiFineRiga),
                         [](const auto& info) { return std::string(info.param.nome); });

TEST(FineRigaFile, ACrAfterTheFirst64KiBMakesNoCrFile)
{
    AmbienteProva ambiente;
    const QByteArray lunga(LettoreRighe::InizioEsaminato, 'a');
    EXPECT_EQ(Testi(Leggi(ambiente, lunga + "\n\"p\nq\"\r\n", QStringLiteral(";"))),
              (QStringList {QString::fromLatin1(lunga), "\"p", "q\""}));
    EXPECT_EQ(Testi(Leggi(ambiente, "x\r" + lunga + "\n\"p\nq\"\r\n", QStringLiteral(";"))),
              (QStringList {"x", QString::fromLatin1(lunga), "\"p\nq\""}));
}

TEST(RigheLunghe, ALineTooLongIsOneLineRejectedWithItsLength)
{
    AmbienteProva ambiente;
    const qsizetype troppi = LettoreRighe::LunghezzaMassima + 10;
    // In UTF-8 two bytes a character; in Windows-1252 one.
    QByteArray contenuto = "A;uno\r\nB;" + QByteArray(troppi, 'x') + "\r\nC;" + QByteArray("\xc3\xa8").repeated(troppi / 2)
        + "\r\nD;" + QByteArray(troppi, '\xe8') + "\nE;cinque";
    const std::vector<Letta> lette = Leggi(ambiente, contenuto, QStringLiteral(";"));
    ASSERT_EQ(lette.size(), 5u);
    EXPECT_EQ(lette[0].riga, QStringLiteral("A;uno"));
    EXPECT_EQ(lette[1].scarto, QStringLiteral("Riga troppo lunga: %1 caratteri").arg(troppi + 2));
    EXPECT_TRUE(lette[1].riga.startsWith(QLatin1String("B;xxx")));
    EXPECT_LE(lette[1].riga.size(), LettoreRighe::InizioConservato);
    EXPECT_EQ(lette[2].scarto, QStringLiteral("Riga troppo lunga: %1 caratteri").arg(troppi / 2 + 2));
    EXPECT_TRUE(lette[2].riga.startsWith(QStringLiteral("C;\u00e8\u00e8")));
    EXPECT_EQ(lette[3].scarto, QStringLiteral("Riga troppo lunga: %1 caratteri").arg(troppi + 2));
    EXPECT_EQ(lette[4].riga, QStringLiteral("E;cinque"));
    EXPECT_TRUE(lette[4].scarto.isEmpty());
}

TEST(RigheLunghe, AQuotedLineBreakInALineTooLongStaysInIt)
{
    AmbienteProva ambiente;
    const QByteArray lunga(LettoreRighe::LunghezzaMassima, 'x');
    const std::vector<Letta> lette =
        Leggi(ambiente, "A;uno\r\nB;\"" + lunga + "\n" + lunga + "\"\r\nC;tre\r\n", QStringLiteral(";"));
    ASSERT_EQ(lette.size(), 3u);
    EXPECT_EQ(lette[1].scarto, QStringLiteral("Riga troppo lunga: %1 caratteri").arg(2 * lunga.size() + 5));
    EXPECT_EQ(lette[2].riga, QStringLiteral("C;tre"));
}

QByteArray Utf16(const QString& testo, QStringConverter::Encoding codifica)
{
    QStringEncoder codifica16(codifica, QStringConverter::Flag::WriteBom);
    return codifica16.encode(testo);
}

class Codifiche : public ::testing::Test {
protected:
    AmbienteProva ambiente;
    Caricamento carico {ambiente};

    void SetUp() override
    {
        ambiente.Sql(QStringLiteral("CREATE TABLE Art (Codice VARCHAR(10) PRIMARY KEY, Descr VARCHAR(30))"));
    }
    void Carica(const QByteArray& contenuto)
    {
        ambiente.Definizione(QStringLiteral("ART"),
                             {{"Tabella", "Art"},
                              {"Separatore", ";"},
                              {"Modalita", "0"},
                              {"Origine", ambiente.FileSorgente(QStringLiteral("a.txt"), contenuto)}});
        ambiente.Campo(QStringLiteral("ART"), {{"NomeCampo", "Codice"}, {"NumCampo", "1"}, {"OrdCampo", "1"}});
        ambiente.Campo(QStringLiteral("ART"), {{"NomeCampo", "Descr"}, {"NumCampo", "2"}, {"OrdCampo", "2"}});
        ASSERT_EQ(carico.Esegui(QStringLiteral("ART")), 0);
    }
    QStringList Articoli() { return ambiente.Righe(QStringLiteral("SELECT Codice, Descr FROM Art ORDER BY Codice")); }
    QStringList Errori() { return ambiente.Righe(QStringLiteral("SELECT Riga, Errore FROM ErroriQuivamento")); }
};

TEST_F(Codifiche, Utf16FilesAreReadByTheirByteOrderMark)
{
    const QString testo = QStringLiteral("A1;caff\u00e8\r\nA2;\"due\nrighe\"\r\nA3;\u20ac\r\n");
    for (auto codifica : {QStringConverter::Utf16LE, QStringConverter::Utf16BE}) {
        for (const char* tabella : {"Art", "QuivaFile", "QuivaDettaglio"})
            ambiente.Sql(QStringLiteral("DELETE FROM %1").arg(QLatin1String(tabella)));
        Carica(Utf16(testo, codifica));
        EXPECT_EQ(Articoli(), (QStringList {"A1|caff\u00e8", "A2|due\nrighe", "A3|\u20ac"}));
        EXPECT_EQ(Errori(), QStringList {});
    }
}

TEST_F(Codifiche, AUtf8MarkIsNotPartOfTheFirstKey)
{
    Carica("\xEF\xBB\xBF" "A1;uno\r\n");
    EXPECT_EQ(Articoli(), QStringList {"A1|uno"});
}

TEST_F(Codifiche, ALineWithANulIsRejectedSayingSo)
{
    Carica(QByteArray("A1;uno\r\nA2;n\0l\r\nA3;tre\r\n", 23));
    EXPECT_EQ(Articoli(), (QStringList {"A1|uno", "A3|tre"}));
    const QString riga = DatabaseProva::SuServer() ? QStringLiteral("A2;n\u2400l") : QString(reinterpret_cast<const QChar*>(u"A2;n\0l"), 6);
    EXPECT_EQ(Errori(), QStringList {riga + QStringLiteral("|Riga con un carattere nullo (NUL)")});
    EXPECT_EQ(carico.errori, 1);
}

TEST_F(Codifiche, ALineTooLongLeavesOneErrorRowAndNoPhantomRows)
{
    const QByteArray lunga = "L1;" + QByteArray(LettoreRighe::LunghezzaMassima + 1, 'x');
    Carica("A1;uno\r\n" + lunga + "\r\nA2;due\r\n");
    EXPECT_EQ(Articoli(), (QStringList {"A1|uno", "A2|due"}));
    EXPECT_EQ(ambiente.Righe(QStringLiteral("SELECT Errore FROM ErroriQuivamento")),
              QStringList {QStringLiteral("Riga troppo lunga: %1 caratteri").arg(lunga.size())});
    EXPECT_EQ(carico.errori, 1);
}

}  // namespace

// Field location: delimited fields, templates, fixed-width slices, implied
// decimals and operations.
#include "AmbienteCampi.h"

#include "CampiRiga.h"
#include "ErroreRun.h"

namespace {

class Posizione : public AmbienteCampi {};

TEST_F(Posizione, CampiDelimitatiPerNumero)
{
    const QString riga("a;b;c");
    EXPECT_EQ(Trova(riga, *NuovoCampo("2")), "b");
    EXPECT_EQ(Trova(riga, *NuovoCampo("3")), "c");   // last field, no trailing separator
    EXPECT_EQ(Trova(riga, *NuovoCampo("5")), "");    // beyond the line
    EXPECT_EQ(Trova(riga, *NuovoCampo("0")), "");
    EXPECT_EQ(Trova(riga, *NuovoCampo("-1")), "");
    EXPECT_EQ(Trova(riga, *NuovoCampo("99999999999")), "");
    EXPECT_EQ(Trova(QString("a;;c"), *NuovoCampo("2")), "");
    EXPECT_EQ(Trova(QString("  a b  ;x"), *NuovoCampo("1")), "a b");  // spaces trimmed
    EXPECT_EQ(Trova(QString("\ta\t;x"), *NuovoCampo("1")), "\ta\t");   // tabs are not blanks here
}

TEST_F(Posizione, SeparatoriDiPiuCaratteriEConLettere)
{
    Formato("||", false);
    EXPECT_EQ(Trova(QString("a||b|c||d"), *NuovoCampo("2")), "b|c");
    EXPECT_EQ(Trova(QString("a||b|c||d"), *NuovoCampo("3")), "d");
    // A separator with letters is found whatever its case.
    Formato("xy", false);
    const QString riga("1XY2xY3xy4");
    EXPECT_EQ(Trova(riga, *NuovoCampo("2")), "2");
    EXPECT_EQ(Trova(riga, *NuovoCampo("4")), "4");
    // Empty separator means the tab.
    Formato("", false);
    EXPECT_EQ(Trova(QString("a\tb"), *NuovoCampo("2")), "b");
}

TEST_F(Posizione, VirgoletteEsterne)
{
    EXPECT_EQ(Trova(QString("\"ab\";x"), *NuovoCampo("1")), "ab");
    EXPECT_EQ(Trova(QString("\"\";x"), *NuovoCampo("1")), "");
    // Quotes do not protect the separator.
    EXPECT_EQ(Trova(QString("\"a;b\";x"), *NuovoCampo("1")), "\"a");
    EXPECT_EQ(Trova(QString("\"a;b\";x"), *NuovoCampo("2")), "b\"");
    // A lone quote cannot both open and close: kept.
    EXPECT_EQ(Trova(QString("\";x"), *NuovoCampo("1")), "\"");
}

TEST_F(Posizione, SottoselezioneNelCampo)
{
    const QString riga("x;ABCDEF");
    auto c = NuovoCampo("2");
    c->oiInizio = -3;
    EXPECT_EQ(Trova(riga, *c), "DEF");
    c->oiInizio = 2;
    c->oiLunghezza = 0;
    EXPECT_EQ(Trova(riga, *c), "AB");
    c->oiLunghezza = 3;
    EXPECT_EQ(Trova(riga, *c), "BCD");
    c->oiInizio = 5;
    c->oiLunghezza = 100;
    EXPECT_EQ(Trova(riga, *c), "EF");
    c->oiInizio = 50;
    EXPECT_EQ(Trova(riga, *c), "");
    c->oiInizio = -32768;
    EXPECT_EQ(Trova(riga, *c), "ABCDEF");
}

TEST_F(Posizione, Modelli)
{
    const QString riga("f1;f2;AB;12;;000;0,00");
    EXPECT_EQ(Trova(riga, *NuovoCampo("§3-§4{ (§5)}")), "AB-12");
    EXPECT_EQ(Trova(QString("f1;f2;AB;12;X"), *NuovoCampo("§3-§4{ (§5)}")), "AB-12 (X)");
    EXPECT_EQ(Trova(riga, *NuovoCampo("X{§9}Y")), "XY");
    EXPECT_EQ(Trova(riga, *NuovoCampo("X{§5}Y")), "XY");
    EXPECT_EQ(Trova(riga, *NuovoCampo("[§6]")), "");
    EXPECT_EQ(Trova(riga, *NuovoCampo("[§7]")), "0,00");
    EXPECT_EQ(Trova(riga, *NuovoCampo("{§6}")), "000");
    // Only the first field of a group decides.
    EXPECT_EQ(Trova(riga, *NuovoCampo("{<§3§5>}")), "<AB>");
    EXPECT_EQ(Trova(riga, *NuovoCampo("{<§5§3>}")), "");
}

TEST_F(Posizione, ModelliParentesiELetterali)
{
    const QString riga("uno;due;tre");
    // Unclosed brace: literal, and the rest is read on.
    EXPECT_EQ(Trova(riga, *NuovoCampo("§1{§2")), "uno{due");
    // No nesting: the group ends at the first closing bracket.
    EXPECT_EQ(Trova(riga, *NuovoCampo("{§1[§2}]")), "uno[due]");
    EXPECT_EQ(Trova(riga, *NuovoCampo("[§3]/{§1}")), "tre/uno");
    // "§" without digits reads field 0 (empty) and the text stays.
    EXPECT_EQ(Trova(riga, *NuovoCampo("§x§")), "x");
    EXPECT_EQ(Trova(riga, *NuovoCampo("solo testo")), "solo testo");
    EXPECT_EQ(Trova(riga, *NuovoCampo("")), "");
    // The plain-number short cut is only taken when asked for.
    EXPECT_EQ(posizione.Cerca(riga, *NuovoCampo("2"), false, false).toString(), "2");
}

TEST_F(Posizione, LargaFissaConPrefisso)
{
    Formato({}, true);
    auto c = NuovoCampo("IT");
    c->oiInizio = 5;
    c->oiLunghezza = 3;
    EXPECT_EQ(Trova(QString("0000ABC"), *c), "ITABC");
    EXPECT_EQ(Trova(QString("0000AB"), *c), "ITAB");
    EXPECT_EQ(Trova(QString("00"), *c), "IT");
    // The line is not trimmed; positions count characters, "§" is one.
    c->osNumCampo.clear();
    EXPECT_EQ(Trova(QString("à§è ABC "), *c), "ABC");
    // Start below 1 or negative length read nothing: only the prefix.
    c->osNumCampo = "P";
    c->oiInizio = 0;
    EXPECT_EQ(Trova(QString("0000ABC"), *c), "P");
    c->oiInizio = -2;
    EXPECT_EQ(Trova(QString("0000ABC"), *c), "P");
    c->oiInizio = 1;
    c->oiLunghezza = -3;
    EXPECT_EQ(Trova(QString("0000ABC"), *c), "P");
}

TEST_F(Posizione, OperazioniLargaFissa)
{
    Formato({}, true);
    const QString riga("000050   20");
    auto c = NuovoCampo("");
    c->oiInizio = 1;
    c->oiLunghezza = 6;
    c->osTipoOper = "%";
    c->osValoreOper = "§10:2";
    EXPECT_DOUBLE_EQ(posizione.Cerca(riga, *c, true, false).toDouble(), 10.0);
    c->osValoreOper = "§0:2";
    EXPECT_EQ(posizione.Cerca(riga, *c, true, false).toString(), "000050");
    c->osValoreOper = "§7:2";  // blank columns: no operand
    EXPECT_EQ(posizione.Cerca(riga, *c, true, false).toString(), "000050");
    c->osValoreOper = "§10";   // no length: no operand
    EXPECT_EQ(posizione.Cerca(riga, *c, true, false).toString(), "000050");
    c->osTipoOper = "*";
    c->osValoreOper = "1,5";
    EXPECT_DOUBLE_EQ(posizione.Cerca(riga, *c, true, false).toDouble(), 75.0);
    c->osTipoOper = "+";
    EXPECT_EQ(posizione.Cerca(riga, *c, true, false).toString(), "000050");
    c->osTipoOper = "/";
    c->osValoreOper = "0";
    try {
        posizione.Cerca(riga, *c, true, false);
        FAIL() << "division by zero not raised";
    } catch (const ErroreRun& e) {
        EXPECT_EQ(e.numero(), CodiciErrore::DivisionePerZero);
    }
    c->osValoreOper = "abc";
    EXPECT_THROW(posizione.Cerca(riga, *c, true, false), ErroreRun);
    // A value that is not a number is left as it is.
    c->osTipoOper = "*";
    c->osValoreOper = "2";
    EXPECT_EQ(posizione.Cerca(QString("00005X"), *c, true, false).toString(), "00005X");
}

TEST_F(Posizione, OperazioniDelimitate)
{
    const QString riga("x;[12];[03]");
    auto c = NuovoCampo("2");
    c->oiInizio = 2;  // "[12]" -> "12", and the operand field "[03]" -> "03"
    c->oiLunghezza = 2;
    c->osTipoOper = "*";
    c->osValoreOper = "§3";
    EXPECT_DOUBLE_EQ(posizione.Cerca(riga, *c, true, false).toDouble(), 36.0);
    c->osTipoOper = "/";
    c->osValoreOper = "4";
    EXPECT_DOUBLE_EQ(posizione.Cerca(riga, *c, true, false).toDouble(), 3.0);
    c->osTipoOper = "%";
    c->osValoreOper = "50";
    EXPECT_DOUBLE_EQ(posizione.Cerca(riga, *c, true, false).toDouble(), 6.0);
    // Any other operation empties the value.
    c->osTipoOper = "+";
    EXPECT_EQ(posizione.Cerca(riga, *c, true, false).toString(), "");
    // An operand field that is missing is not a number.
    c->osTipoOper = "*";
    c->osValoreOper = "§9";
    EXPECT_THROW(posizione.Cerca(riga, *c, true, false), ErroreRun);
    // Inside a template the result is written with a decimal comma.
    c->osNumCampo = "<§2>";
    c->osValoreOper = "0,5";
    EXPECT_EQ(Trova(riga, *c), "<6>");
    c->osValoreOper = "0,25";
    EXPECT_EQ(Trova(riga, *c), "<3>");
    c->osValoreOper = "0,1";
    EXPECT_EQ(Trova(riga, *c), "<1,2>");
}

TEST_F(Posizione, RigaCambiataNelloStessoOggetto)
{
    // The field starts of a line are remembered: a changed line, a line in
    // the same variable or a changed separator must be scanned again.
    QString riga("a;b;c");
    auto c = NuovoCampo("2");
    EXPECT_EQ(Trova(riga, *c), "b");
    riga[2] = QLatin1Char('X');
    EXPECT_EQ(Trova(riga, *c), "X");
    riga = QString("1;22;3");
    EXPECT_EQ(Trova(riga, *c), "22");
    riga.replace(QLatin1Char(';'), QLatin1Char(','));
    EXPECT_EQ(Trova(riga, *c), "");
    Formato(",", false);
    EXPECT_EQ(Trova(riga, *c), "22");
    const QString statica = QStringLiteral("s;t");
    EXPECT_EQ(Trova(statica, *NuovoCampo("1")), "s;t");
}

// The separator search reads four characters at a time: every position in
// a block, lines of every length and characters near the separator's code
// (";" is 0x3B) must split exactly as a plain split does.
TEST(CampiDellaRiga, SeparatorsAtEveryPositionOfEveryLength)
{
    const char16_t vicini[] = {u'a', u':', u'<', u'\u013b', u'\u3b00', u'\u803b', u'\uffff', u'\u0000'};
    for (int lunghezza = 0; lunghezza <= 13; ++lunghezza) {
        for (int schema = 0; schema < 64; ++schema) {
            QString riga;
            for (int i = 0; i < lunghezza; ++i)
                riga += (schema >> (i % 6) & 1) && (i * 7 + schema) % 3 ? QChar(u';') : QChar(vicini[(i + schema) % 8]);
            CampiRiga campi(QStringLiteral(";"));
            const QList<QStringView> attese = QStringView(riga).split(u';');
            for (int n = 1; n <= attese.size(); ++n)
                ASSERT_EQ(campi.Campo(riga, n), attese[n - 1]) << lunghezza << " " << schema << " " << n;
            EXPECT_FALSE(campi.Campo(riga, static_cast<int>(attese.size()) + 1));
        }
    }
}

}  // namespace

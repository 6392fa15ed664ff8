// Field location: delimited fields, templates, fixed-width slices, implied
// decimals and operations.
#include "AmbienteCampi.h"

#include "CampiRiga.h"
#include "ErroreRun.h"

namespace {

// One located field: the line split at the separator, the NumCampo text
// (a field number or a template) and the text found.
struct CasoCampo {
    const char* nome;
    const char* separatore;
    const char* riga;
    const char* numCampo;
    const char* atteso;
};

const CasoCampo CampiDelimitati[] = {
    {"middle field", ";", "a;b;c", "2", "b"},
    {"last field, no trailing separator", ";", "a;b;c", "3", "c"},
    {"beyond the line", ";", "a;b;c", "5", ""},
    {"field zero", ";", "a;b;c", "0", ""},
    {"negative field", ";", "a;b;c", "-1", ""},
    {"field number beyond any integer", ";", "a;b;c", "99999999999", ""},
    {"empty field", ";", "a;;c", "2", ""},
    {"spaces trimmed", ";", "  a b  ;x", "1", "a b"},
    {"tabs are not blanks here", ";", "\ta\t;x", "1", "\ta\t"},
    {"separator of two characters", "||", "a||b|c||d", "2", "b|c"},
    {"after a separator of two characters", "||", "a||b|c||d", "3", "d"},
    {"separator with letters, any case", "xy", "1XY2xY3xy4", "2", "2"},
    {"separator with letters, last field", "xy", "1XY2xY3xy4", "4", "4"},
    {"empty separator is the tab", "", "a\tb", "2", "b"},
    {"outer quotes dropped", ";", "\"ab\";x", "1", "ab"},
    {"empty quoted field", ";", "\"\";x", "1", ""},
    {"quotes do not protect the separator", ";", "\"a;b\";x", "1", "\"a"},
    {"quotes do not protect the separator, second half", ";", "\"a;b\";x", "2", "b\""},
    {"a lone quote stays", ";", "\";x", "1", "\""},
};

const CasoCampo Modelli[] = {
    {"braces kept when their first field has a value", ";", "f1;f2;AB;12;X", "\u00a73-\u00a74{ (\u00a75)}",
     "AB-12 (X)"},
    {"braces dropped on a blank first field", ";", "f1;f2;AB;12;;000;0,00", "\u00a73-\u00a74{ (\u00a75)}", "AB-12"},
    {"braces dropped on a missing field", ";", "f1;f2;AB;12;;000;0,00", "X{\u00a79}Y", "XY"},
    {"braces dropped on an empty field", ";", "f1;f2;AB;12;;000;0,00", "X{\u00a75}Y", "XY"},
    {"brackets dropped on zeros", ";", "f1;f2;AB;12;;000;0,00", "[\u00a76]", ""},
    {"brackets keep a zero amount written with a comma", ";", "f1;f2;AB;12;;000;0,00", "[\u00a77]", "0,00"},
    {"braces keep zeros", ";", "f1;f2;AB;12;;000;0,00", "{\u00a76}", "000"},
    {"only the first field of a group decides (kept)", ";", "f1;f2;AB;12;;000;0,00", "{<\u00a73\u00a75>}", "<AB>"},
    {"only the first field of a group decides (dropped)", ";", "f1;f2;AB;12;;000;0,00", "{<\u00a75\u00a73>}", ""},
    {"unclosed brace is literal and the rest is read on", ";", "uno;due;tre", "\u00a71{\u00a72", "uno{due"},
    {"no nesting: a group ends at its first closing bracket", ";", "uno;due;tre", "{\u00a71[\u00a72}]", "uno[due]"},
    {"two groups", ";", "uno;due;tre", "[\u00a73]/{\u00a71}", "tre/uno"},
    {"a paragraph sign without digits reads field 0", ";", "uno;due;tre", "\u00a7x\u00a7", "x"},
    {"literal text only", ";", "uno;due;tre", "solo testo", "solo testo"},
    {"empty template", ";", "uno;due;tre", "", ""},
};

class Posizione : public AmbienteCampi {
protected:
    void Verifica(const CasoCampo& caso)
    {
        SCOPED_TRACE(caso.nome);
        Formato(QString::fromUtf8(caso.separatore), false);
        EXPECT_EQ(Trova(QString::fromUtf8(caso.riga), *NuovoCampo(QString::fromUtf8(caso.numCampo))),
                  QString::fromUtf8(caso.atteso));
    }
};

TEST_F(Posizione, CampiDelimitati)
{
    for (const CasoCampo& caso : CampiDelimitati)
        Verifica(caso);
}

TEST_F(Posizione, ModelliParentesiELetterali)
{
    for (const CasoCampo& caso : Modelli)
        Verifica(caso);
    // The plain-number short cut is only taken when asked for.
    EXPECT_EQ(posizione.Cerca(QString("uno;due;tre"), *NuovoCampo("2"), false, false).toString(), "2");
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
    c->osValoreOper = "§10";  // no length: no operand
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

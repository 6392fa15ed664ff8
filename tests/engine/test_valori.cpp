// Value reading: decoding, cleaning, key and mandatory checks, conversion,
// fill and cut, rounding, forbidden/allowed values and their messages.
#include "AmbienteCampi.h"
#include "TestiInsidiosi.h"

#include "ErroreRun.h"

#include <QDate>
#include <QSqlQuery>

namespace {

class Valori : public AmbienteCampi { };

TEST_F(Valori, CodiciDeiTipi)
{
    auto c = NuovoCampo("1", "Integer", "Long");
    EXPECT_EQ(c->oiTipoDest(), 2);
    EXPECT_EQ(c->oiTipoOrig(), 3);
    const std::pair<const char*, int> nomi[] = {{"Single", 4}, {"Double", 5}, {"Currency", 6}, {"Date", 7},
                                                {"String", 8}, {"dbText", 8}, {"vbLong", 3},   {"Boh", 0}};
    for (const auto& [nome, codice] : nomi) {
        c->osTipoDest = nome;  // a changed name is seen at once
        EXPECT_EQ(c->oiTipoDest(), codice) << nome;
    }
    // Unknown destination types are handled as text: filled like a String.
    c->osRiempie = "*";
    c->oiQuanto = 4;
    EXPECT_EQ(Leggi(QString("ab"), *c).valore, QVariant(QString("ab**")));
}

TEST_F(Valori, ConversioneNelTipoDiDestinazione)
{
    struct Caso {
        const char* testo;
        const char* tipo;
        QVariant atteso;  // none: the line is rejected
    };
    const Caso casi[] = {
        {"1.234,5", "Double", 1234.5},
        {"-12", "Integer", -12},
        {"31/12/2020", "Date", QDate(2020, 12, 31)},
        {"20021231", "Date", QDate(2002, 12, 31)},  // eight digits, day first
        {"31129999", "Date", QDate(9999, 12, 31)},
        {"1.500", "Long", 1500},  // a thousands point
        {"abc", "Integer", {}},
        {"40000", "Integer", {}},  // beyond 16 bits
        {"31/02/2020", "Date", {}},
        {"1.5", "Double", {}},  // a point out of place
        {"99999999", "Date", {}},
    };
    for (const Caso& caso : casi) {
        SCOPED_TRACE(caso.testo);
        const Letto letto = Leggi(QString::fromUtf8(caso.testo), *NuovoCampo("1", caso.tipo));
        if (caso.atteso.isValid()) {
            EXPECT_EQ(letto.esito, 0);
            EXPECT_EQ(letto.valore, caso.atteso);
        } else {
            EXPECT_EQ(letto.esito, 1);
            EXPECT_EQ(Errori().value(Errori().size() - 1),
                      "Articoli.Codice: Tipo non valido (" + QString::fromUtf8(caso.testo) + ")");
        }
    }
    EXPECT_EQ(Errori().size(), 5);
}

TEST_F(Valori, VuotiChiaviEObbligatori)
{
    auto c = NuovoCampo("2");
    c->osObbligatorio = "s";
    EXPECT_EQ(Leggi(QString("x;    "), *c).esito, 1);
    c->osChiave = "S";  // a key is reported as such first
    EXPECT_EQ(Leggi(QString("x;"), *c).esito, 1);
    // A key longer than a positive limit is emptied, then reported.
    c->oiLimiteDim = 3;
    EXPECT_EQ(Leggi(QString("x;ABCD"), *c).esito, 1);
    EXPECT_EQ(Leggi(QString("x;ABC"), *c).valore, QVariant(QString("ABC")));
    EXPECT_EQ(
        Errori(),
        QStringList({"Articoli.Codice: Campo obbligatorio non compilato", "Articoli.Codice: Campo chiave non compilato",
                     "Articoli.Codice: Campo chiave non compilato"}));
    // Negative limit: shorter values are emptied; an optional field keeps
    // going with the empty text.
    auto libero = NuovoCampo("1", "Long");
    libero->oiLimiteDim = -3;
    Letto corto = Leggi(QString("12"), *libero);
    EXPECT_EQ(corto.esito, 0);
    EXPECT_EQ(corto.valore, QVariant(QString()));
    EXPECT_EQ(Leggi(QString("123"), *libero).valore, QVariant(123));
}

TEST_F(Valori, ZeriComeVuoto)
{
    auto c = NuovoCampo("1", "Double");
    c->os0toNull = "S";
    EXPECT_EQ(Leggi(QString("000"), *c).valore, QVariant(QString()));
    EXPECT_EQ(Leggi(QString("0,0"), *c).valore, QVariant(0.0));
    c->os0toNull = "N";
    EXPECT_EQ(Leggi(QString("000"), *c).valore, QVariant(0.0));
    // The empty text skips currency and rounding.
    c->os0toNull = "S";
    c->osLireOValuta = "L";
    c->oiNumDec = 2;
    EXPECT_EQ(Leggi(QString("000"), *c).valore, QVariant(QString()));
}

TEST_F(Valori, DecodificheInOrdineEConvertite)
{
    auto c = NuovoCampo("1", "String", "Integer");
    c->AddDecod("1", "Articoli", "A");
    c->AddDecod("2", "Articoli", "B");
    c->AddDecod("02", "Articoli", "non usata");  // same number: the first row wins
    c->AddDecod("abc", "Articoli", "Z");         // not a number: compared as text
    const std::pair<const char*, const char*> decodifiche[] = {
        {"02", "B"}, {"2", "B"}, {"3", "3"}, {"ABC", "Z"}, {"", ""},
    };
    for (const auto& [origine, atteso] : decodifiche)
        EXPECT_EQ(c->LeggiDecod(origine), QString::fromUtf8(atteso)) << '"' << origine << '"';
    EXPECT_EQ(Leggi(QString("02"), *c).valore, QVariant(QString("B")));
    // The same source value twice (case ignored) is refused.
    try {
        c->AddDecod("ABC", "Articoli", "Y");
        FAIL() << "duplicate decode row accepted";
    } catch (const ErroreRun& e) {
        EXPECT_EQ(e.numero(), 457);
        EXPECT_EQ(e.descrizione(), QString("Chiave già associata a un elemento dell'insieme"));
    }
    // A changed origin type rebuilds the lookup: as text '02' is not '2'.
    c->osTipoOrig = "String";
    EXPECT_EQ(c->LeggiDecod("02"), "non usata");
    EXPECT_EQ(c->LeggiDecod("abC"), "Z");
}

TEST_F(Valori, DecodificaPrimaDelTaglioDegliSpazi)
{
    Formato({}, true);
    auto c = NuovoCampo("");
    c->oiInizio = 1;
    c->oiLunghezza = 4;
    c->AddDecod("AB", "Articoli", "decodificato");
    EXPECT_EQ(Leggi(QString("AB  "), *c).valore, QVariant(QString("AB")));
    EXPECT_EQ(Leggi(QString("ab"), *c).valore, QVariant(QString("decodificato")));
}

TEST_F(Valori, RiempimentoETaglio)
{
    struct Caso {
        const char* nome;
        const char* riempie;
        qint16 quanto;
        qint16 dimensione;
        const char* testo;
        const char* atteso;
    };
    const Caso casi[] = {
        {"filled on the left", "0", -6, 0, "123", "000123"},
        {"filled on the right", "0", 6, 0, "123", "123000"},
        {"never shortened by the fill", "0", 6, 0, "ABCDEFGH", "ABCDEFGH"},
        {"cut to the size", "0", 6, 4, "ABCDEFGH", "ABCD"},
        {"a negative size keeps the end", "0", 6, -4, "ABCDEFGH", "EFGH"},
        {"width from the size when Quanto is 0", " ", 0, 10, "AB", "AB        "},
        {"no fill without a fill character", "", 0, 10, "AB", "AB"},
        {"no fill for the empty value", "0", 0, 10, "", ""},
    };
    for (const Caso& caso : casi) {
        auto c = NuovoCampo("1");
        c->osRiempie = caso.riempie;
        c->oiQuanto = caso.quanto;
        c->setOiDimensione(nullptr, "Articoli", caso.dimensione);
        EXPECT_EQ(Leggi(QString::fromUtf8(caso.testo), *c).valore, QVariant(QString::fromUtf8(caso.atteso)))
            << caso.nome;
    }
}

TEST_F(Valori, DimensioneDallaColonna)
{
    ASSERT_TRUE(
        QSqlQuery(m_db->Database()).exec("CREATE TABLE Articoli (Codice VARCHAR(12), Prezzo DOUBLE PRECISION)"));
    struct Caso {
        const char* nome;
        const char* tipo;
        const char* tabella;
        qint16 dimensione;
        qint16 attesa;
    };
    const Caso casi[] = {
        {"declared size of a text column", "String", "Articoli", 0, 12},
        {"a size given wins", "String", "Articoli", 7, 7},
        {"unknown table", "String", "NonCiSono", 0, 0},
        {"numeric field", "Double", "Articoli", 0, 0},
    };
    for (const Caso& caso : casi) {
        auto c = NuovoCampo("1", caso.tipo);
        c->setOiDimensione(m_db.get(), caso.tabella, caso.dimensione);
        EXPECT_EQ(c->oiDimensione(), caso.attesa) << caso.nome;
    }
}

TEST_F(Valori, ValoriVietatiEAmmessi)
{
    auto c = NuovoCampo("1");
    c->setOsNonVal("  X*  ");
    EXPECT_EQ(c->osNonVal(), "X*");

    // A forbidden value (NonVal) or the allowed ones (ValValido), and the
    // answer of reading a value against them.
    struct Caso {
        const char* tipo;
        const char* nonVal;
        const char* valValido;
        const char* testo;
        int esito;
    };
    const auto verifica = [this](const Caso& caso) {
        auto c = NuovoCampo("1", caso.tipo);
        c->setOsNonVal(caso.nonVal);
        c->setOsValValido(caso.valValido);
        EXPECT_EQ(Leggi(QString::fromUtf8(caso.testo), *c).esito, caso.esito)
            << caso.tipo << " \"" << caso.testo << "\" against \"" << caso.nonVal << "\" / \"" << caso.valValido << '"';
    };
    const Caso testi[] = {
        {"String", "  X*  ", "", "xyz", 1}, {"String", "  X*  ", "", "axyz", 0}, {"String", "", "[AB]", "a", 0},
        {"String", "", "[AB]", "B", 0},     {"String", "", "[AB]", "C", 1},
    };
    for (const Caso& caso : testi)
        verifica(caso);
    EXPECT_EQ(Errori(),
              QStringList({"Articoli.Codice: Campo con valore non valido (xyz)",
                           "Articoli.Codice: Campo con valore non valido (C)"}));

    // Numeric destinations compare converted values; a forbidden text that
    // is not of the destination type is compared as text.
    const Caso numeri[] = {
        {"Integer", "", "1", "01", 0},  {"Integer", "", "1", "2", 1},
        {"Integer", "0", "", "000", 1}, {"Integer", "0", "", "", 0},  // the empty value is not 0
        {"Integer", "abc", "", "5", 0}, {"Double", "1,5", "", "1,50", 1},
    };
    for (const Caso& caso : numeri)
        verifica(caso);
    EXPECT_EQ(Errori().last(), "Articoli.Codice: Campo con valore non valido (1,5)");
    // Values are converted when set; one that does not convert does not throw.
    auto n = NuovoCampo("1", "Integer");
    n->setOsValValido("1");
    EXPECT_EQ(n->ovValValido(), QVariant(1));
    auto x = NuovoCampo("1", "Integer");
    EXPECT_NO_THROW(x->setOsNonVal("abc"));
    EXPECT_FALSE(x->ovNonVal().isValid());
}

TEST_F(Valori, DecimaliEArrotondamento)
{
    // Implied decimals only for numeric destinations.
    Formato({}, true);
    auto c = NuovoCampo("", "Double");
    c->oiInizio = 1;
    c->oiLunghezza = 6;
    c->oiQuanto = 2;
    c->oiNumDec = 2;
    EXPECT_EQ(Leggi(QString("001234"), *c).valore, QVariant(12.34));
    EXPECT_TRUE(Compilato(*c).destNumerica);
    EXPECT_EQ(Compilato(*c).decimali, 2);  // company currency NumDecGest
    c->osTipoDest = "String";
    EXPECT_EQ(Leggi(QString("001234"), *c).valore, QVariant(QString("001234")));
    EXPECT_FALSE(Compilato(*c).destNumerica);
    // A blank amount stays empty instead of failing the division.
    c->osTipoDest = "Double";
    Letto vuoto = Leggi(QString("      "), *c);
    EXPECT_EQ(vuoto.esito, 0);
    EXPECT_EQ(vuoto.valore, QVariant(QString()));

    // Riempie as a number of decimals; halves away from zero.
    Formato(";", false);
    struct Caso {
        const char* nome;
        const char* tipo;
        const char* riempie;
        const char* testo;
        QVariant atteso;  // none: the line is rejected
    };
    const Caso casi[] = {
        {"a half away from zero", "Double", "1", "2,25", 2.3},
        {"a negative half away from zero", "Double", "1", "-2,25", -2.3},
        {"to hundreds", "Double", "-2", "1250", 1300.0},
        {"absurd decimals must not give NaN", "Double", "-32768", "1250", 0.0},
        {"integer to tens", "Integer", "-1", "125", 130},
        {"rounds beyond 16 bits", "Integer", "-1", "32767", {}},
    };
    for (const Caso& caso : casi) {
        SCOPED_TRACE(caso.nome);
        auto r = NuovoCampo("1", caso.tipo);
        r->oiNumDec = 0;
        r->osRiempie = caso.riempie;
        const Letto letto = Leggi(QString::fromUtf8(caso.testo), *r);
        if (caso.atteso.isValid()) {
            EXPECT_EQ(letto.valore, caso.atteso);
        } else {
            EXPECT_EQ(letto.esito, 1);
        }
    }
}

TEST_F(Valori, DecimaliDellaMoneta)
{
    ditta.moneta = "L.";
    ditta.lira.numDec = 0;
    ditta.lira.numDecGest = 2;
    ditta.euro.numDec = 3;
    ditta.euro.numDecGest = 4;
    auto c = NuovoCampo("1", "Currency");
    c->oiNumDec = 0;
    c->osRiempie = "M";
    EXPECT_EQ(Leggi(QString("10,6"), *c).valore, QVariant(11.0));
    EXPECT_EQ(Compilato(*c).decMoneta, 0);
    c->osRiempie.clear();
    EXPECT_EQ(Leggi(QString("10,006"), *c).valore, QVariant(10.01));
    EXPECT_EQ(Compilato(*c).decMoneta, 2);
    // Without implied decimals nor currency: no rounding at all.
    c->oiNumDec = ScQuivaCampi::NumDecNonImpostato;
    EXPECT_EQ(Leggi(QString("10,006"), *c).valore, QVariant(10.006));
    EXPECT_EQ(Compilato(*c).decimali, ScQuivaCampi::NumDecNonImpostato);
}

TEST_F(Valori, SoloAsciiPrimaDelTaglio)
{
    auto c = NuovoCampo("1");
    EXPECT_EQ(Leggi(QString("A\tB\t;x"), *c).valore, QVariant(QString("A\tB\t")));
    soloAsci = true;
    EXPECT_EQ(Leggi(QString("A\tB\t\x01;x"), *c).valore, QVariant(QString("A B")));
}

TEST_F(Valori, CaratteriPericolosiPassanoIntatti)
{
    Formato("\t", false);
    const QStringList corpus = TestiInsidiosi(QStringLiteral("Articoli"));
    auto c = NuovoCampo("2");
    for (const QString& valore : corpus) {
        const QString riga = "k\t" + valore + "\tz";
        EXPECT_EQ(Leggi(riga, *c).valore, QVariant(valore)) << valore.toStdString();
    }
    // The rejection text carries the value exactly as read.
    c->setOsNonVal("*");
    for (const QString& valore : corpus)
        EXPECT_EQ(Leggi("k\t" + valore, *c).esito, 1);
    ASSERT_EQ(Errori().size(), corpus.size());
    for (int i = 0; i < corpus.size(); ++i)
        EXPECT_EQ(Errori()[i], "Articoli.Codice: Campo con valore non valido (" + corpus[i] + ")");
}

// The reading thread reads every line's values into the same places: a
// value read over is replaced, never changed where someone else still holds
// it, and a rejected value leaves none behind.
TEST_F(Valori, ValoriLettiNelloStessoPosto)
{
    auto c = NuovoCampo("1");
    c->osObbligatorio = "S";
    const CampoCompilato campo = Compilato(*c);
    QString costruito;
    ValoreLetto letto;
    auto leggi = [&](const QString& riga) {
        LeggiValore(posizione.Testo(riga, campo, costruito), campo, false, letto);
    };
    leggi(QStringLiteral("Città di Castello;x"));
    const QVariant tenuto = letto.valore;  // held by the load meanwhile
    leggi(QStringLiteral("Forlì;y"));
    EXPECT_EQ(tenuto, QVariant(QStringLiteral("Città di Castello")));
    EXPECT_EQ(letto.valore, QVariant(QStringLiteral("Forlì")));
    leggi(QStringLiteral("Napoli e dintorni;z"));  // longer than the room it reuses
    EXPECT_EQ(letto.valore, QVariant(QStringLiteral("Napoli e dintorni")));
    leggi(QStringLiteral(";z"));
    EXPECT_FALSE(letto.errore.isEmpty());
    EXPECT_FALSE(letto.valore.isValid());
    leggi(QStringLiteral("Bari;z"));
    EXPECT_TRUE(letto.errore.isEmpty());
    EXPECT_EQ(letto.valore, QVariant(QStringLiteral("Bari")));
    // The room of a very long value is given back at the next short one.
    leggi(QString(100000, QChar(u'x')) + QStringLiteral(";z"));
    EXPECT_EQ(letto.valore.toString().size(), 100000);
    leggi(QStringLiteral("Bari;z"));
    EXPECT_EQ(letto.valore, QVariant(QStringLiteral("Bari")));
    EXPECT_LE(static_cast<const QString*>(letto.valore.constData())->capacity(), 4096);
}

}  // namespace

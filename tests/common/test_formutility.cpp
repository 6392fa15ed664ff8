// Conversions and literals of the shared function library.
#include "FormUtility.h"
#include "StampaQt.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace FormUtility;

TEST(TestoANumero, ItalianFormsAndRanges)
{
    struct Caso {
        const char16_t* testo;
        int tipo;
        std::optional<double> atteso;  // none: not a number of that type
    };
    const Caso casi[] = {
        {u"1.234,56", TipiDato::Double, 1234.56},
        {u" -0,5 ", TipiDato::Double, -0.5},
        {u"1,5E3", TipiDato::Double, 1500},
        {u"32767", TipiDato::Integer, 32767},
        {u"32768", TipiDato::Integer, {}},
        {u"2147483648", TipiDato::Long, {}},
        {u"2147483647", TipiDato::Long, 2147483647},
        {u"", TipiDato::Double, {}},
        {u"abc", TipiDato::Double, {}},
        {u"1,2,3", TipiDato::Double, {}},
        {u"12a", TipiDato::Double, {}},
        {u"-", TipiDato::Double, {}},
        {u"1E", TipiDato::Double, {}},
        {u",", TipiDato::Double, {}},
        {u"1 2", TipiDato::Double, {}},
        {u"1,23456", TipiDato::Currency, 1.2346},
    };
    for (const Caso& caso : casi) {
        SCOPED_TRACE(QString::fromUtf16(caso.testo).toStdString());
        const std::optional<QVariant> letto = TestoANumero(caso.testo, caso.tipo);
        EXPECT_EQ(letto.has_value(), caso.atteso.has_value());
        if (letto && caso.atteso) {
            EXPECT_DOUBLE_EQ(letto->toDouble(), *caso.atteso);
        }
    }
}

// "." only separates groups of three digits before the decimal comma; a
// misplaced point makes the text no number at all.
TEST(TestoADouble, PointOnlyBetweenGroupsOfThreeDigits)
{
    const std::pair<const char16_t*, double> numeri[] = {
        {u"1.234", 1234}, {u"1.234.567", 1234567}, {u"-12.345,5", -12345.5}, {u"123.456,789", 123456.789},
        {u"1234", 1234},  {u"1.000E2", 100000},
    };
    for (const auto& [testo, valore] : numeri)
        EXPECT_EQ(TestoADouble(testo), valore) << QString::fromUtf16(testo).toStdString();
    for (const char16_t* cattivo : {u"1.5", u"1936.27", u"12.34", u"1.2345", u"1234.567", u".5", u"1.", u"1..000",
                                    u"1,5.000", u"1.23,4", u"1.5E3"})
        EXPECT_FALSE(TestoADouble(cattivo)) << QString::fromUtf16(cattivo).toStdString();
}

// Short decimals take a quicker way than long ones; both must give the
// correctly rounded double of the text, sign of zero included.
TEST(TestoADouble, ShortAndLongDecimalsRoundTheSameWay)
{
    const std::pair<const char16_t*, double> numeri[] = {
        {u"0,1", 0.1},
        {u"2,675", 2.675},
        {u"-0,3", -0.3},
        {u"123456789012345", 123456789012345.0},
        {u"1234567890123456789", 1234567890123456789.0},
        {u"0,000000000000001", 0.000000000000001},
        {u"0,1234567890123456789", 0.1234567890123456789},
        {u"9.007.199.254,740993", 9007199254.740993},
        {u"+7,50", 7.5},
    };
    for (const auto& [testo, valore] : numeri)
        EXPECT_EQ(TestoADouble(testo), valore) << QString::fromUtf16(testo).toStdString();
    EXPECT_TRUE(std::signbit(*TestoADouble(u"-0")));
    EXPECT_FALSE(std::signbit(*TestoADouble(u"0,0")));
}

TEST(TestoAData, AcceptedFormsAndImpossibleDates)
{
    const QDate attesa(2002, 1, 31);
    for (const char16_t* testo : {u"31/01/2002", u"31-01-2002", u"31012002", u"2002-01-31", u"31.1.2002", u"31/01/02"})
        EXPECT_EQ(TestoAData(testo), attesa) << QString::fromUtf16(testo).toStdString();
    for (const char16_t* testo : {u"31/02/2002", u"00/01/2002", u"2002-13-01", u"3101200", u"31/01", u"ieri"})
        EXPECT_FALSE(TestoAData(testo)) << QString::fromUtf16(testo).toStdString();
}

// An eight-digit date is ddmmyyyy unless only yyyymmdd gives a year in
// 1800-2199; a text that is a date under neither reading is not a date.
TEST(TestoAData, EightDigitsReadTheSensibleWay)
{
    const std::pair<const char16_t*, QDate> date[] = {
        {u"31122002", QDate(2002, 12, 31)}, {u"20021231", QDate(2002, 12, 31)}, {u"31129999", QDate(9999, 12, 31)},
        {u"01011800", QDate(1800, 1, 1)},   {u"18000101", QDate(1800, 1, 1)},   {u"01010001", QDate()},
        {u"20021331", QDate(1331, 2, 20)},  // a date only as ddmmyyyy
    };
    for (const auto& [testo, data] : date) {
        const auto letta = TestoAData(testo);
        EXPECT_EQ(letta.value_or(QDate()), data) << QString::fromUtf16(testo).toStdString();
    }
    for (const char16_t* cattivo : {u"99999999", u"00000000", u"31022002"})
        EXPECT_FALSE(TestoAData(cattivo)) << QString::fromUtf16(cattivo).toStdString();
}

TEST(Arrotonda, HalvesAwayFromZeroOnDecimalAmounts)
{
    struct Caso {
        double valore;
        int decimali;
        double atteso;
    };
    const Caso casi[] = {
        {2.675, 2, 2.68}, {-2.675, 2, -2.68}, {1234.6, 0, 1235}, {1.005, 2, 1.01}, {0.125, 2, 0.13}, {1250, -2, 1300},
    };
    for (const Caso& caso : casi)
        EXPECT_DOUBLE_EQ(Arrotonda(caso.valore, 'A', caso.decimali), caso.atteso)
            << caso.valore << " to " << caso.decimali << " decimals";
}

TEST(SqlLiteral, QuotesTextAndFormsNumbersAndDates)
{
    struct Caso {
        QVariant valore;
        int tipo;
        const char* atteso;
    };
    const Caso casi[] = {
        {QStringLiteral("L'Aquila"), TipiDato::String, "'L''Aquila'"},
        {QStringLiteral("a;--\\%*'"), TipiDato::String, "'a;--\\%*'''"},
        {5, TipiDato::Long, "5"},
        {2.5, TipiDato::Double, "2.5"},
        {QStringLiteral("1.234,5"), TipiDato::Double, "1234.5"},
        {QString(), TipiDato::Long, "Null"},
        {QDate(2002, 1, 31), TipiDato::Date, "'2002-01-31'"},
    };
    for (const Caso& caso : casi)
        EXPECT_EQ(SqlLiteral(caso.valore, caso.tipo), QString::fromUtf8(caso.atteso)) << caso.atteso;
    const QString lungo(5000, QLatin1Char('x'));
    EXPECT_EQ(SqlLiteral(lungo, TipiDato::String).size(), 5002);  // never shortened
}

TEST(CodiceTipo, NamesOfTheFieldEditor)
{
    const std::pair<const char*, int> nomi[] = {
        {"vbvInteger", 2}, {"vbvLong", 3}, {"vbvCurrency", 6}, {"vbvDate", 7}, {"vbvString", 8}, {"vbvNonSo", 0},
    };
    for (const auto& [nome, codice] : nomi)
        EXPECT_EQ(CodiceTipo(QString::fromUtf8(nome)), codice) << nome;
}

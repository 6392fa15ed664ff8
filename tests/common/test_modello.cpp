// Pattern matching of forbidden/allowed values and "like" texts.
#include "ModelloJet.h"

#include <QString>
#include <gtest/gtest.h>

namespace {

bool M(const char* valore, const char* modello)
{
    return CorrispondeModello(QString::fromUtf8(valore), QString::fromUtf8(modello));
}

TEST(Modello, CaratteriLetteraliSenzaMaiuscole)
{
    EXPECT_TRUE(M("abc", "ABC"));
    EXPECT_TRUE(M("Città", "CITTÀ"));
    EXPECT_FALSE(M("abc", "ab"));
    EXPECT_FALSE(M("ab", "abc"));
    EXPECT_TRUE(M("", ""));
    EXPECT_FALSE(M("a", ""));
}

TEST(Modello, JollyPuntoInterrogativoECancelletto)
{
    EXPECT_TRUE(M("a1c", "a?c"));
    EXPECT_FALSE(M("ac", "a?c"));
    EXPECT_TRUE(M("a1c", "a#c"));
    EXPECT_FALSE(M("abc", "a#c"));
    EXPECT_TRUE(M("2024-01", "####-##"));
    EXPECT_FALSE(M("2024-1", "####-##"));
}

TEST(Modello, Asterisco)
{
    EXPECT_TRUE(M("xyz", "X*"));
    EXPECT_TRUE(M("x", "X*"));
    EXPECT_FALSE(M("axyz", "X*"));
    EXPECT_TRUE(M("", "*"));
    EXPECT_TRUE(M("abcabd", "*abd"));  // needs backtracking
    EXPECT_TRUE(M("aXbXc", "a*b*c"));
    EXPECT_FALSE(M("aXbXd", "a*b*c"));
    EXPECT_TRUE(M("abc", "***"));
    EXPECT_TRUE(M("a*c", "a*c"));
    // Long values with many stars finish quickly.
    const QString lungo(5000, QLatin1Char('a'));
    EXPECT_FALSE(CorrispondeModello(lungo, QStringLiteral("*a*a*a*a*a*a*b")));
}

TEST(Modello, ClassiDiCaratteri)
{
    EXPECT_TRUE(M("a", "[AB]"));
    EXPECT_TRUE(M("B", "[AB]"));
    EXPECT_FALSE(M("C", "[AB]"));
    EXPECT_FALSE(M("AB", "[AB]"));
    EXPECT_TRUE(M("C", "[!AB]"));
    EXPECT_FALSE(M("b", "[!AB]"));
    EXPECT_TRUE(M("m", "[a-z]"));
    EXPECT_TRUE(M("M", "[a-z]"));
    EXPECT_FALSE(M("5", "[a-z]"));
    EXPECT_TRUE(M("5", "[!a-z]"));
    EXPECT_TRUE(M("*", "[*]"));  // special characters are literal in a class
    EXPECT_FALSE(M("x", "[*]"));
    EXPECT_TRUE(M("?", "[?]"));
    EXPECT_TRUE(M("#", "[#]"));
    EXPECT_TRUE(M("]", "[]]"));
    EXPECT_TRUE(M("X1z", "[xy]#*"));
}

TEST(Modello, ParentesiNonChiusaELetterale)
{
    EXPECT_TRUE(M("[ab", "[ab"));
    EXPECT_FALSE(M("a", "[ab"));
    EXPECT_TRUE(M("x[", "x["));
}

}  // namespace

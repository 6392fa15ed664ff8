// Pattern matching of forbidden/allowed values and "like" texts.
#include "ModelloJet.h"

#include <QString>
#include <gtest/gtest.h>

#include <span>

namespace {

// A value, a pattern and whether they match.
struct CasoModello {
    const char* valore;
    const char* modello;
    bool corrisponde;
};

void Verifica(std::span<const CasoModello> casi)
{
    for (const CasoModello& caso : casi)
        EXPECT_EQ(CorrispondeModello(QString::fromUtf8(caso.valore), QString::fromUtf8(caso.modello)), caso.corrisponde)
            << '"' << caso.valore << "\" like \"" << caso.modello << '"';
}

TEST(Modello, CaratteriLetteraliSenzaMaiuscole)
{
    const CasoModello casi[] = {
        {"abc", "ABC", true}, {"Città", "CITTÀ", true}, {"abc", "ab", false},
        {"ab", "abc", false}, {"", "", true},           {"a", "", false},
    };
    Verifica(casi);
}

TEST(Modello, JollyPuntoInterrogativoECancelletto)
{
    const CasoModello casi[] = {
        {"a1c", "a?c", true},  {"ac", "a?c", false},         {"a1c", "a#c", true},
        {"abc", "a#c", false}, {"2024-01", "####-##", true}, {"2024-1", "####-##", false},
    };
    Verifica(casi);
}

TEST(Modello, Asterisco)
{
    const CasoModello casi[] = {
        {"xyz", "X*", true},      {"x", "X*", true},         {"axyz", "X*", false}, {"", "*", true},
        {"abcabd", "*abd", true},  // needs backtracking
        {"aXbXc", "a*b*c", true}, {"aXbXd", "a*b*c", false}, {"abc", "***", true},  {"a*c", "a*c", true},
    };
    Verifica(casi);
    // Long values with many stars finish quickly.
    const QString lungo(5000, QLatin1Char('a'));
    EXPECT_FALSE(CorrispondeModello(lungo, QStringLiteral("*a*a*a*a*a*a*b")));
}

TEST(Modello, ClassiDiCaratteri)
{
    // Special characters are literal in a class: "[*]", "[?]", "[#]", "[]]".
    const CasoModello casi[] = {
        {"a", "[AB]", true},   {"B", "[AB]", true},   {"C", "[AB]", false}, {"AB", "[AB]", false},
        {"C", "[!AB]", true},  {"b", "[!AB]", false}, {"m", "[a-z]", true}, {"M", "[a-z]", true},
        {"5", "[a-z]", false}, {"5", "[!a-z]", true}, {"*", "[*]", true},   {"x", "[*]", false},
        {"?", "[?]", true},    {"#", "[#]", true},    {"]", "[]]", true},   {"X1z", "[xy]#*", true},
    };
    Verifica(casi);
}

TEST(Modello, ParentesiNonChiusaELetterale)
{
    const CasoModello casi[] = {{"[ab", "[ab", true}, {"a", "[ab", false}, {"x[", "x[", true}};
    Verifica(casi);
}

}  // namespace

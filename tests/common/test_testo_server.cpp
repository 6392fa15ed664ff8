// The text forms of a server's bulk writes, read back by the server itself:
// every value of an array of rows comes back as it was, whatever it holds.
#include "AmbienteProva.h"
#include "TestoServer.h"

#include <QDate>
#include <QSqlError>
#include <QSqlQuery>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

TEST(TestoServer, ArraysOfRowsReadBackAsTheValuesTheyCarry)
{
    if (!DatabaseProva::SuServer())
        GTEST_SKIP() << "arrays of a table's row type are the server's form";
    AmbienteProva ambiente;
    ambiente.Sql(
        QStringLiteral("CREATE TABLE Nota (Codice VARCHAR(6), Testo VARCHAR(40), Quando DATE, Importo NUMERIC)"));
    const QStringList testi {QStringLiteral("a\"b"),     QStringLiteral("c\\d"),    QStringLiteral("(x,y)"),
                             QStringLiteral("{1,2}"),    QStringLiteral("\\N"),     QStringLiteral("NULL"),
                             QStringLiteral(""),         QStringLiteral("Città è"), QStringLiteral("'q'"),
                             QStringLiteral("\"(\\\")"), QStringLiteral(" a ")};
    // Rows of three values for the columns Testo, Quando and Importo (the
    // first array); Codice stays null.
    std::vector<QVariant> valori;
    for (const QString& testo : testi)
        valori.insert(valori.end(), {testo, QDate(2024, 2, 29), 2.6});
    valori.insert(valori.end(), {QVariant(), QVariant(), QVariant()});
    const QString matrice = QString::fromUtf8(MatriceRighe(valori, {1, 2, 3}, 4, 0));

    QSqlQuery q(ambiente.Db().Database());
    ASSERT_TRUE(q.prepare(QStringLiteral("SELECT (r).codice IS NULL, (r).testo, (r).quando, (r).importo::text "
                                         "FROM (SELECT unnest(CAST(? AS nota[])) AS r) AS t")));
    q.addBindValue(matrice);
    ASSERT_TRUE(q.exec()) << q.lastError().text().toStdString() << "\n" << matrice.toStdString();
    QStringList letti;
    while (q.next())
        letti << q.value(1).toString();
    ASSERT_EQ(letti.size(), testi.size() + 1);
    for (qsizetype i = 0; i < testi.size(); ++i)
        EXPECT_EQ(letti[i], testi[i]);
    q.seek(0);
    EXPECT_TRUE(q.value(0).toBool());
    EXPECT_EQ(q.value(2).toDate(), QDate(2024, 2, 29));
    EXPECT_EQ(q.value(3).toString(), QStringLiteral("2.6"));
    q.last();
    EXPECT_TRUE(q.value(1).isNull() && q.value(2).isNull() && q.value(3).isNull());
}

// A copy's line holds each value as the server's input functions read it:
// numbers in the shortest form that reads back as the same number (a decimal
// column keeps 2.6, not 2.6000000000000001), the rest escaped for the copy.
TEST(TestoServer, CopyValuesAreTheShortestExactTexts)
{
    auto copia = [](const QVariant& valore) {
        QByteArray riga;
        AggiungiValoreCopia(riga, valore);
        return riga.toStdString();
    };
    EXPECT_EQ(copia(42), "42");
    EXPECT_EQ(copia(-2147483647 - 1), "-2147483648");
    EXPECT_EQ(copia(Q_INT64_C(-9223372036854775807)), "-9223372036854775807");
    EXPECT_EQ(copia(2.6), "2.6");
    EXPECT_EQ(copia(0.1 + 0.2), "0.30000000000000004");
    EXPECT_EQ(std::stod(copia(1e-7)), 1e-7);
    EXPECT_EQ(std::stod(copia(1.2345678901234568e+20)), 1.2345678901234568e+20);
    EXPECT_EQ(copia(std::nan("")), "NaN");
    EXPECT_EQ(copia(-std::numeric_limits<double>::infinity()), "-Infinity");
    EXPECT_EQ(copia(QDate(2024, 2, 29)), "2024-02-29");
    EXPECT_EQ(copia(QStringLiteral("a\tb\nc\\d\te")), "a\\tb\\nc\\\\d\\te");
    EXPECT_EQ(copia(QStringLiteral("Città")), "Città");
    EXPECT_EQ(copia(QVariant()), "\\N");
}

}  // namespace

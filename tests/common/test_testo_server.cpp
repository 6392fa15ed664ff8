// The text forms of a server's bulk writes, read back by the server itself:
// every value of an array of rows comes back as it was, whatever it holds.
#include "AmbienteProva.h"
#include "TestoServer.h"

#include <QDate>
#include <QSqlError>
#include <QSqlQuery>
#include <gtest/gtest.h>

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
    const QString matrice = MatriceRighe(valori, {1, 2, 3}, 4, 0);

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

}  // namespace

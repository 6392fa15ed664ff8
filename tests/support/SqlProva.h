#pragma once
// Statements and row reading for tests that prepare and check a company
// database of their own.
#include "DatabaseLink.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>

// Runs a statement; gives "<statement>: <reason>" when it fails, empty when it
// ran. The schema cache is dropped so that screens see the tables it made.
inline QString EseguiSqlProva(DatabaseLink& db, const QString& sql)
{
    QSqlQuery q(db.Database());
    const bool eseguita = q.exec(sql);
    db.DimenticaSchema();
    return eseguita ? QString() : sql + QStringLiteral(": ") + q.lastError().text();
}

// Every row of a query, each as its columns joined with "|", a null column
// shown as `nullo`. A failing query gives no rows and its reason in *errore.
inline QStringList RigheSqlProva(DatabaseLink& db, const QString& sql, QString* errore = nullptr,
                                 const QString& nullo = QString())
{
    QSqlQuery q(db.Database());
    if (!q.exec(sql) && errore)
        *errore = sql + QStringLiteral(": ") + q.lastError().text();
    QStringList righe;
    while (q.next()) {
        QStringList colonne;
        for (int c = 0; c < q.record().count(); ++c)
            colonne << (q.value(c).isNull() ? nullo : q.value(c).toString());
        righe << colonne.join(QLatin1Char('|'));
    }
    return righe;
}

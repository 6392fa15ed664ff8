#pragma once
// Column shapes read from the declared type names of a catalog.
#include "DatabaseLink.h"

#include <QRegularExpression>
#include <QString>

// Declared size of "VARCHAR(50)", "TEXT(50)", "CHAR (10)"...; 0 when none.
inline int DimensioneDichiarata(const QString& tipo)
{
    static const QRegularExpression dimensione(QStringLiteral("\\(\\s*(\\d+)"));
    const auto m = dimensione.match(tipo);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

inline bool TipoTesto(const QString& tipo)
{
    const QString t = tipo.toUpper();
    return t.isEmpty() || t.contains(QLatin1String("CHAR")) || t.contains(QLatin1String("TEXT"))
        || t.contains(QLatin1String("CLOB")) || t.contains(QLatin1String("MEMO"));
}

inline bool TipoData(const QString& tipo)
{
    const QString t = tipo.toUpper();
    return t.contains(QLatin1String("DATE")) || t.contains(QLatin1String("TIME"));
}

// The kind of value a declared type holds: the names of SQLite tables made
// by any tool (sqlite) and those of a server's catalog ("numeric(9,2)",
// "smallint").
void DescriviGenere(ColonnaSchema& colonna, const QString& tipo, bool sqlite);

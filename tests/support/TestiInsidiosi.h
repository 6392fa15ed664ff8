#pragma once
// Values that look like SQL, paths, patterns or templates: a load must store
// and report them exactly as read. tabella names the test's own table in the
// value that tries to drop it.
#include <QString>
#include <QStringList>

inline QStringList TestiInsidiosi(const QString& tabella)
{
    return {QStringLiteral("O'Brien"),
            QStringLiteral("a;b"),
            QStringLiteral("x'; DROP TABLE %1; --").arg(tabella),
            QStringLiteral("--"),
            QStringLiteral("C:\\dati\\x.txt"),
            QStringLiteral("50%"),
            QStringLiteral("*"),
            QStringLiteral("_%_"),
            QStringLiteral("\"virgolette\" interne"),
            QStringLiteral("[A-Z]#?"),
            QStringLiteral("\\'"),
            QStringLiteral("\u00a71{\u00a72}")};
}

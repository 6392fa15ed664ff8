#pragma once
// Readable Qt texts in test failure reports.
#include <QString>
#include <QStringList>
#include <ostream>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& testo, std::ostream* os) { *os << '"' << testo.toStdString() << '"'; }
inline void PrintTo(const QStringList& lista, std::ostream* os)
{
    *os << "{\"" << lista.join(QStringLiteral("\", \"")).toStdString() << "\"}";
}
QT_END_NAMESPACE

#pragma once
// The columns of a company table, in the table's own order, with the type
// name a field definition stores for each ("Long", "Double", "Date",
// "String"...).
#include <QList>
#include <QString>

class DatabaseLink;

struct ColonnaTabella {
    QString nome;
    QString tipo;
};

// Empty when the table does not exist.
QList<ColonnaTabella> ColonneTabella(DatabaseLink& db, const QString& tabella);

#pragma once
// Turns the Jet statements that definitions and screens store into SQL that
// the database engine behind the connection understands.
#include <QList>
#include <QString>

struct CatalogoNomi;

// The SQL of the two engines a company database lives in.
enum class DialettoDb { Sqlite, Postgres };

struct ColonnaConfrontata {
    QString tabella;
    QString colonna;
};

// On a server, names found in the catalog are sent quoted with its spelling,
// text comparisons ignore case, and the text columns compared with "=" are
// appended to colonneUguaglianza so that the caller can keep a lower-case
// index for them.
QString TraduciJet(const QString& sql, DialettoDb dialetto, const CatalogoNomi* catalogo = nullptr,
                   QList<ColonnaConfrontata>* colonneUguaglianza = nullptr);

#pragma once
// A load definition as a text file, to keep it under version control, review
// it, and move it from one company to another. The layout of the file and
// its checks are FormatoDefinizione's; here the rows are read from the
// company and written into it.
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <functional>

class DatabaseLink;
class FinestraMessaggi;

namespace FileDefinizione {

// The definition's rows as the file holds them. Raises ErroreRun when the
// code has no QuivaFile row.
QJsonObject Leggi(DatabaseLink& db, const QString& codice);

// What this company lacks for a definition read from a file: "tabella X" for
// a target table, "colonna X.Y" for a column of a target table or of the
// definition tables. Empty when the definition fits.
QStringList Mancanti(DatabaseLink& db, const QJsonObject& definizione);

}  // namespace FileDefinizione

// Writes the definition psCodice to psFile ("-": standard output). 0 on
// success, -1 after telling the user why not.
int EsportaDefinizione(DatabaseLink& db, FinestraMessaggi& messaggi, const QString& psCodice, const QString& psFile);

// Reads a definition from psFile into this company, all or nothing, in a
// transaction of its own. A file that is not a sound definition (every
// problem listed) and a definition whose tables or columns this company
// lacks are refused with a message.
// When the code already exists, sostituisci(code) decides: true replaces the
// definition's rows, false leaves everything as it was (the caller has told
// the user). 0 on success, -1 otherwise; *psCodice gets the code read and
// *psDefinizione the definition read.
int ImportaDefinizione(DatabaseLink& db, FinestraMessaggi& messaggi, const QString& psFile,
                       const std::function<bool(const QString&)>& sostituisci, QString* psCodice = nullptr,
                       QJsonObject* psDefinizione = nullptr);

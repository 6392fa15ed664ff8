#pragma once
// A load definition as a text file, to keep it under version control, review
// it, and move it from one company to another. The file is indented JSON:
//
//   { "codice": "ART", "formato": "quiva-definizione", "versione": 1,
//     "QuivaFile": { column: value, ... },
//     "QuivaDettaglio": [ { column: value, ... }, ... ],   one object per field
//     "QuivaDecod": [ { column: value, ... }, ... ] }
//
// Keys come in alphabetical order, fields in the order the load reads them and
// translations by table, field and source value, so that two exports of the
// same definition are the same text. The code is written once, at the top;
// empty (null) columns are left out and stay empty when imported.
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <functional>

class DatabaseLink;
class FinestraMessaggi;

namespace FileDefinizione {

inline constexpr char Formato[] = "quiva-definizione";
inline constexpr int Versione = 1;

// The definition's rows as the file holds them. Raises ErroreRun when the
// code has no QuivaFile row.
QJsonObject Leggi(DatabaseLink& db, const QString& codice);

// What this company lacks for a definition read from a file: "tabella X" for
// a target table, "colonna X.Y" for a column of a target table or of the
// definition tables. Empty when the definition fits.
QStringList Mancanti(DatabaseLink& db, const QJsonObject& definizione);

}  // namespace FileDefinizione

// Writes the definition psCodice to psFile. 0 on success, -1 after telling
// the user why not.
int EsportaDefinizione(DatabaseLink& db, FinestraMessaggi& messaggi, const QString& psCodice, const QString& psFile);

// Reads a definition from psFile into this company, all or nothing, in a
// transaction of its own. A file that is not a definition and a definition
// whose tables or columns this company lacks are refused with a message.
// When the code already exists, sostituisci(code) decides: true replaces the
// definition's rows, false leaves everything as it was (the caller has told
// the user). 0 on success, -1 otherwise; *psCodice gets the code read.
int ImportaDefinizione(DatabaseLink& db, FinestraMessaggi& messaggi, const QString& psFile,
                       const std::function<bool(const QString&)>& sostituisci, QString* psCodice = nullptr);

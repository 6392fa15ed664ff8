#pragma once
// The text form of a load definition: which columns a file holds, in which
// order they are written, what each may hold, and the check of a file read.
//
//   {
//       "formato": "quiva-definizione",
//       "versione": 2,
//       "codice": "ART",
//       "QuivaFile": { column: value, ... },
//       "QuivaDettaglio": [ { column: value, ... }, ... ],   one object per field, in load order
//       "QuivaDecod": [ { column: value, ... }, ... ]
//   }
//
// The columns of each object come in the order of the tables below (the
// order a person reads a definition in), then any other column of the
// company's tables in alphabetical order. Empty columns are left out; whole
// numbers are JSON numbers, everything else text. docs/definizione.schema.json
// describes the same rules.
//
// Version 1 files (keys in alphabetical order, numbers sometimes as texts,
// empty texts written out) are still read: there a number column may hold a
// text with a whole number, and a text column a number.
#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QStringList>
#include <QVariant>
#include <span>

namespace FormatoDefinizione {

inline constexpr char Formato[] = "quiva-definizione";
inline constexpr int Versione = 2;

enum class Genere { Testo, Intero };

struct Colonna {
    const char* nome;
    Genere genere;
    QStringList ammessi;  // allowed values, letter case ignored; empty: any
    int massimo = 0;      // longest text allowed (0: no limit)
};

// The known columns of each table, in the order a file writes them. The
// definition code is not among them: it is written once, as "codice".
std::span<const Colonna> ColonneFile();
std::span<const Colonna> ColonneDettaglio();
std::span<const Colonna> ColonneDecod();

// A column of a table as a file holds it: null for an empty value (left
// out), a number for a number column, a text for a text column. nullptr
// for a column of no known table: its value keeps its own kind.
QJsonValue ValoreFile(const Colonna* colonna, const QVariant& valore);
const Colonna* Trova(std::span<const Colonna> colonne, const QString& nome);

// The definition as indented text, in the fixed order.
QByteArray Testo(const QJsonObject& definizione);

// Every reason why a document is not a definition this program can import,
// each naming its place ("QuivaDettaglio, campo Prezzo: ..."). Empty when
// the document is sound.
QStringList Problemi(const QJsonObject& documento);

}  // namespace FormatoDefinizione

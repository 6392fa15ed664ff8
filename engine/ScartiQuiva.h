#pragma once
// The rejected lines of a definition (its rows of ErroriQuivamento) written
// back to a text file, so that a user can correct them and load them again
// with the same definition.
#include <QString>
#include <QStringList>

class DatabaseLink;
struct ContestoQuiva;

namespace ScartiQuiva {

// The definition's source file with its folder completed; empty when the
// definition does not exist or names no file.
QString Origine(ContestoQuiva& ctx, const QString& codice);
// "<codice>_scarti.txt" in the folder of the source file.
QString PercorsoProposto(const QString& origine, const QString& codice);
// The definition's rejected lines in the order they were rejected. A line
// rejected for more than one reason has as many error rows, one after the
// other: it is given once.
QStringList Righe(DatabaseLink& db, const QString& codice);
// Writes those lines to a file, one per line with CR LF ends, after as many
// lines as the definition skips (the source's first lines, or blank ones),
// so that the file loads with the same definition. A line still found in
// the source file keeps the bytes it had there; any other is written in the
// source's encoding. Returns the number of rejected lines; raises ErroreRun
// when the file cannot be written.
int Salva(ContestoQuiva& ctx, const QString& codice, const QString& percorso);

}  // namespace ScartiQuiva

#pragma once
// The columns of the definition tables as users read them: the captions of
// the grids and printed lists, taken from the labels of the editing screens
// and shortened where a column needs it.
#include <QHash>
#include <QString>

// Caption by column name for "QuivaFile" or "QuivaDettaglio" (case ignored);
// empty for any other table.
QHash<QString, QString> DidascalieQuiva(const QString& tabella);

#pragma once
// Column widths of the grids. A column starts as wide as its caption and
// its values (up to a limit), or as the width the screen asks for where that
// is wider; the user may drag any column, and the widths dragged are kept
// per screen and grid in the user's settings, to be found again next time.
#include <QList>
#include <QPair>
#include <QString>

class QTableView;

namespace ColonneGriglia {

// Header role under which a grid's model gives the column's own name (the
// record set's column, whatever its caption).
constexpr int RuoloNome = 0x0100 + 1;  // Qt::UserRole + 1

// Widths in twips by column name (case ignored); columns not listed start
// from their caption and values alone.
using Larghezze = QList<QPair<QString, int>>;

// Sets the starting widths, then the ones the user set on this screen.
void Adatta(QTableView& griglia, const Larghezze& larghezze = {});
// From now on the widths the user drags are kept (once per grid).
void Ricorda(QTableView& griglia);

// Where the user's widths are kept: "screen/grid" is the group.
QString Chiave(const QTableView& griglia);
// The kept width in twips of a column, 0 when none.
int Ricordata(const QTableView& griglia, const QString& colonna);

}  // namespace ColonneGriglia

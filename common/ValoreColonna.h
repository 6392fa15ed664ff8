#pragma once
// A value made to fit the declared type of the column it is written into:
// a text for a number or date column is read with the program's Italian
// rules, a number or date for a text column becomes its text, a number
// outside what its column holds is refused. The caller reports a refusal.
#include <QVariant>

struct ColonnaSchema;

// False when the value cannot be one of the column's; valore is then as it was.
bool AdattaAColonna(QVariant& valore, const ColonnaSchema& colonna);
// The same without copying a value that fits as it is: valore itself then,
// adattato when it had to change, null when it cannot be one of the column's.
const QVariant* ValorePerColonna(const QVariant& valore, const ColonnaSchema& colonna, QVariant& adattato);

// Whether a value already holds a number (not a text that reads as one).
bool ValoreNumerico(const QVariant& v);

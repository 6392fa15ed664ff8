#pragma once
// Value reading: the text located for one field of one line becomes the
// value written into the target column, or the reason the line is rejected
// (cleaning, key and mandatory checks, conversion to the destination type,
// fill and cut, rounding or currency, forbidden and allowed values).
#include "PianoQuiva.h"

#include <QString>
#include <QVariant>
#include <functional>

struct ValoreLetto {
    QVariant valore;
    QString errore;  // the rejection text ("table.column: ..."), empty when the value is good
};

// Turns an amount of a field with a currency into the company's; raises on
// a value that is not a number.
using ConversioneValuta = std::function<QVariant(const QVariant& valore, const CampoCompilato& campo)>;

// testo is the field's located and decoded text; soloAsci turns control
// characters into blanks. Without valuta, amounts keep their value.
ValoreLetto LeggiValore(QStringView testo, const CampoCompilato& campo, bool soloAsci,
                        const ConversioneValuta& valuta = {});
// The same into letto, whose room it reuses.
void LeggiValore(QStringView testo, const CampoCompilato& campo, bool soloAsci, ValoreLetto& letto,
                 const ConversioneValuta& valuta = {});

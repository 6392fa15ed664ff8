#pragma once
// Small text chores of field location and value reading: blank trimming as
// the definitions mean it (spaces only, never tabs) and the text form of a
// located value.
#include <QString>
#include <QStringView>
#include <QVariant>

namespace TestoQuiva {

// Without leading and trailing spaces (tabs and other blanks stay).
QStringView TagliaSpazi(QStringView testo);
// Without trailing spaces.
QStringView TagliaSpaziDestra(QStringView testo);
// True when the text is made only of "0" characters (and is not empty).
bool SoloZeri(QStringView testo);

// Text of a located or default value as the value reader works on it:
// numbers with decimal comma and at most 15 significant digits, dates
// dd/mm/yyyy, text unchanged, nothing as the empty text.
QString TestoDaValore(const QVariant& valore);

// Number as text in the same form (decimal comma, 15 significant digits).
QString TestoNumero(double numero);

// Makes testo n characters long, in the room it already holds (a text shared
// with someone else is copied first): the places a load reads millions of
// lines and values into are not freed and allocated every time. Room beyond
// 4 KB is given back when n needs less than half of it.
void SpazioPer(QString& testo, qsizetype n);

}  // namespace TestoQuiva

#pragma once
// Opening, load-failure notice and closing of the program's screens, with
// what the menu is told of them.
#include "AspettoMaschere.h"

#include <QString>

class Maschera;

// Shows a new screen with its launch values, or brings forward the one of
// the same name already open. False (after the message "Impossibile aprire
// il programma richiesto") when the screen cannot be opened.
bool MostraMaschera(Maschera* maschera, const QString& keySec, const QString& keyLancia, const QString& keySecLancia,
                    const QString& paramLancia);
// Notice of a failed screen load, handed to the menu.
void AvvisoErrore(int numero, const QString& descrizione, const QString& didascalia, const QString& testo);
// Run when a correctly loaded screen closes.
void ChiudiMaschera(Maschera& maschera);
void PassaMascheraAlMenu(Maschera& maschera);

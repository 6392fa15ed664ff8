#pragma once
// How every screen looks and starts: the common set-up of its colours,
// caption, keyboard and scale, the loading window, and the display measures.
#include <QList>
#include <QObject>
#include <QString>

class Maschera;

struct OpzioniMaschera {
    bool soloLettura = true;  // honour the "/RO" launch switch
    bool scala = false;       // scale to the display
    bool silenziosa = false;  // no loading window
    QList<QObject*> pagine;   // page components that receive "RisVid"
};

// Common set-up, called from a screen's Carica.
void PreparaMaschera(Maschera& maschera, const QString& listaNoColore, const OpzioniMaschera& opzioni = {});
// Closes the loading window the set-up opened.
void ChiudiCaricamento(Maschera& maschera);

// Caption with the company and the program version.
QString DecoraTitolo(const QString& didascalia);
// Display factor of the general scaling (computed from the screen when the
// settings give none).
double FattoreVideo();
// A measure in twips as pixels at the display factor.
int Twip(int twips);
// Width a window needs for its whole title in the title bar.
int LarghezzaTitolo(const QString& titolo);
// "/RO" among the launch parameters.
int AbilitazioneScrittura(const QString& parametri);

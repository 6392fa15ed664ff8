#pragma once
// Opening, set-up, load-failure notice and closing shared by every screen.
#include <QList>
#include <QObject>
#include <QString>

class Maschera;
class QWidget;

struct OpzioniMaschera {
    bool soloLettura = true;   // honour the "/RO" launch switch
    bool scala = false;        // scale to the display
    bool silenziosa = false;   // no loading window
    QList<QObject*> pagine;    // page components that receive "RisVid"
};

// Common set-up, called from a screen's Carica.
void PreparaMaschera(Maschera& maschera, const QString& listaNoColore, const OpzioniMaschera& opzioni = {});
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

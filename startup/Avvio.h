#pragma once
// The start-up of the desktop program and its orderly end.
#include <QString>
#include <QStringList>
#include <functional>

class MenuServer;
class Programma;

// Entry point: the start-up with the program's own command line.
bool Main(Programma& programma);
// The start-up sequence; rigaComando empty = the process's arguments. False
// when the program is ending (the user has been told why).
bool AvvioProgramma(Programma& programma, const QString& rigaComando = {});
// Company settings, common database, source-file folder, "SoloAsci".
// False when the common database could not be opened (the user was told).
bool InizializzaProgramma(Programma& programma);
// Opens a screen by name; "La form richiesta e' inesistente" for an empty or
// unknown name.
bool ApriMaschera(const QString& nome, bool primo, const QString& parametri, const QString& chiLancia,
                  const QString& keySecLancia, const QString& paramLancia);
// Asks the hidden main window to end the program on its next timer tick.
bool ChiudiProgramma();

// "P" switch: identifier, and the text after its first blank.
struct SwitchP {
    QString idProgramma;
    QString parametri;
};
SwitchP DividiSwitchP(const QString& valore);
// "VersMenu" as a number ("1.07" and "1,07" alike).
double NumeroVersione(const QString& testo);
// Further values "AddSeg" is asked with: from menu 1.07 the launch text and
// "PrepProcCorr", below it the launch text alone.
QStringList ArgomentiAddSeg(double versMenu, const QString& testoLancio, const QString& prepProcCorr);

struct ScalaturaVideo;
// Factors of section "Risoluzione Video"; fattoreSchermo is used where the
// result is 0.
ScalaturaVideo LeggiScalatura(const std::function<QString(const QString&, const QString&)>& leggi,
                              double fattoreSchermo);

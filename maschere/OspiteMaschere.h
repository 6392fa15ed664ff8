#pragma once
// The program that hosts the screens, as the screen framework sees it: the
// settings screens are drawn with, the keyboard's services, and what the
// program does when a screen is handed to the menu or closes. The start-up's
// program is the one host; without a host (tools, tests) screens open and
// close on their own with the default look.
#include <QString>

class Maschera;
struct ImpostazioniGenerali;
struct ServiziTastiera;

class OspiteMaschere {
public:
    // The running host; null when there is none.
    static OspiteMaschere* Corrente();

    virtual const ImpostazioniGenerali& Generali() const = 0;
    // Company description and program version for the captions.
    virtual QString DescrizioneDitta() const = 0;
    virtual QString Versione() const = 0;
    // The display factor the settings give; 0 to take the screen's.
    virtual double ScalaGenerale() const = 0;
    // Whether the settings open this program's screens maximised.
    virtual bool Massimizzate() const = 0;
    virtual ServiziTastiera Tastiera() const = 0;

    virtual void PassaAlMenu(Maschera& maschera) = 0;
    // A screen has closed.
    virtual void MascheraChiusa(Maschera& maschera) = 0;

protected:
    OspiteMaschere();  // becomes the running host
    virtual ~OspiteMaschere();
    OspiteMaschere(const OspiteMaschere&) = delete;
    OspiteMaschere& operator=(const OspiteMaschere&) = delete;
};

#pragma once
// Keyboard handling shared by every screen: the filter of typed characters,
// the key-down handler (help, user macros, find and replace, Enter), focus
// moves and text selection.
#include <QString>
#include <functional>

class FinestraMessaggi;
class MenuServer;
class QKeyEvent;
class QWidget;
class RichiestaTesto;

namespace CodiciTasto {
constexpr int Invio = 13;
constexpr int Esc = 27;
constexpr int PagSu = 33;
constexpr int PagGiu = 34;
constexpr int BarraRovescia = 92;
constexpr int DecimaleTastierino = 110;
constexpr int F1 = 112;
}

// Kept for the whole program, shared by all screens.
struct StatoTastiera {
    int ultimoTasto = 0;
    int ultimoShift = 0;
    bool invioNelCampo = false;  // Enter stays in a multi-line field
    QString ultimaRicerca;
    QString ultimaSostituzione;
    int modoConfronto = 1;       // 1 case ignored, 0 case-sensitive

    static StatoTastiera& Programma();
};

// What the key handler uses around it.
struct ServiziTastiera {
    MenuServer* menu = nullptr;              // "TastiCtrl" macros
    FinestraMessaggi* messaggi = nullptr;    // "Testo non trovato"
    RichiestaTesto* domande = nullptr;       // find and replace texts
    QString fileHelp;
    QString tastierinoVirgola;
    // Opens help: modo 0 topic of the context, 1 contents, 2 search.
    std::function<void(int modo, int contesto)> apriAiuto;

    // The services of the running program.
    static ServiziTastiera DelProgramma();
};

// Key code of a key event in the suite's numbering (letters and digits
// their capital ASCII code, F1 112, keypad decimal 110...).
int CodiceTasto(const QKeyEvent& evento);
// 1 Shift, 2 Ctrl, 4 Alt, summed.
int StatoShift(const QKeyEvent& evento);

// Filter of a typed character; 0 swallows it.
int FiltraTasto(int carattere, const StatoTastiera& stato, const QString& tastierinoVirgola);
// Key-down handler; true when the key has been dealt with (swallowed).
bool GestTastiMaschera(int& codice, int shift, QWidget* attivo, int contestoHelp, StatoTastiera& stato,
                       const ServiziTastiera& servizi);

// Moves the focus to the next (+1) or previous (-1) control that can take
// it; shift 1 reverses the step.
void SpostaFuoco(int passo, int shift, QWidget* attivo = nullptr);
// Selects the whole text of a text field.
void SelezionaTesto(QWidget* campo);

// Key preview for every screen (installed once on the application).
void InstallaFiltroTastiera();

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
constexpr int Maiuscole = 16;
constexpr int Ctrl = 17;
constexpr int Alt = 18;
constexpr int Esc = 27;
constexpr int PagSu = 33;
constexpr int PagGiu = 34;
constexpr int BarraRovescia = 92;
constexpr int ZeroTastierino = 96;
constexpr int DecimaleTastierino = 110;
constexpr int F1 = 112;
}  // namespace CodiciTasto

// Kept for the whole program, shared by all screens.
struct StatoTastiera {
    int ultimoTasto = 0;
    int ultimoShift = 0;
    bool invioNelCampo = false;  // Enter stays in a multi-line field
    QString ultimaRicerca;
    QString ultimaSostituzione;
    int modoConfronto = 1;  // 1 case ignored, 0 case-sensitive

    static StatoTastiera& Programma();
};

// What the key handler uses around it.
struct ServiziTastiera {
    MenuServer* menu = nullptr;            // "TastiCtrl" macros
    FinestraMessaggi* messaggi = nullptr;  // "Testo non trovato"
    RichiestaTesto* domande = nullptr;     // find and replace texts
    QString fileHelp;
    QString tastierinoVirgola;
    // Opens help: modo 0 topic of the context, 1 contents, 2 search.
    std::function<void(int modo, int contesto)> apriAiuto;

    // The services of the running program.
    static ServiziTastiera DelProgramma();
};

// Key code of a key event in the suite's numbering: letters and digits
// their capital ASCII code, Shift 16, Ctrl 17, Alt 18, Page Up 33 ... Down 40,
// Insert 45, Delete 46, the keypad 96-111, F1 112 ... F24 135; 0 for a key
// that has no code.
int CodiceTasto(const QKeyEvent& evento);
// A press of Shift, Ctrl, Alt or another modifier alone.
bool SoloModificatore(const QKeyEvent& evento);
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

// A window takes the shared keyboard handling: every key pressed in it
// goes through GestTastiMaschera and then FiltraTasto. Screens (Maschera)
// take it when they are built; any other window of the program (dialogs,
// the message window) calls this once, usually in its constructor.
// contestoHelp is the window's F1 topic; a Maschera uses its helpContext
// instead, and a control with its own "helpContext" property wins over both.
void UsaTastieraComune(QWidget& finestra, int contestoHelp = 0);

// An Alt key that would type its character (Alt+letter, Alt+Shift+letter).
// No command is bound to it where it arrives, so it types nothing and
// changes nothing.
bool TastoAltDaIgnorare(const QKeyEvent& tasto);
// A window whose page turns Alt keys into commands: the common handling
// leaves them to it (it ignores those without a command itself).
void MarcaTastiPagina(QWidget& finestra);
bool TastieraComune(const QWidget* finestra);

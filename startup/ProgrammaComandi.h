#pragma once
// What the menu's command dispatcher needs from the running program.
#include <QString>

class ProgrammaComandi {
public:
    virtual ~ProgrammaComandi() = default;
    virtual int NumeroMaschereAperte() const = 0;
    // The program's end check; gives back the text explaining why the
    // program cannot end (empty when it has none).
    virtual QString ControlloFine() = 0;
    // "ritornoa": brings back the named screen, or refreshes the main screen
    // and focuses the active one when the name is empty or not open.
    virtual bool MascheraAperta(const QString& nome) const = 0;
    virtual void AggiornaPrincipale() = 0;
    virtual void ApriMascheraMenu(const QString& nome) = 0;  // with the launch object's values
    virtual void Attiva() = 0;                               // "attiva": launch object's "/F" screen
    virtual void PreparaPassaggio() = 0;                     // every open screen runs PassaA
    virtual QString ChiavePrimaria() const = 0;
    virtual QString ChiaveSecondaria() const = 0;
    virtual QString ComandoProgramma() const = 0;
    virtual void Avviso(const QString& testo) = 0;  // message window, single "&Ok"
};

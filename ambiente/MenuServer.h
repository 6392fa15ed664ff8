#pragma once
// The program's view of the suite's main menu. Every operation raises
// ErroreRun when the menu cannot be reached or refuses the request.
#include <QString>
#include <QStringList>

struct OggettoLancio {
    QString osParam;         // switches of the launch ("/F" screen, "/H" help file)
    QString osChiLancia;     // who launches
    QString osKeySecLancia;  // the launching key
    QString osParamLancia;   // the launch parameters
};

class MenuServer {
public:
    virtual ~MenuServer() = default;

    virtual void Registra(const QString& idMenu, const QString& idProgramma, const QString& parametri) = 0;
    // User setting of a group ("Tutti", ...); altri are the further values
    // some settings take (the macro code of "TastiCtrl", the launch text of
    // "AddSeg", the notice of "MsgBox").
    virtual QString ImpostazioneUtente(const QString& chiave, const QString& gruppo, const QStringList& altri = {}) = 0;
    virtual OggettoLancio Lancio() = 0;
    virtual QString IniPrincipale() = 0;
    // Named value; empty when the menu has none, "Err:..." on a failure.
    virtual QString Valore(const QString& nome) = 0;
    // Parameter of the current company; empty when not set.
    virtual QString ParametroDitta(const QString& nome) = 0;
    virtual void PassaMaschera(const QString& titolo, const QString& nome, const QString& chiave) = 0;
    virtual void MostraMenu(const QString& gruppo) = 0;
    // Launches the follow-up of a closed screen.
    virtual void LanciaSeguito(const QString& keyLancia, const QString& keySecLancia, const QString& paramLancia) = 0;
    // Tells the menu that the screen with that key has closed.
    virtual void MascheraChiusa(const QString& keySec) = 0;

    // Personal setting "Personal." + gruppo + ".§" + chiave through the named
    // value; the default when the menu has no such value.
    QString ValorePersonale(const QString& gruppo, const QString& chiave, const QString& predefinito = {});
};

#pragma once
// The program-wide values kept for the whole run (launch values, menu link,
// connection, settings, open screens) and the program's answers to the menu.
#include "ImpostazioniDitta.h"
#include "ImpostazioniGenerali.h"
#include "MenuServer.h"
#include "OspiteMaschere.h"
#include "ProgrammaComandi.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>

class ComponenteHelp;
class DatabaseLink;
class FinestraMessaggi;
class Maschera;
class RichiestaTesto;
class frmPrincipale;
class scMenuComandiClie;

struct ScalaturaVideo {
    double generale = 0;
    double staVid = 0;  // print preview
    double help = 0;
    double msgCom = 0;  // message window
};

class Programma : public ProgrammaComandi, public OspiteMaschere {
public:
    Programma(FinestraMessaggi& messaggi, RichiestaTesto& domande);
    ~Programma() override;
    Programma(const Programma&) = delete;
    Programma& operator=(const Programma&) = delete;

    // The running program (null before start-up and after the end).
    static Programma* Corrente();

    FinestraMessaggi& messaggi;
    RichiestaTesto& domande;

    // Builds the menu server for a menu instance; the socket client unless
    // a test puts another in its place.
    std::function<std::unique_ptr<MenuServer>(const QString&)> creaMenu;
    // Run when the closing routine has ended the program.
    std::function<void()> alTermine;

    QString idMenu, idProgramma, parametriLancio, testoLancio;
    QString iniPrincipale, iniLavoro, nomeDb, connectDb, testoConnessione;
    QString prepProcCorr, fileHelp, mascheraRichiesta;
    QString driveDB, dirQuiva, dirSorgenti, dirImmagini;
    QString soloAsci, dataMinima = QStringLiteral("01/01/1900"), beepCome;
    QString versione, dataVersione;
    double versMenu = 0;
    bool lisSpostaCurs = false, lisClickNoSel = false;
    ScalaturaVideo scala;
    OggettoLancio lancio;

    QString chiavePrimaria, chiaveSecondaria, comandoProgramma, motivoNonChiusura;
    bool caricamentoFallito = false;  // a screen failed to load
    bool menuPerso = false;           // the menu's link has closed
    bool terminato = false;

    ImpostazioniDitta ditta;
    ImpostazioniGenerali generali;
    std::unique_ptr<DatabaseLink> db;
    std::unique_ptr<DatabaseLink> dbComune;
    QHash<QString, QVariant> proprietaDb;

    std::unique_ptr<frmPrincipale> principale;
    std::unique_ptr<scMenuComandiClie> menuComandi;
    std::unique_ptr<ComponenteHelp> help;

    // The menu server; null before the link.
    MenuServer* Menu() const;
    // A key of the working INI.
    QString LeggiIni(const QString& sezione, const QString& chiave, const QString& predefinito = {}) const;

    QList<QPointer<Maschera>> maschere;  // open screens
    QPointer<Maschera> mascheraPrincipale;
    QList<Maschera*> MaschereAperte() const;
    Maschera* MascheraDiNome(const QString& nome) const;

    // The closing routine: closes every screen that agrees, then ends the
    // program. False when a screen stays open.
    bool ChiusuraProgramma(int modo);
    bool RileggiLancio();

    // ProgrammaComandi
    int NumeroMaschereAperte() const override;
    QString ControlloFine() override;
    bool MascheraAperta(const QString& nome) const override;
    void AggiornaPrincipale() override;
    void ApriMascheraMenu(const QString& nome) override;
    void Attiva() override;
    void PreparaPassaggio() override;
    QString ChiavePrimaria() const override { return chiavePrimaria; }
    QString ChiaveSecondaria() const override { return chiaveSecondaria; }
    QString ComandoProgramma() const override { return comandoProgramma; }
    void Avviso(const QString& testo) override;

    // OspiteMaschere
    const ImpostazioniGenerali& Generali() const override { return generali; }
    QString DescrizioneDitta() const override { return ditta.descrizione; }
    QString Versione() const override { return versione; }
    double ScalaGenerale() const override { return scala.generale; }
    bool Massimizzate() const override { return generali.Massimizza(idProgramma); }
    ServiziTastiera Tastiera() const override;
    void PassaAlMenu(Maschera& maschera) override;
    void MascheraChiusa(Maschera& maschera) override;
};

#include "Avvio.h"

#include "ComponenteHelp.h"
#include "Configurazione.h"
#include "DatabaseLink.h"
#include "ErroreRun.h"
#include "FileIni.h"
#include "FinestraMessaggi.h"
#include "FormUtility.h"
#include "FormUtilityAvvio.h"
#include "GestioneMaschere.h"
#include "Maschera.h"
#include "MenuServerSocket.h"
#include "ParametriDitta.h"
#include "Programma.h"
#include "TabelleQuiva.h"
#include "frmConn.h"
#include "frmPrincipale.h"
#include "scMenuComandiClie.h"

#include <QApplication>
#include <QDir>
#include <QJsonValue>
#include <QScreen>

#include <new>

namespace {

const QString Ok = QStringLiteral("&Ok");

QString RigaComando(const QString& testo)
{
    if (!testo.isEmpty() || !QCoreApplication::instance())
        return testo;
    return QCoreApplication::arguments().mid(1).join(QLatin1Char(' '));
}

void Messaggio(Programma& p, const QString& riga1, const QString& riga2)
{
    p.messaggi.MsgBox(riga1 + QLatin1Char('\n') + riga2, {Ok}, IconaMessaggio::Errore);
}

bool ValoreErrato(const QString& valore)
{
    return valore.left(4).compare(QLatin1String("Err:"), Qt::CaseInsensitive) == 0;
}

// Menu commands reach the dispatcher as the socket client receives them;
// when the menu goes away the program ends with it.
void CollegaComandi(Programma& p)
{
    auto* socket = dynamic_cast<MenuServerSocket*>(&p.menuComandi->ogMenuClient());
    if (!socket)
        return;
    QObject::connect(socket, &MenuServerSocket::MenuPerso, socket, [&p] {
        p.menuPerso = true;
        ChiudiProgramma();
    });
    socket->ImpostaGestoreComandi(
        [&p](const QString& a, const QString& b, const QString& comando, const QJsonValue& parametri) {
            QVariant risposta;
            if (p.menuComandi)
                p.menuComandi->EseguiComando(a, b, comando, parametri.toVariant(), risposta);
            return QJsonValue::fromVariant(risposta);
        });
}

double FattoreSchermo()
{
    const QScreen* schermo = QGuiApplication::primaryScreen();
    return schermo ? schermo->logicalDotsPerInch() / 96.0 : 1.0;
}

}  // namespace

SwitchP DividiSwitchP(const QString& valore)
{
    const QString v = valore.trimmed();
    const qsizetype spazio = v.indexOf(QLatin1Char(' '));
    if (spazio < 0)
        return {v, QString()};
    return {v.left(spazio).trimmed(), v.mid(spazio + 1).trimmed()};
}

double NumeroVersione(const QString& testo)
{
    QString t = testo.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double numero = t.toDouble(&ok);
    return ok ? numero : 0.0;
}

QStringList ArgomentiAddSeg(double versMenu, const QString& testoLancio, const QString& prepProcCorr)
{
    if (versMenu >= 1.07 - 1e-9)
        return {testoLancio, prepProcCorr};
    return {testoLancio};
}

ScalaturaVideo LeggiScalatura(const std::function<QString(const QString&, const QString&)>& leggi,
                              double fattoreSchermo)
{
    auto numero = [&](const char* chiave, const char* predefinito) {
        QString testo = leggi(QString::fromLatin1(chiave), QString::fromLatin1(predefinito)).trimmed();
        if (testo.isEmpty())
            testo = QString::fromLatin1(predefinito);
        return FormUtility::TestoADouble(testo).value_or(QString::fromLatin1(predefinito).toDouble());
    };
    constexpr double NonImpostato = -2;
    ScalaturaVideo s;
    s.generale = numero("Generale", "0");
    if (s.generale == NonImpostato)
        s.generale = numero("PersBase", "0");
    auto specifico = [&](const char* chiave) {
        const double valore = numero(chiave, "-2");
        const double risultato = valore == NonImpostato ? s.generale : valore;
        return risultato != 0 ? risultato : fattoreSchermo;
    };
    s.staVid = specifico("StaVid");
    s.help = specifico("Help");
    s.msgCom = specifico("MsgCom");
    if (s.generale == 0)
        s.generale = fattoreSchermo;
    return s;
}

bool ChiudiProgramma()
{
    Programma* p = Programma::Corrente();
    if (p && p->principale)
        return p->principale->ChiudiProgramma();
    if (p && p->alTermine) {
        p->terminato = true;
        p->alTermine();
    }
    return true;
}

bool Main(Programma& programma) { return AvvioProgramma(programma, QString()); }

bool AvvioProgramma(Programma& p, const QString& testo)
{
    const QString riga = RigaComando(testo);
    // 1. Switches.
    p.idMenu = FormUtility::LeggiSwitch(riga, QLatin1Char('M'));
    p.testoLancio = FormUtility::LeggiSwitch(riga, QLatin1Char('P'));
    const SwitchP switchP = DividiSwitchP(p.testoLancio);
    p.idProgramma = switchP.idProgramma;
    p.parametriLancio = switchP.parametri;
    p.comandoProgramma = riga;
    p.chiavePrimaria = p.idProgramma;

    // 2. Hidden main window.
    p.principale = std::make_unique<frmPrincipale>([&p](int modo) { return p.ChiusuraProgramma(modo); });

    // 3. Menu link.
    try {
        if (p.idMenu.isEmpty())
            throw ErroreRun(CodiciErrore::MenuNonInEsecuzione,
                            FormUtility::TestoCodiceErrore(CodiciErrore::MenuNonInEsecuzione));
        p.menuComandi = std::make_unique<scMenuComandiClie>(p.creaMenu(p.idMenu), p);
        CollegaComandi(p);
        p.Menu()->Registra(p.idMenu, p.idProgramma, p.parametriLancio);
        p.prepProcCorr = p.Menu()->ImpostazioneUtente(QStringLiteral("PrepProcCorr"), QStringLiteral("Tutti"));
    } catch (const std::exception& errore) {
        p.menuComandi.reset();
        if (FormUtility::NumeroErrore(errore) == CodiciErrore::MenuRifiutato)
            Messaggio(p, FormUtility::TestoCodiceErrore(CodiciErrore::MenuRifiutato),
                      FormUtility::DescrizioneErrore(errore));
        else
            Messaggio(p, QStringLiteral("Il menu principale non è in esecuzione"),
                      QStringLiteral("Questo programma non può essere eseguito autonomamente"));
        ChiudiProgramma();
        return false;
    }

    // 4. Launch object.
    try {
        p.lancio = p.Menu()->Lancio();
        p.fileHelp = FormUtility::LeggiSwitch(p.lancio.osParam, QLatin1Char('H'));
        p.chiaveSecondaria = p.lancio.osKeySecLancia;
    } catch (const std::exception&) {
        Messaggio(p, QStringLiteral("Problemi col collegamento col menù"),
                  QStringLiteral("Forse questo programma non è stato lanciato correttamente"));
        ChiudiProgramma();
        return false;
    }

    // 5 to 14 under one handler.
    try {
        MenuServer& menu = *p.Menu();
        p.iniPrincipale = menu.IniPrincipale();
        p.versione = menu.Valore(QStringLiteral("Versione"));
        p.dataVersione = menu.Valore(QStringLiteral("DataVersione"));
        frmConn connessione;
        connessione.Prepara(QStringLiteral("Quiva"), p.versione, p.dataVersione);
        p.nomeDb = menu.Valore(QStringLiteral("NomeDBAzie"));
        p.connectDb = menu.Valore(QStringLiteral("ConnectDBAzie"));

        // 6. Primary connection.
        ContestoConnessione c;
        c.menu = &menu;
        c.messaggi = &p.messaggi;
        c.domande = &p.domande;
        c.finestraConnessione = [&connessione](const QString& didascalia) { connessione.Stato(didascalia); };
        c.iniPrincipale = p.iniPrincipale;
        c.luoghi.switchI = FormUtility::LeggiSwitch(riga, QLatin1Char('I'));
        c.luoghi.fileInstallazione = FormUtility::FileInstallazione();
        c.luoghi.cartellaSistema = FormUtility::CartellaSistema();
        c.luoghi.cartellaProgramma = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
        c.luoghi.cartellaCorrente = QDir::currentPath();
        c.nomeDb = p.nomeDb;
        c.connect = p.connectDb;
        if (ApriConnessionePrimaria(c) != 0) {
            ChiudiProgramma();
            return false;
        }
        p.iniPrincipale = c.iniPrincipale;
        p.iniLavoro = c.iniLavoro;
        p.testoConnessione = c.testoConnessione;
        p.proprietaDb = c.proprieta;
        p.db = std::move(c.link);

        // 7. Connection name.
        if (!p.db || p.db->NomeConnessione().isEmpty() || ValoreErrato(p.db->NomeConnessione())) {
            ChiudiProgramma();
            return false;
        }

        // 9. The program's own initialisation.
        if (!InizializzaProgramma(p)) {
            ChiudiProgramma();  // the common database did not open; the user has been told
            return false;
        }

        // 10. Display scaling.
        p.scala = LeggiScalatura(
            [&p](const QString& chiave, const QString& predefinito) {
                return p.LeggiIni(QStringLiteral("Risoluzione Video"), chiave, predefinito);
            },
            FattoreSchermo());

        // 11. Images folder.
        bool trovato = false;
        QString immagini = FormUtility::LeggiIni(p.iniLavoro, QStringLiteral("Base"), QStringLiteral("DirImgEmail"),
                                                 QString(), &trovato);
        if (!trovato)
            immagini = p.LeggiIni(QStringLiteral("Base"), QStringLiteral("DirImmagini"));
        p.dirImmagini = FormUtility::CartellaConDrive(p.driveDB, immagini);

        // 12. Help and decoding component.
        p.help = std::make_unique<ComponenteHelp>(p.scala.help, p.principale.get(), p.Menu(), p.db.get());
        const QString hlpSpost = menu.ValorePersonale(QStringLiteral("Help"), QStringLiteral("HlpSpost"));
        if (!hlpSpost.isEmpty())
            p.help->ImpostaCursore(hlpSpost);

        // 13. General settings.
        p.mascheraRichiesta = FormUtility::LeggiSwitch(riga, QLatin1Char('F'));
        p.versMenu = NumeroVersione(menu.Valore(QStringLiteral("VersMenu")));
        p.prepProcCorr = menu.ImpostazioneUtente(QStringLiteral("AddSeg"), QStringLiteral("Tutti"),
                                                 ArgomentiAddSeg(p.versMenu, p.testoLancio, p.prepProcCorr));
        p.beepCome = p.LeggiIni(QStringLiteral("Parametri Generali"), QStringLiteral("BeepCome"));
        p.lisSpostaCurs = p.LeggiIni(QStringLiteral("Config"), QStringLiteral("LisSpostaCurs"), QStringLiteral("N"))
                              .trimmed()
                              .compare(QLatin1String("S"), Qt::CaseInsensitive)
            == 0;
        p.lisClickNoSel = p.LeggiIni(QStringLiteral("Config"), QStringLiteral("LisClickNoSel"), QStringLiteral("N"))
                              .trimmed()
                              .compare(QLatin1String("S"), Qt::CaseInsensitive)
            == 0;
        p.dataMinima =
            menu.ValorePersonale(QStringLiteral("Tutti"), QStringLiteral("DataMinima"), QStringLiteral("01/01/1900"));

        // 14. The requested screen. Without it there is nothing to keep the
        // program running: it ends once the user has read why.
        ApriMaschera(p.mascheraRichiesta, true, p.parametriLancio, p.lancio.osChiLancia, p.lancio.osKeySecLancia,
                     p.lancio.osParamLancia);
        if (p.NumeroMaschereAperte() == 0) {
            ChiudiProgramma();
            return false;
        }
        return true;
    } catch (const std::bad_alloc&) {
        Messaggio(p, QStringLiteral("Memoria esaurita"), QStringLiteral("Chiudere qualche programma e riprovare"));
    } catch (const std::exception& errore) {
        const int numero = FormUtility::NumeroErrore(errore);
        if (numero == CodiciErrore::MenuNonInEsecuzione)
            Messaggio(p, QStringLiteral("Il menu principale non è in esecuzione"),
                      QStringLiteral("Questo programma non può essere eseguito autonomamente"));
        else if (numero == CodiciErrore::MemoriaEsaurita)
            Messaggio(p, QStringLiteral("Memoria esaurita"), QStringLiteral("Chiudere qualche programma e riprovare"));
        else
            Messaggio(p,
                      QStringLiteral("Errore (") + QString::number(numero) + QStringLiteral("): ")
                          + FormUtility::DescrizioneErrore(errore),
                      QStringLiteral("Probabilmente il menù non è stato avviato correttamente"));
    }
    ChiudiProgramma();
    return false;
}

namespace {

// A company made by another tool may lack the definition and error tables
// (made here as quiva-load makes them) or the currency table (its defaults
// are used instead, with a notice).
void PreparaDitta(Programma& p)
{
    if (!p.db)
        return;
    try {
        CreaTabelleQuiva(*p.db);
    } catch (const std::exception& errore) {
        p.messaggi.msgCom(QStringLiteral("Impossibile creare le tabelle delle definizioni di quivamento: ")
                              + FormUtility::DescrizioneErrore(errore),
                          {Ok});
    }
}

DatabaseLink* DittaConMonete(Programma& p)
{
    if (!p.db)
        return nullptr;
    if (p.db->EsisteTabella(QStringLiteral("Monete")))
        return p.db.get();
    p.messaggi.msgCom(QStringLiteral("La ditta non ha la tabella Monete: per lire ed euro si usano 2 decimali."), {Ok});
    return nullptr;
}

}  // namespace

bool InizializzaProgramma(Programma& p)
{
    PreparaDitta(p);
    LeggiParametriDitta(
        *p.Menu(), DittaConMonete(p),
        [&p](const QString& s, const QString& k, const QString& d) { return p.LeggiIni(s, k, d); }, p.ditta,
        p.generali);
    ContestoConnessione c;
    c.menu = p.Menu();
    c.messaggi = &p.messaggi;
    c.domande = &p.domande;
    c.iniLavoro = p.iniLavoro;
    if (!ApriDbComune(c, p.dbComune))
        return false;
    p.driveDB = p.LeggiIni(QStringLiteral("Base"), QStringLiteral("DriveDB"));
    p.dirQuiva = p.LeggiIni(QStringLiteral("Base"), QStringLiteral("DirQuiva"));
    p.dirSorgenti = FormUtility::CartellaConDrive(p.driveDB, p.dirQuiva);
    p.soloAsci = p.Menu()->ValorePersonale(QStringLiteral("Quiva"), QStringLiteral("SoloAsci"));
    return true;
}

bool ApriMaschera(const QString& nome, bool primo, const QString& parametri, const QString& chiLancia,
                  const QString& keySecLancia, const QString& paramLancia)
{
    (void)primo;
    Programma* p = Programma::Corrente();
    const QString n = nome.trimmed();
    Maschera* maschera = n.isEmpty() ? nullptr : RegistroMaschere::Crea(n);
    if (!maschera) {
        if (p)
            p->messaggi.msgCom(QStringLiteral("La form richiesta e' inesistente"), {Ok});
        return false;
    }
    const QString chiave = p ? p->idProgramma : QString();
    return MostraMaschera(maschera, chiave, chiLancia, keySecLancia, paramLancia.isEmpty() ? parametri : paramLancia);
}

// Reads the menu's launch object again; false after showing the error.
bool Programma::RileggiLancio()
{
    try {
        if (Menu())
            lancio = Menu()->Lancio();
        return true;
    } catch (const std::exception& errore) {
        messaggi.MsgErrfrm(errore);
        return false;
    }
}

void Programma::ApriMascheraMenu(const QString& nome)
{
    if (RileggiLancio())
        ApriMaschera(nome, false, parametriLancio, lancio.osChiLancia, lancio.osKeySecLancia, lancio.osParamLancia);
}

void Programma::Attiva()
{
    if (RileggiLancio())
        ApriMaschera(FormUtility::LeggiSwitch(lancio.osParam, QLatin1Char('F')), false, parametriLancio,
                     lancio.osChiLancia, lancio.osKeySecLancia, lancio.osParamLancia);
}

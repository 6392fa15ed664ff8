#include "GestioneMaschere.h"

#include "AspettoMaschere.h"
#include "ErroreRun.h"
#include "FinestraMessaggi.h"
#include "FormUtilityAvvio.h"
#include "Maschera.h"
#include "Programma.h"
#include "frmPrincipale.h"

#include <exception>

bool MostraMaschera(Maschera* maschera, const QString& keySec, const QString& keyLancia, const QString& keySecLancia,
                    const QString& paramLancia)
{
    Programma* p = Programma::Corrente();
    if (!maschera) {
        if (p)
            p->messaggi.msgCom(QStringLiteral("Impossibile aprire il programma richiesto"), {QStringLiteral("&Ok")});
        return false;
    }
    if (p) {
        if (Maschera* aperta = p->MascheraDiNome(maschera->osNome)) {
            delete maschera;
            aperta->AttivatoDaAltri();
            if (p->principale)
                p->principale->PortaAvanti(aperta);
            return true;
        }
    }
    maschera->osKeySec = keySec;
    maschera->osKeyLancia = keyLancia;
    maschera->osKeySecLancia = keySecLancia;
    maschera->osParamLancia = paramLancia;
    try {
        maschera->Carica();
        maschera->oiLoadOk = 1;
    } catch (const std::exception& errore) {
        const QString didascalia = maschera->windowTitle();
        maschera->oiLoadOk = -1;
        const auto* run = dynamic_cast<const ErroreRun*>(&errore);
        AvvisoErrore(run ? run->numero() : CodiciErrore::ErroreGenerico,
                     run ? run->descrizione() : QString::fromUtf8(errore.what()), didascalia,
                     QLatin1Char('\n') + didascalia);
        ChiudiCaricamento(*maschera);
        delete maschera;
        if (p) {
            p->caricamentoFallito = false;  // the failed screen is gone with its flag
            p->messaggi.msgCom(QStringLiteral("Impossibile aprire il programma richiesto"), {QStringLiteral("&Ok")});
        }
        return false;
    }
    ChiudiCaricamento(*maschera);
    if (p) {
        p->maschere.append(maschera);
        if (!p->mascheraPrincipale)
            p->mascheraPrincipale = maschera;
    }
    maschera->show();
    maschera->raise();
    maschera->activateWindow();
    return true;
}

void AvvisoErrore(int numero, const QString& descrizione, const QString& didascalia, const QString& testo)
{
    Programma* p = Programma::Corrente();
    const QString descr = descrizione.isEmpty() ? FormUtility::TestoCodiceErrore(numero) : descrizione;
    const QString avviso = QStringLiteral("Errore(") + QString::number(numero) + QStringLiteral("): ") + descr + testo;
    (void)didascalia;
    if (!p)
        return;
    p->caricamentoFallito = true;
    bool mostrato = false;
    if (MenuServer* menu = p->Menu()) {
        try {
            menu->ImpostazioneUtente(QStringLiteral("MsgBox"), QStringLiteral("Tutti"), {avviso});
            mostrato = true;
        } catch (const std::exception&) {
        }
    }
    if (!mostrato)  // without the menu the notice would be lost
        p->messaggi.msgCom(avviso, {QStringLiteral("&Ok")});
}

void PassaMascheraAlMenu(Maschera& maschera)
{
    Programma* p = Programma::Corrente();
    if (!p || !p->Menu())
        return;
    try {
        p->Menu()->PassaMaschera(maschera.windowTitle(), maschera.osNome, maschera.osKeySec);
    } catch (const std::exception&) {
    }
}

void ChiudiMaschera(Maschera& maschera)
{
    Programma* p = Programma::Corrente();
    if (!p)
        return;
    p->maschere.removeAll(QPointer<Maschera>(&maschera));
    MenuServer* menu = p->menuPerso ? nullptr : p->Menu();
    if (maschera.oiLoadOk == 1 && !p->caricamentoFallito && menu) {
        try {
            if (maschera.osKeyLancia.isEmpty())
                menu->MostraMenu(QStringLiteral("Tutti"));
            else
                menu->LanciaSeguito(maschera.osKeyLancia, maschera.osKeySecLancia, maschera.osParamLancia);
            if (!maschera.osKeySec.isEmpty())
                menu->MascheraChiusa(maschera.osKeySec);
        } catch (const std::exception&) {
            // the menu has gone: nothing left to tell it
        }
    }
    p->caricamentoFallito = false;
    // No screen left: the program ends, however the last one went.
    if (p->NumeroMaschereAperte() == 0 && p->principale)
        p->principale->ChiudiProgramma();
}

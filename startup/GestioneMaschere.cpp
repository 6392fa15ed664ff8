#include "GestioneMaschere.h"

#include "ErroreRun.h"
#include "FinestraMessaggi.h"
#include "FormUtilityAvvio.h"
#include "Maschera.h"
#include "Programma.h"
#include "Tastiera.h"
#include "frmPrincipale.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

#include <exception>

namespace {

QColor ColoreSuite(std::uint32_t colore)
{
    return QColor(static_cast<int>(colore & 0xFF), static_cast<int>((colore >> 8) & 0xFF), static_cast<int>((colore >> 16) & 0xFF));
}

QWidget* FinestraCaricamento(const QString& didascaliaMaschera)
{
    auto* finestra = new QWidget(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint);
    finestra->setAttribute(Qt::WA_DeleteOnClose);
    finestra->setWindowTitle(QStringLiteral("Quivamento maschera"));
    auto* layout = new QVBoxLayout(finestra);
    auto* testo = new QLabel(didascaliaMaschera + QLatin1Char(' ') + finestra->windowTitle(), finestra);
    testo->setAlignment(Qt::AlignCenter);
    layout->addWidget(testo);
    finestra->resize(320, 80);
    if (QScreen* schermo = QApplication::primaryScreen())
        finestra->move(schermo->availableGeometry().center() - finestra->rect().center());
    finestra->show();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return finestra;
}

void ChiudiCaricamento(Maschera& maschera)
{
    if (maschera.finestraCaricamento)
        maschera.finestraCaricamento->close();
    maschera.finestraCaricamento = nullptr;
}

}  // namespace

int LarghezzaTitolo(const QString& titolo)
{
    // The title bar's font is the window manager's: the application font
    // with room for the frame and the buttons is a fair measure.
    return QFontMetrics(QApplication::font()).horizontalAdvance(titolo) + 140;
}

int AbilitazioneScrittura(const QString& parametri)
{
    return FormUtility::OpzioneLancio(parametri, QStringLiteral("RO")) == QLatin1String("/RO") ? 0 : 1;
}

QString DecoraTitolo(const QString& didascalia)
{
    const Programma* p = Programma::Corrente();
    if (!p)
        return didascalia;
    QString titolo = didascalia;
    if (!p->ditta.descrizione.isEmpty())
        titolo += QStringLiteral(" - ") + p->ditta.descrizione;
    if (!p->versione.isEmpty())
        titolo += QStringLiteral(" (Vers. ") + p->versione + QLatin1Char(')');
    return titolo;
}

double FattoreVideo()
{
    const Programma* p = Programma::Corrente();
    if (p && p->scala.generale > 0)
        return p->scala.generale;
    const QScreen* schermo = QApplication::primaryScreen();
    return schermo ? schermo->logicalDotsPerInch() / 96.0 : 1.0;
}

int Twip(int twips)
{
    return qRound(twips / 15.0 * FattoreVideo());
}

void PreparaMaschera(Maschera& maschera, const QString& listaNoColore, const OpzioniMaschera& opzioni)
{
    const Programma* p = Programma::Corrente();
    const std::uint32_t colBackForm = p ? p->generali.colBackForm : 0;
    if (colBackForm != 0) {
        const QColor colore = ColoreSuite(colBackForm);
        const QString lista = listaNoColore.toLower();
        auto escluso = [&](const QWidget* w) {
            return !w->objectName().isEmpty() && lista.contains(w->objectName().toLower() + QLatin1Char(','));
        };
        QPalette tavolozza = maschera.palette();
        tavolozza.setColor(QPalette::Window, colore);
        maschera.setPalette(tavolozza);
        maschera.setAutoFillBackground(true);
        // Controls painted with the button face: labels, check and option
        // boxes, frames.
        const auto figli = maschera.findChildren<QWidget*>();
        for (QWidget* w : figli) {
            const bool facciaPulsante = qobject_cast<QLabel*>(w) || qobject_cast<QCheckBox*>(w)
                                        || qobject_cast<QRadioButton*>(w) || qobject_cast<QGroupBox*>(w);
            if (!facciaPulsante || escluso(w))
                continue;
            QPalette pw = w->palette();
            pw.setColor(QPalette::Window, colore);
            w->setPalette(pw);
        }
    }
    if (!opzioni.silenziosa)
        maschera.finestraCaricamento = FinestraCaricamento(maschera.windowTitle());
    for (QLabel* etichetta : maschera.findChildren<QLabel*>())
        etichetta->setBuddy(nullptr);  // "&" is plain text
    maschera.setWindowTitle(DecoraTitolo(maschera.windowTitle()));
    UsaTastieraComune(maschera);
    if (opzioni.soloLettura)
        maschera.oiAbilRW = AbilitazioneScrittura(maschera.osParamLancia);
    if (opzioni.scala) {
        const double fattore = FattoreVideo();
        if (fattore > 0)
            for (QObject* pagina : opzioni.pagine)
                pagina->setProperty("RisVid", fattore);
    }
    if (p && p->generali.Massimizza(p->idProgramma))
        maschera.setWindowState(maschera.windowState() | Qt::WindowMaximized);
}

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
        AvvisoErrore(run ? run->numero() : CodiciErrore::ErroreGenerico, run ? run->descrizione() : QString::fromUtf8(errore.what()),
                     didascalia, QLatin1Char('\n') + didascalia);
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

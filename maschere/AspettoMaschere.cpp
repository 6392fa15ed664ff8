#include "AspettoMaschere.h"

#include "FormUtilityAvvio.h"
#include "ImpostazioniGenerali.h"
#include "Maschera.h"
#include "OspiteMaschere.h"
#include "Tastiera.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

QColor ColoreSuite(std::uint32_t colore)
{
    return QColor(static_cast<int>(colore & 0xFF), static_cast<int>((colore >> 8) & 0xFF),
                  static_cast<int>((colore >> 16) & 0xFF));
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

}  // namespace

void ChiudiCaricamento(Maschera& maschera)
{
    if (maschera.finestraCaricamento)
        maschera.finestraCaricamento->close();
    maschera.finestraCaricamento = nullptr;
}

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
    const OspiteMaschere* ospite = OspiteMaschere::Corrente();
    if (!ospite)
        return didascalia;
    QString titolo = didascalia;
    if (const QString ditta = ospite->DescrizioneDitta(); !ditta.isEmpty())
        titolo += QStringLiteral(" - ") + ditta;
    if (const QString versione = ospite->Versione(); !versione.isEmpty())
        titolo += QStringLiteral(" (Vers. ") + versione + QLatin1Char(')');
    return titolo;
}

double FattoreVideo()
{
    const OspiteMaschere* ospite = OspiteMaschere::Corrente();
    if (ospite && ospite->ScalaGenerale() > 0)
        return ospite->ScalaGenerale();
    const QScreen* schermo = QApplication::primaryScreen();
    return schermo ? schermo->logicalDotsPerInch() / 96.0 : 1.0;
}

int Twip(int twips) { return qRound(twips / 15.0 * FattoreVideo()); }

void PreparaMaschera(Maschera& maschera, const QString& listaNoColore, const OpzioniMaschera& opzioni)
{
    const OspiteMaschere* ospite = OspiteMaschere::Corrente();
    const std::uint32_t colBackForm = ospite ? ospite->Generali().colBackForm : 0;
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
    if (ospite && ospite->Massimizzate())
        maschera.setWindowState(maschera.windowState() | Qt::WindowMaximized);
}

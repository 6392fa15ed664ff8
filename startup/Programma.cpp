#include "Programma.h"

#include "ComponenteHelp.h"
#include "DatabaseLink.h"
#include "FileIni.h"
#include "FinestraMessaggi.h"
#include "FormUtility.h"
#include "GestioneMaschere.h"
#include "Maschera.h"
#include "MenuServerSocket.h"
#include "Tastiera.h"
#include "frmPrincipale.h"
#include "scMenuComandiClie.h"

#include <QApplication>

namespace {
Programma* g_corrente = nullptr;
}

Programma::Programma(FinestraMessaggi& messaggi_, RichiestaTesto& domande_) : messaggi(messaggi_), domande(domande_)
{
    g_corrente = this;
    creaMenu = [](const QString& idMenu) -> std::unique_ptr<MenuServer> {
        return std::make_unique<MenuServerSocket>(idMenu);
    };
    alTermine = [] { QCoreApplication::exit(0); };
}

Programma::~Programma()
{
    for (const QPointer<Maschera>& m : maschere)
        delete m.data();
    help.reset();
    menuComandi.reset();
    principale.reset();
    dbComune.reset();
    db.reset();
    if (g_corrente == this)
        g_corrente = nullptr;
}

Programma* Programma::Corrente() { return g_corrente; }

MenuServer* Programma::Menu() const { return menuComandi ? &menuComandi->ogMenuClient() : nullptr; }

QString Programma::LeggiIni(const QString& sezione, const QString& chiave, const QString& predefinito) const
{
    return FormUtility::LeggiIni(iniLavoro, sezione, chiave, predefinito);
}

QList<Maschera*> Programma::MaschereAperte() const
{
    QList<Maschera*> aperte;
    for (const QPointer<Maschera>& m : maschere)
        if (m)
            aperte << m.data();
    return aperte;
}

Maschera* Programma::MascheraDiNome(const QString& nome) const
{
    for (Maschera* m : MaschereAperte())
        if (m->osNome.compare(nome.trimmed(), Qt::CaseInsensitive) == 0)
            return m;
    return nullptr;
}

int Programma::NumeroMaschereAperte() const { return static_cast<int>(MaschereAperte().size()); }

bool Programma::ChiusuraProgramma(int)
{
    for (Maschera* m : MaschereAperte())
        m->close();
    if (NumeroMaschereAperte() > 0)
        return false;
    terminato = true;
    dbComune.reset();
    db.reset();
    if (alTermine)
        alTermine();
    return true;
}

QString Programma::ControlloFine()
{
    QString motivo = motivoNonChiusura;
    for (Maschera* m : MaschereAperte()) {
        QString perche;
        if (!m->PuoChiudere(perche) && motivo.isEmpty())
            motivo = perche;
    }
    return motivo;
}

bool Programma::MascheraAperta(const QString& nome) const { return MascheraDiNome(nome) != nullptr; }

void Programma::AggiornaPrincipale()
{
    if (mascheraPrincipale && mascheraPrincipale->isVisible())
        mascheraPrincipale->Aggiorna();
    if (QWidget* attiva = QApplication::activeWindow())
        attiva->setFocus();
    else if (mascheraPrincipale)
        mascheraPrincipale->activateWindow();
}

void Programma::Avviso(const QString& testo) { messaggi.msgCom(testo, {QStringLiteral("&Ok")}); }

void Programma::PreparaPassaggio()
{
    for (Maschera* m : MaschereAperte())
        m->PassaA();
}

ServiziTastiera Programma::Tastiera() const
{
    ServiziTastiera servizi;
    servizi.menu = Menu();
    servizi.messaggi = &messaggi;
    servizi.domande = &domande;
    servizi.fileHelp = fileHelp;
    servizi.tastierinoVirgola = generali.tastierinoVirgola;
    return servizi;
}

void Programma::PassaAlMenu(Maschera& maschera) { PassaMascheraAlMenu(maschera); }

void Programma::MascheraChiusa(Maschera& maschera) { ChiudiMaschera(maschera); }

#include "frmPrincipale.h"

frmPrincipale::frmPrincipale(std::function<bool(int)> chiusura) : m_chiusura(std::move(chiusura))
{
    setObjectName(QStringLiteral("frmPrincipale"));
    setWindowTitle(QStringLiteral("Form Principale del programma"));
    lblChiusura = new QLabel(this);
    lblChiusura->setObjectName(QStringLiteral("lblChiusura"));
    timChiudi.setSingleShot(false);
    timChiudi.setInterval(1);
    timVarie.setInterval(100);
    connect(&timChiudi, &QTimer::timeout, this, &frmPrincipale::TimChiudiTick);
    connect(&timVarie, &QTimer::timeout, this, &frmPrincipale::TimVarieTick);
}

bool frmPrincipale::ChiudiProgramma()
{
    oiChiudi = 0;
    timChiudi.start();
    return true;
}

void frmPrincipale::TimChiudiTick()
{
    timChiudi.stop();
    const int modo = oiChiudi;
    if (m_chiusura && m_chiusura(modo))
        return;
    // Not closed: try again, at once after a long wait, after the waiting
    // time otherwise. The timer is always armed again, so the program cannot
    // be left running with no closing pending.
    oiChiudi = modo;
    timChiudi.setInterval(timChiudi.interval() == 3000 ? 1 : oiTmpAttesa);
    timChiudi.start();
}

void frmPrincipale::PortaAvanti(QWidget* finestra)
{
    daPortareAvanti = finestra;
    oiFlagVarie = 1;
    timVarie.start();
}

void frmPrincipale::TimVarieTick()
{
    timVarie.stop();
    if (oiFlagVarie != 1)
        return;
    oiFlagVarie = 0;
    if (daPortareAvanti) {
        if (daPortareAvanti->isMinimized())
            daPortareAvanti->showNormal();
        daPortareAvanti->show();
        daPortareAvanti->raise();
        daPortareAvanti->activateWindow();
    }
}

// quiva: the desktop program, started by the main menu.
#include "Avvio.h"
#include "Programma.h"
#include "StileFuoco.h"
#include "TraduzioniQt.h"
#include "frmMsgCom.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quiva"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quiva"));
    InstallaTraduzioniQt(app);
    UsaStileFuoco();
    QApplication::setQuitOnLastWindowClosed(false);  // the program ends through its closing routine
    MessaggiDesktop messaggi;
    Programma programma(messaggi, messaggi);
    Main(programma);
    if (programma.terminato)
        return 0;
    return app.exec();
}

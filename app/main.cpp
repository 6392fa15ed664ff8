// quiva: the desktop program, started by the main menu.
#include "Avvio.h"
#include "Programma.h"
#include "StileFuoco.h"
#include "TraduzioniQt.h"
#include "VersioneQuiva.h"
#include "frmMsgCom.h"

#include <QApplication>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    // The menu starts the program with its launch parameters; --version
    // alone is for the user at a terminal, and needs no display.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::puts("quiva " QUIVA_VERSIONE);
        return 0;
    }
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

// quiva-menu: the main menu that starts Quiva and keeps it company.
#include "ConfigurazioneMenu.h"
#include "FinestraMenu.h"
#include "ServerMenu.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QMessageBox>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quiva-menu"));
    QCommandLineParser opzioni;
    opzioni.setApplicationDescription(QStringLiteral("Menu principale per Quiva"));
    opzioni.addHelpOption();
    QCommandLineOption config(QStringLiteral("config"), QStringLiteral("File di configurazione del menu."), QStringLiteral("file"),
                              ConfigurazioneMenu::PercorsoPredefinito());
    QCommandLineOption ditta(QStringLiteral("ditta"), QStringLiteral("Database della ditta (crea la configurazione se manca)."),
                             QStringLiteral("file"));
    QCommandLineOption avvia(QStringLiteral("avvia"), QStringLiteral("Avvia subito Quiva sulla maschera indicata."), QStringLiteral("maschera"));
    opzioni.addOptions({config, ditta, avvia});
    opzioni.process(app);

    ConfigurazioneMenu configurazione(opzioni.value(config));
    if (opzioni.isSet(ditta))
        configurazione.CreaPredefinita(opzioni.value(ditta));
    ServerMenu server(configurazione);
    QString errore;
    if (!server.Avvia(&errore)) {
        QMessageBox::critical(nullptr, QStringLiteral("quiva-menu"), QStringLiteral("Impossibile avviare il menu: ") + errore);
        return 1;
    }
    FinestraMenu finestra(configurazione, server);
    finestra.show();
    if (opzioni.isSet(avvia))
        finestra.Avvia(opzioni.value(avvia));
    return app.exec();
}

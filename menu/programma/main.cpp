// quiva-menu: the main menu that starts Quiva and keeps it company.
#include "ConfigurazioneMenu.h"
#include "FinestraMenu.h"
#include "ServerMenu.h"
#include "TraduzioniQt.h"
#include "VersioneQuiva.h"

#include <CLI/CLI.hpp>
#include <QApplication>
#include <QMessageBox>

int main(int argc, char** argv)
{
    CLI::App cli {"Menu principale per Quiva."};
    cli.set_version_flag("--version", "quiva-menu " QUIVA_VERSIONE, "Mostra la versione ed esce");
    std::string config = ConfigurazioneMenu::PercorsoPredefinito().toStdString();
    std::string ditta;
    std::string avvia;
    cli.add_option("--config", config, "File di configurazione del menu")->capture_default_str();
    cli.add_option("--ditta", ditta, "Database della ditta (crea la configurazione se manca)");
    cli.add_option("--avvia", avvia, "Avvia subito Quiva sulla maschera indicata");
    CLI11_PARSE(cli, argc, argv);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quiva-menu"));
    InstallaTraduzioniQt(app);
    ConfigurazioneMenu configurazione(QString::fromStdString(config));
    if (!ditta.empty())
        configurazione.CreaPredefinita(QString::fromStdString(ditta));
    ServerMenu server(configurazione);
    QString errore;
    if (!server.Avvia(&errore)) {
        QMessageBox::critical(nullptr, QStringLiteral("quiva-menu"),
                              QStringLiteral("Impossibile avviare il menu: ") + errore);
        return 1;
    }
    FinestraMenu finestra(configurazione, server);
    finestra.show();
    if (!avvia.empty())
        finestra.Avvia(QString::fromStdString(avvia));
    return app.exec();
}

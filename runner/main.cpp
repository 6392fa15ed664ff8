// quiva-load: runs load definitions without screens, in the order given, the
// way the load dialog does.
#include "ConsoleMessaggi.h"
#include "ConsoleProgress.h"
#include "DatabaseLink.h"
#include "FileIni.h"
#include "FormUtility.h"
#include "Interruzione.h"
#include "MenuDaFile.h"
#include "RisposteValBase.h"
#include "ScQuiva.h"
#include "StatoElaborazione.h"
#include "TabelleQuiva.h"
#include "ValoriBaseConsole.h"
#include "ValueStore.h"

#include <CLI/CLI.hpp>
#include <QCoreApplication>
#include <cstdio>
#include <unistd.h>

namespace {

// The source-file folder: "DirQuiva" with "DriveDB" in front unless it is
// already absolute.
QString CartellaQuiva(const QString& drive, const QString& cartella)
{
    if (cartella.startsWith(QLatin1String("\\\\")) || cartella.startsWith(QLatin1Char('/'))
        || (cartella.size() >= 2 && cartella[1] == u':'))
        return cartella;
    return drive + cartella;
}

void Stampa(const QString& testo)
{
    std::fputs(testo.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    CLI::App cli{"Carica i file di testo nel database della ditta secondo le definizioni indicate."};
    std::string percorsoDb, percorsoIni;
    std::vector<std::string> codici;
    cli.add_option("--db", percorsoDb, "File del database della ditta")->required();
    cli.add_option("--ini", percorsoIni, "File INI con la sezione Base (DriveDB, DirQuiva)");
    cli.add_option("codici", codici, "Codici delle definizioni da caricare, nell'ordine")->required();
    std::string percorsoMenu;
    cli.add_option("--config", percorsoMenu,
                   "File di configurazione del menu: parametri della ditta (monete, cambio lire/euro)");
    std::vector<std::string> impostati;
    bool batch = false;
    cli.add_option("--set", impostati, "Risposta a un valore base richiesto: CODICE.NomeCampo=VALORE (ripetibile)");
    cli.add_flag("--batch", batch, "Risponde ai valori base non indicati con --set con le costanti batch (CostBatch)");
    try {
        cli.parse(argc, argv);
    } catch (const CLI::ParseError& errore) {
        const int esito = cli.exit(errore);
        return esito == 0 ? 0 : 2;
    }

    ConsoleMessaggi messaggi;
    std::unique_ptr<DatabaseLink> db;
    try {
        db = DatabaseLink::ApriFile(QString::fromStdString(percorsoDb));
        CreaTabelleQuiva(*db);
    } catch (const std::exception& errore) {
        messaggi.msgCom(QStringLiteral("Errore nell'apertura del database %1: %2")
                            .arg(QString::fromStdString(percorsoDb), FormUtility::DescrizioneErrore(errore)),
                        {QStringLiteral("&Ok")});
        return 1;
    }

    ContestoQuiva contesto{*db, messaggi, ImpostazioniDitta{}, {}, {}, false};
    if (!percorsoMenu.empty()) {
        try {
            ImpostazioniDaFile(QString::fromStdString(percorsoMenu), *db, contesto.ditta);
        } catch (const std::exception& errore) {
            messaggi.MsgErrfrm(errore, QStringLiteral("Parametri della ditta"));
            return 1;
        }
    }
    if (!percorsoIni.empty()) {
        const FileIni ini = FileIni::Leggi(QString::fromStdString(percorsoIni));
        contesto.driveDB = ini.Valore(QStringLiteral("Base"), QStringLiteral("DriveDB")).value_or(QString());
        contesto.dirQuiva = CartellaQuiva(contesto.driveDB,
                                          ini.Valore(QStringLiteral("Base"), QStringLiteral("DirQuiva")).value_or(QString()));
    }

    OpzioniValBase opzioni;
    opzioni.batch = batch;
    opzioni.interattivo = isatty(STDIN_FILENO) != 0;
    for (const std::string& testo : impostati) {
        const auto coppia = DividiImpostazione(QString::fromStdString(testo));
        if (!coppia) {
            messaggi.msgCom(QStringLiteral("--set vuole CODICE.NomeCampo=VALORE: ") + QString::fromStdString(testo),
                            {QStringLiteral("&Ok")});
            return 2;
        }
        opzioni.impostati.insert(coppia->first, coppia->second);
    }
    QStringList elencoCodici;
    for (const std::string& codice : codici)
        elencoCodici << QString::fromStdString(codice);
    ValueStore valori;
    if (!PreparaValoriBase(*db, messaggi, elencoCodici, opzioni, valori))
        return 1;

    Interruzione::Installa(*db);
    ConsoleProgress progresso;
    long errori = 0;
    int esito = 0;
    StatoElaborazione.store(Stato::InCorso);
    for (const std::string& codice : codici) {
        if (StatoElaborazione.load() != Stato::InCorso)
            break;
        ScQuiva motore(contesto);
        motore.ogInElab = &progresso;
        motore.ogValDefault = &valori;
        progresso.Avanza(0, QStringLiteral("Preparazione ") + QString::fromStdString(codice));
        if (motore.LeggiTracciato(QString::fromStdString(codice)) != 0)
            continue;
        if (motore.QuivaDati(errori) != 0) {
            esito = 1;
            break;
        }
    }
    StatoElaborazione.store(Stato::Inattivo);
    if (errori != 0)
        Stampa(QStringLiteral("Elaborazione terminata con %1 errori\nmemorizzati nell'archivio 'ErroriQuivamento'").arg(errori));
    else
        Stampa(QStringLiteral("Elaborazione terminata"));
    return esito;
}

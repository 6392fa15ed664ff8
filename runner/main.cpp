// quiva-load: runs load definitions without screens, in the order given, the
// way the load dialog does.
#include "ConsoleMessaggi.h"
#include "ConsoleProgress.h"
#include "ContestoQuiva.h"
#include "DatabaseLink.h"
#include "ElencoBatch.h"
#include "EseguiDefinizioni.h"
#include "FileIni.h"
#include "FormUtility.h"
#include "FormUtilityAvvio.h"
#include "Interruzione.h"
#include "MenuDaFile.h"
#include "OpzioniEsame.h"
#include "OpzioniDefinizioni.h"
#include "PasswordConsole.h"
#include "Prova.h"
#include "RiepilogoQuiva.h"
#include "RigaComando.h"
#include "RisposteValBase.h"
#include "ScQuiva.h"
#include "ScartiQuiva.h"
#include "StatoElaborazione.h"
#include "TabelleQuiva.h"
#include "ValoriBaseConsole.h"
#include "ValueStore.h"
#include "VersioneQuiva.h"

#include <CLI/CLI.hpp>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QRegularExpression>
#include <cstdio>
#include <optional>
#include <unistd.h>

namespace {

// A password written into the connection text of the command line, where
// any user of the machine could read it.
bool PasswordSullaRiga(const QString& connessione)
{
    static const QRegularExpression password(QStringLiteral("(^|;)\\s*(PWD|PASSWORD)\\s*="),
                                             QRegularExpression::CaseInsensitiveOption);
    return password.match(connessione).hasMatch();
}

// The ODBC text for --connect or --dsn with the user and the password given
// (from QUIVA_DB_PASSWORD or asked for).
QString TestoConnessioneServer(const QString& connessione, const QString& dsn, const QString& utente,
                               const QString& chiave)
{
    QString testo = dsn.isEmpty() ? connessione : QStringLiteral("DSN=") + dsn;
    if (!utente.isEmpty())
        testo += (testo.endsWith(QLatin1Char(';')) ? QString() : QStringLiteral(";")) + QStringLiteral("UID=") + utente;
    if (!chiave.isEmpty())
        testo += (testo.endsWith(QLatin1Char(';')) ? QString() : QStringLiteral(";")) + QStringLiteral("PWD={")
            + QString(chiave).replace(QLatin1Char('}'), QStringLiteral("}}")) + QLatin1Char('}');
    return testo;
}

FILE* uscitaAvvisi = stdout;  // standard error when the JSON summary takes standard output

void Stampa(const QString& testo)
{
    std::fputs(testo.toUtf8().constData(), uscitaAvvisi);
    std::fputc('\n', uscitaAvvisi);
    std::fflush(uscitaAvvisi);
}

// Exit statuses, also in --help and the README.
constexpr int UscitaTerminata = 0;
constexpr int UscitaErrore = 1;
constexpr int UscitaRigaComando = 2;
constexpr int UscitaInterrotta = 130;

const char* const SpiegazioneUscita =
    "Stato di uscita:\n"
    "  0    ogni definizione indicata è stata caricata fino in fondo (righe scartate comprese)\n"
    "  1    una definizione non trovata, non valida o terminata con un errore; la ditta non esiste\n"
    "  2    riga di comando sbagliata\n"
    "  130  caricamento interrotto (Ctrl+C, SIGTERM, SIGHUP): quanto già scritto resta\n";

// The summary for scripts, to a file or to standard output ("-").
bool ScriviJson(const std::string& destinazione, const RiepilogoCorsa& corsa, int stato)
{
    QJsonObject json = JsonRiepilogo(corsa);
    json.insert(QStringLiteral("stato_uscita"), stato);
    const QByteArray testo = QJsonDocument(json).toJson(QJsonDocument::Indented);
    if (destinazione == "-") {
        std::fwrite(testo.constData(), 1, static_cast<size_t>(testo.size()), stdout);
        std::fflush(stdout);
        return true;
    }
    QFile file(QString::fromStdString(destinazione));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(testo) == testo.size())
        return true;
    std::fprintf(stderr, "Impossibile scrivere il riepilogo in %s: %s\n", destinazione.c_str(),
                 file.errorString().toUtf8().constData());
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    CLI::App cli {"Carica i file di testo nel database della ditta secondo le definizioni indicate.",
                  "quiva-load"};
    RigaComandoItaliana(cli);
    cli.footer(SpiegazioneUscita);
    cli.set_version_flag("--version", "quiva-load " QUIVA_VERSIONE, "Mostra la versione ed esce");
    std::string percorsoDb, percorsoIni, connessione, dsn, utente;
    std::vector<std::string> codici;
    auto* opzioneDb = cli.add_option("--db", percorsoDb, "File del database della ditta (deve esistere)")
                          ->type_name("FILE");
    bool nuovaDitta = false;
    cli.add_flag("--nuova-ditta", nuovaDitta, "Con --db: crea il file della ditta quando non esiste")
        ->needs(opzioneDb);
    int secondiAttesa = 180;
    cli.add_option("--attesa", secondiAttesa,
                   "Secondi di attesa quando un altro caricamento occupa la ditta (predefinito 180)")
        ->type_name("SECONDI")
        ->check(CLI::NonNegativeNumber);
    std::string fileJson;
    cli.add_option("--json", fileJson, "Scrive il riepilogo in JSON nel file FILE (- per l'uscita standard)")
        ->type_name("FILE");
    auto* opzioneConnect = cli.add_option(
        "--connect", connessione, "Testo di connessione ODBC al server (senza password: vedi QUIVA_DB_PASSWORD)")
        ->type_name("TESTO");
    auto* opzioneDsn = cli.add_option("--dsn", dsn, "Origine dati ODBC del database della ditta")->type_name("NOME");
    opzioneDb->excludes(opzioneConnect)->excludes(opzioneDsn);
    opzioneConnect->excludes(opzioneDsn);
    cli.add_option("--utente", utente, "Utente del server (con --dsn)")->type_name("UTENTE");
    bool chiediPassword = false;
    cli.add_flag("--chiedi-password", chiediPassword,
                 "Chiede la password del server: sul terminale senza mostrarla, altrimenti la prima riga "
                 "dell'ingresso")
        ->excludes(opzioneDb);
    cli.add_option("--ini", percorsoIni, "File INI con la sezione Base (DriveDB, DirQuiva)")->type_name("FILE");
    cli.add_option("codici", codici, "Codici delle definizioni da caricare, nell'ordine")->type_name("CODICE");
    std::string percorsoMenu;
    cli.add_option("--config", percorsoMenu,
                   "File di configurazione del menu: parametri della ditta (monete, cambio lire/euro)")
        ->type_name("FILE");
    std::vector<std::string> impostati;
    bool batch = false;
    // One answer per --set, so that the codes can follow it.
    cli.add_option("--set", impostati, "Risposta a un valore base richiesto: CODICE.NomeCampo=VALORE (ripetibile)")
        ->allow_extra_args(false)
        ->type_name("CODICE.CAMPO=VALORE");
    cli.add_flag("--batch", batch,
                 "Risponde ai valori base non indicati con --set con le costanti batch (CostBatch); "
                 "senza codici carica tutte le definizioni con Batch = S, in ordine di codice");
    std::string fileSorgente, fileScarti;
    bool prova = false;
    cli.add_option("--file", fileSorgente,
                   "Carica questo file al posto dell'Origine della definizione (un solo codice)")
        ->type_name("FILE");
    cli.add_option("--scarti", fileScarti,
                   "Scrive in questo file le righe scartate della definizione (un solo codice) senza caricare nulla")
        ->type_name("FILE");
    cli.add_flag(
        "--prova", prova,
        "Prova: esegue i caricamenti e annulla tutto alla fine; mostra le righe che sarebbero caricate e scartate");
    OpzioniDefinizioni definizioni;
    definizioni.Aggiungi(cli);
    OpzioniEsame anteprime;
    anteprime.Aggiungi(cli);
    try {
        cli.parse(argc, argv);
    } catch (const CLI::ParseError& errore) {
        return EsitoRigaComando(cli, errore);
    }
    if (fileJson == "-")
        uscitaAvvisi = stderr;
    auto rifiuta = [](const char* testo) {
        std::fprintf(stderr, "%s\n", testo);
        return 2;
    };
    if ((!fileSorgente.empty() || !fileScarti.empty()) && codici.size() != 1)
        return rifiuta("--file e --scarti vogliono un solo codice");
    if (codici.empty() && !batch && !definizioni.Richieste() && !anteprime.Richieste())
        return rifiuta("Indicare i codici delle definizioni da caricare (o --batch)");

    ConsoleMessaggi messaggi;
    if (percorsoDb.empty() && connessione.empty() && dsn.empty()) {
        messaggi.msgCom(QStringLiteral("Indicare il database della ditta: --db, --connect o --dsn"),
                        {QStringLiteral("&Ok")});
        return 2;
    }
    if (PasswordSullaRiga(QString::fromStdString(connessione))) {
        messaggi.msgCom(QStringLiteral("La password non va scritta sulla riga di comando: metterla nella "
                                       "variabile d'ambiente QUIVA_DB_PASSWORD o usare --chiedi-password"),
                        {QStringLiteral("&Ok")});
        return 2;
    }
    const QString chiave = chiediPassword ? ChiediPassword(QStringLiteral("Password del database: "))
                                          : qEnvironmentVariable("QUIVA_DB_PASSWORD");
    const QString testoServer = TestoConnessioneServer(QString::fromStdString(connessione),
                                                       QString::fromStdString(dsn), QString::fromStdString(utente), chiave);
    const QString nomeDb = percorsoDb.empty() ? QString::fromStdString(dsn.empty() ? connessione : dsn)
                                              : QString::fromStdString(percorsoDb);
    // A mistyped company is not a new one: SQLite would create the file.
    if (!percorsoDb.empty() && !nuovaDitta && !QFileInfo::exists(nomeDb)) {
        messaggi.msgCom(QStringLiteral("Il database della ditta non esiste: ") + nomeDb, {QStringLiteral("&Ok")});
        return UscitaErrore;
    }
    std::unique_ptr<DatabaseLink> db;
    std::optional<ProvaSenzaScritture> transazioneProva;  // --prova: rolled back before the connection closes
    try {
        db = percorsoDb.empty() ? DatabaseLink::ApriServer(testoServer) : DatabaseLink::ApriFile(nomeDb);
        if (prova)
            transazioneProva.emplace(*db);
        CreaTabelleQuiva(*db);
    } catch (const std::exception& errore) {
        messaggi.msgCom(QStringLiteral("Errore nell'apertura del database %1: %2")
                            .arg(nomeDb, FormUtility::DescrizioneErrore(errore)),
                        {QStringLiteral("&Ok")});
        return 1;
    }

    if (definizioni.Richieste())
        return definizioni.Esegui(*db, messaggi);

    ContestoQuiva contesto {*db, messaggi, ImpostazioniDitta {}, {}, {}, false};
    contesto.secondiAttesa = secondiAttesa;
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
        contesto.dirQuiva = FormUtility::CartellaConDrive(
            contesto.driveDB, ini.Valore(QStringLiteral("Base"), QStringLiteral("DirQuiva")).value_or(QString()));
    }

    if (anteprime.Richieste()) {
        ValueStore valori;
        if (anteprime.Anteprima()) {
            OpzioniValBase opzioni;
            opzioni.batch = batch;
            opzioni.interattivo = isatty(STDIN_FILENO) != 0;
            for (const std::string& testo : impostati)
                if (const auto coppia = DividiImpostazione(QString::fromStdString(testo)))
                    opzioni.impostati.insert(coppia->first, coppia->second);
            if (!PreparaValoriBase(*db, messaggi, {QString::fromStdString(anteprime.CodiceAnteprima())}, opzioni,
                                   valori))
                return 1;
        }
        return anteprime.Esegui(contesto, valori, codici.empty() ? QString() : QString::fromStdString(codici.front()),
                                definizioni.Sostituisci());
    }

    if (!fileScarti.empty()) {
        try {
            const int righe = ScartiQuiva::Salva(contesto, QString::fromStdString(codici.front()),
                                                 QString::fromStdString(fileScarti));
            Stampa(QStringLiteral("%1 righe").arg(righe));
            return 0;
        } catch (const std::exception& errore) {
            messaggi.MsgErrfrm(errore);
            return 1;
        }
    }

    QStringList elencoCodici;
    for (const std::string& codice : codici)
        elencoCodici << QString::fromStdString(codice);
    if (elencoCodici.isEmpty()) {
        elencoCodici = CodiciBatch(*db);
        if (elencoCodici.isEmpty()) {
            Stampa(QStringLiteral("Nessuna definizione da quivare in batch"));
            return 0;
        }
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
    ValueStore valori;
    if (!PreparaValoriBase(*db, messaggi, elencoCodici, opzioni, valori))
        return 1;

    Interruzione::Installa(*db);
    ConsoleProgress progresso;
    StatoElaborazione.store(Stato::InCorso);
    ProgressoProva conteggio(progresso);
    OsservatoreDefinizioni osservatore;
    if (!fileSorgente.empty()) {
        const QString origine = QFileInfo(QString::fromStdString(fileSorgente)).absoluteFilePath();
        osservatore.letta = [origine](int, ScQuiva& motore) { motore.SostituisciOrigine(origine); };
    }
    if (prova)
        osservatore.dopo = [&](int, const EsitoDefinizione& esito) {
            if (esito.lettura == 0)
                Stampa(RapportoProva(*db, esito.codice, conteggio.Righe()));
        };
    RiepilogoCorsa corsa;
    corsa.codici = elencoCodici;
    corsa.esiti = EseguiDefinizioni(contesto, elencoCodici, conteggio, valori, osservatore);
    corsa.fermata = StatoElaborazione.load() == Stato::Interrotto;
    StatoElaborazione.store(Stato::Inattivo);
    progresso.Pulisci();
    const int stato = corsa.Terminata() ? UscitaTerminata : corsa.fermata ? UscitaInterrotta : UscitaErrore;
    if (prova) {
        // What would have been loaded is the trial's report above.
        transazioneProva.reset();
        Stampa(corsa.Terminata() ? QStringLiteral("Prova terminata: il database non è stato modificato")
                                 : AvvisoFine(corsa) + QStringLiteral("\nIl database non è stato modificato"));
    } else {
        Stampa(AvvisoFine(corsa) + QStringLiteral("\n\n") + TestoRiepilogo(corsa));
    }
    if (!fileJson.empty() && !ScriviJson(fileJson, corsa, stato))
        return stato == UscitaTerminata ? UscitaErrore : stato;
    return stato;
}

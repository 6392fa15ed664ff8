#include "Configurazione.h"

#include "DatabaseLink.h"
#include "ErroreRun.h"
#include "FileIni.h"
#include "FinestraMessaggi.h"
#include "FormUtility.h"
#include "FormUtilityAvvio.h"
#include "MenuServer.h"
#include "RichiestaTesto.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace {

const QString Ok = QStringLiteral("&Ok");

bool IniziaConOdbc(const QString& nome)
{
    return nome.trimmed().startsWith(QLatin1String("ODBC;"), Qt::CaseInsensitive);
}

bool Esiste(const QString& percorso) { return !percorso.isEmpty() && QFileInfo(percorso).isFile(); }

}  // namespace

TipoDb TipoConnessione(const QString& nome)
{
    const QString n = nome.trimmed();
    if (IniziaConOdbc(n) || n.endsWith(QLatin1String(".dsn"), Qt::CaseInsensitive) || !n.contains(QLatin1Char('.')))
        return TipoDb::Odbc;
    return TipoDb::File;
}

QString TestoLogin(const QString& utente, const QString& password)
{
    if (utente.isEmpty())
        return {};
    QString testo = QStringLiteral("UID=") + utente;
    if (!password.isEmpty())
        testo += QStringLiteral(";PWD=") + password;
    return testo;
}

QString TestoConnessione(const QString& nome, const QString& utente, const QString& password)
{
    const QString n = nome.trimmed();
    if (IniziaConOdbc(n))
        return n;
    if (n.endsWith(QLatin1String(".dsn"), Qt::CaseInsensitive))
        return QStringLiteral("ODBC;FIleDSN=") + n + QLatin1Char(';') + TestoLogin(utente, password);
    return QStringLiteral("ODBC;DSN=") + n + QLatin1Char(';') + TestoLogin(utente, password);
}

QString SuffissoPassword(const QString& password)
{
    return password.isEmpty() ? QString() : QStringLiteral(";pwd=") + password;
}

std::optional<QString> CercaIniPrincipale(const LuoghiIni& luoghi)
{
    const QString switchI = luoghi.switchI.trimmed();
    if (Esiste(switchI))
        return switchI;
    if (Esiste(luoghi.fileInstallazione)) {
        const QString indicato =
            FormUtility::LeggiIni(luoghi.fileInstallazione, QStringLiteral("Setup"), QStringLiteral("IniPrincipale"))
                .trimmed();
        if (!indicato.isEmpty())
            return indicato;
    }
    const QStringList cartelle {luoghi.cartellaSistema, luoghi.cartellaProgramma + QStringLiteral("/main"),
                                luoghi.cartellaCorrente, luoghi.cartellaProgramma};
    for (const QString& cartella : cartelle) {
        if (cartella.isEmpty())
            continue;
        const QString percorso = QDir(cartella).filePath(luoghi.nomeIni);
        if (Esiste(percorso))
            return percorso;
    }
    return std::nullopt;
}

QString PercorsoIniLavoro(const QString& iniPrincipale, const QString& nome)
{
    const QString n = FormUtility::PercorsoLocale(nome);
    if (n.isEmpty() || QDir::isAbsolutePath(n))
        return n;
    return QFileInfo(iniPrincipale).absoluteDir().filePath(n);
}

std::optional<QString> SceltaIniLavoro(const QString& iniPrincipale, RichiestaTesto& domande)
{
    const FileIni ini = FileIni::Leggi(iniPrincipale);
    const QString generali = QStringLiteral("Parametri Generali");
    const long long numIni =
        FormUtility::TestoAIntero(ini.Valore(generali, QStringLiteral("NumIni")).value_or(QStringLiteral("0")));
    if (numIni >= 1) {
        auto alternativa = [&](long long n) {
            QString valore =
                ini.Valore(QStringLiteral("Lista File Ini"), QString::number(n) + QStringLiteral("OrdIniDBase"))
                    .value_or(QString());
            return valore.left(FormUtility::LunghezzaBufferIni - 1);
        };
        QString prompt = QStringLiteral("Numero di ini scelto") + QLatin1Char('\n') + QStringLiteral("(da 0 a ")
            + QString::number(numIni) + QLatin1Char(')');
        for (long long n = 1; n <= numIni; ++n)
            prompt += QLatin1Char('\n') + QString::number(n) + QStringLiteral(" -> ") + alternativa(n);
        const QString risposta =
            domande.Chiedi(prompt, QStringLiteral("Scelta dell'INI"), QStringLiteral("0")).value_or(QString());
        const long long scelta = FormUtility::TestoAIntero(risposta.trimmed());
        // An answer beyond the list has no file: it falls back like "0".
        if (scelta >= 1 && scelta <= numIni)
            return PercorsoIniLavoro(iniPrincipale, alternativa(scelta));
    }
    const auto predefinito = ini.Valore(generali, QStringLiteral("OrdIniDBase"));
    if (!predefinito)
        return std::nullopt;
    return PercorsoIniLavoro(iniPrincipale, *predefinito);
}

bool VisualizzaParametri(const QString& visParam)
{
    const QString v = visParam.trimmed();
    return v.compare(QLatin1String("TUTTO"), Qt::CaseInsensitive) == 0
        || v.compare(QLatin1String("DB1"), Qt::CaseInsensitive) == 0;
}

namespace {

void MessaggioErroreApertura(FinestraMessaggi& messaggi, int numero, const QString& descrizione)
{
    messaggi.MsgBox(QStringLiteral("Errore ") + QString::number(numero) + QStringLiteral(" nell'apertura del database.")
                        + QLatin1Char('\n') + QStringLiteral("Correggere e riprovare. (")
                        + FormUtility::NascondiPassword(descrizione) + QStringLiteral(") "),
                    {Ok}, IconaMessaggio::Errore);
}

// After a repair that lost data: whether to go on with the partial copy.
// Declined, the damaged original goes back in its place and the copy is
// kept aside, so that nothing is opened as if it were whole.
bool AccettaCopiaParziale(const QString& percorso, const QStringList& incomplete, FinestraMessaggi& messaggi)
{
    const QString copia = percorso + QStringLiteral(".danneggiato");
    const QString parziale = percorso + QStringLiteral(".recuperato");
    const int scelta = messaggi.MsgBox(
        QStringLiteral("Il database ") + percorso + QStringLiteral(" è stato recuperato solo in parte.\n")
            + QStringLiteral("Tabelle incomplete:\n") + incomplete.join(QLatin1Char('\n'))
            + QStringLiteral("\nL'originale danneggiato è conservato in ") + copia
            + QStringLiteral("\nVuoi proseguire con la copia parziale?\n")
            + QStringLiteral(
                "(No: il programma termina, il database resta quello danneggiato e la copia parziale è in ")
            + parziale + QLatin1Char(')'),
        {QStringLiteral("&No"), QStringLiteral("&Si")}, IconaMessaggio::Domanda);
    if (scelta == 2)
        return true;
    QFile::remove(parziale);
    QFile::rename(percorso, parziale);
    QFile::rename(copia, percorso);
    return false;
}

// Opens a database file; a damaged file is offered for repair and, once
// repaired, opened again. Null when the user would not go on with a partial
// repair (and has been told where the files are).
std::unique_ptr<DatabaseLink> ApriFileDatabase(const QString& percorso, FinestraMessaggi& messaggi)
{
    if (!QFileInfo(percorso).isFile())
        throw ErroreRun(CodiciErrore::FileDatabaseInesistente,
                        FormUtility::TestoCodiceErrore(CodiciErrore::FileDatabaseInesistente) + QStringLiteral(": ")
                            + percorso);
    for (;;) {
        try {
            QString dettaglio;
            if (!FormUtility::DatabaseIntegro(percorso, &dettaglio))
                throw ErroreRun(CodiciErrore::DatabaseDanneggiato, dettaglio);
            return DatabaseLink::ApriFile(percorso);
        } catch (const ErroreRun& errore) {
            if (errore.numero() != CodiciErrore::DatabaseDanneggiato)
                throw;
            const int scelta = messaggi.MsgBox(QStringLiteral("Errore nell'apertura del database ") + percorso
                                                   + QLatin1Char('\n') + QStringLiteral("Vuoi tentare di recuperarlo"),
                                               {Ok, QStringLiteral("&Annulla")}, IconaMessaggio::Domanda);
            QString esito;
            QStringList incomplete;
            if (scelta != 1 || !FormUtility::RiparaDatabase(percorso, &esito, &incomplete))
                throw ErroreRun(errore.numero(),
                                esito.isEmpty() ? errore.descrizione()
                                                : errore.descrizione() + QStringLiteral(" - ") + esito);
            if (!incomplete.isEmpty() && !AccettaCopiaParziale(percorso, incomplete, messaggi))
                return nullptr;
        }
    }
}

// Company database name and the text that opens it.
struct Apertura {
    TipoDb tipo = TipoDb::File;
    QString percorso;  // database file
    QString testo;     // data source connection text
};

Apertura PreparaApertura(ContestoConnessione& c)
{
    Apertura a;
    const QString connect = c.connect.trimmed();
    const QString pwd = c.menu ? c.menu->Valore(QStringLiteral("PwdDbAzie")) : QString();
    if (IniziaConOdbc(connect)) {
        a.tipo = TipoDb::Odbc;
        a.testo = connect + SuffissoPassword(pwd);
        return a;
    }
    a.tipo = TipoConnessione(c.nomeDb);
    if (a.tipo == TipoDb::File) {
        a.percorso = FormUtility::PercorsoLocale(c.nomeDb);
        a.testo = connect;
        return a;
    }
    if (IniziaConOdbc(c.nomeDb)) {
        a.testo = c.nomeDb.trimmed() + SuffissoPassword(pwd);
        return a;
    }
    QString utente, password;
    if (c.menu && !c.proprieta.contains(QStringLiteral("DbSqlPubPWD"))) {
        utente = c.menu->Valore(QStringLiteral("SqlLogin"));
        if (utente.isEmpty()) {
            c.menu->Valore(QStringLiteral("ChiediPwdSql"));
            utente = c.menu->Valore(QStringLiteral("SqlLogin"));
        }
        password = c.menu->Valore(QStringLiteral("SqlPwd"));
        c.proprieta.insert(QStringLiteral("DbSqlPubUID"), utente);
        c.proprieta.insert(QStringLiteral("DbSqlPubPWD"), password);
    } else {
        utente = c.proprieta.value(QStringLiteral("DbSqlPubUID")).toString();
        password = c.proprieta.value(QStringLiteral("DbSqlPubPWD")).toString();
    }
    a.testo = TestoConnessione(c.nomeDb, utente, password);
    return a;
}

bool ValoreErrato(const QString& valore)
{
    return valore.left(4).compare(QLatin1String("Err:"), Qt::CaseInsensitive) == 0;
}

}  // namespace

int ApriConnessionePrimaria(ContestoConnessione& c)
{
    FinestraMessaggi& messaggi = *c.messaggi;
    // A value the menu could not give: its text says why.
    for (const QString* valore : {&c.iniPrincipale, &c.nomeDb, &c.connect})
        if (ValoreErrato(*valore)) {
            messaggi.MsgBox(valore->trimmed(), {Ok}, IconaMessaggio::Errore);
            return -1;
        }
    if (c.iniPrincipale.trimmed().isEmpty()) {
        const auto trovato = CercaIniPrincipale(c.luoghi);
        if (!trovato) {
            messaggi.MsgBox(QStringLiteral("File ini non trovato") + QLatin1Char('\n')
                                + QStringLiteral("Sistemare e rieseguire"),
                            {Ok}, IconaMessaggio::Errore);
            return -1;
        }
        c.iniPrincipale = *trovato;
    }

    for (;;) {
        const auto lavoro = SceltaIniLavoro(c.iniPrincipale, *c.domande);
        if (!lavoro) {
            messaggi.MsgBox(QStringLiteral("File di inizializzazione non trovato") + QLatin1Char('\n')
                                + QStringLiteral("o con informazioni non corrette.") + QLatin1Char('\n')
                                + QStringLiteral("Correggere e rieseguire il programma."),
                            {Ok}, IconaMessaggio::Errore);
            return -1;
        }
        c.iniLavoro = *lavoro;
        const FileIni ini = FileIni::Leggi(c.iniLavoro);

        if (c.leggiChiaviDb) {
            const QString nomeDb = ini.Valore(c.sezione, QStringLiteral("NomeDB")).value_or(QString()).trimmed();
            if (nomeDb.isEmpty()) {
                messaggi.MsgBox(QStringLiteral("File di inizializzazioni: ") + c.iniLavoro
                                    + QStringLiteral(" non trovato ") + QLatin1Char('\n')
                                    + QStringLiteral(" o con informazioni non corrette.") + QLatin1Char('\n')
                                    + QStringLiteral("Correggere e rieseguire il programma."),
                                {Ok}, IconaMessaggio::Errore);
                return -1;
            }
            const QString drive = ini.Valore(c.sezione, QStringLiteral("DriveDB")).value_or(QString());
            const QString dir = c.sezione.compare(QLatin1String("Connessioni"), Qt::CaseInsensitive) == 0
                ? ini.Valore(QStringLiteral("Base"), QStringLiteral("DirDB")).value_or(QString())
                : QString();
            c.nomeDb =
                TipoConnessione(nomeDb) == TipoDb::File ? FormUtility::ComponiPercorso(nomeDb, drive, dir) : nomeDb;
            c.connect = ini.Valore(c.sezione, QStringLiteral("Connect")).value_or(QString());
            c.owner = ini.Valore(c.sezione, QStringLiteral("Owner")).value_or(QString());
            c.execOption = static_cast<int>(FormUtility::TestoAIntero(
                ini.Valore(c.sezione, QStringLiteral("Exec_option")).value_or(QStringLiteral("0"))));
        }

        Apertura apertura;
        try {
            apertura = PreparaApertura(c);
        } catch (const ErroreRun& errore) {
            MessaggioErroreApertura(messaggi, errore.numero(), errore.descrizione());
            return -1;
        }
        c.testoConnessione = apertura.testo;

        if (VisualizzaParametri(FileIni::Leggi(c.iniPrincipale)
                                    .Valore(QStringLiteral("Parametri Generali"), QStringLiteral("VisParam"))
                                    .value_or(QString()))) {
            const int scelta = messaggi.MsgBox(
                QStringLiteral("Parametri letti:") + QLatin1Char('\n') + QStringLiteral("File dei parametri: ")
                    + c.iniLavoro + QLatin1Char('\n') + QStringLiteral("Database: ")
                    + FormUtility::NascondiPassword(c.nomeDb) + QLatin1Char('\n') + QStringLiteral("Tipo Connessione: ")
                    + FormUtility::NascondiPassword(c.testoConnessione),
                {QStringLiteral("&Si"), QStringLiteral("&No"), QStringLiteral("&Annulla")}, IconaMessaggio::Domanda);
            if (scelta == 2)
                continue;
            if (scelta != 1)
                return -1;
        }

        if (c.finestraConnessione)
            c.finestraConnessione(QStringLiteral("Connessione primaria al database"));
        try {
            c.link = apertura.tipo == TipoDb::File ? ApriFileDatabase(apertura.percorso, messaggi)
                                                   : DatabaseLink::ApriServer(apertura.testo);
        } catch (const ErroreRun& errore) {
            if (c.finestraConnessione)
                c.finestraConnessione(QString());
            MessaggioErroreApertura(messaggi, errore.numero(), errore.descrizione());
            return -1;
        }
        if (c.finestraConnessione)
            c.finestraConnessione(QString());
        if (!c.link)
            return -1;  // a partial repair the user would not use
        c.proprieta.insert(QStringLiteral("DbTipoSql:") + c.link->NomeConnessione(),
                           c.link->SuServer());
        return 0;
    }
}

bool ApriDbComune(ContestoConnessione& c, std::unique_ptr<DatabaseLink>& comune)
{
    const FileIni ini = FileIni::Leggi(c.iniLavoro);
    const QString nome = ini.Valore(QStringLiteral("Menu"), QStringLiteral("NomeDB")).value_or(QString()).trimmed();
    if (nome.isEmpty())
        return true;  // no common database configured
    const QString drive = ini.Valore(QStringLiteral("Menu"), QStringLiteral("DriveDB")).value_or(QString());
    const QString connect = ini.Valore(QStringLiteral("Menu"), QStringLiteral("Connect")).value_or(QString());
    if (c.finestraConnessione)
        c.finestraConnessione(QStringLiteral("Connessione database Comune"));
    try {
        if (IniziaConOdbc(connect)) {
            const QString pwd = c.menu ? c.menu->Valore(QStringLiteral("AccMenuPwd")) : QString();
            comune = DatabaseLink::ApriServer(connect + SuffissoPassword(pwd));
        } else if (TipoConnessione(nome) == TipoDb::Odbc) {
            const QString utente = c.menu ? c.menu->Valore(QStringLiteral("SqlLogin")) : QString();
            const QString password = c.menu ? c.menu->Valore(QStringLiteral("SqlPwd")) : QString();
            comune = ApriDbOdbc(nome, utente, password);
        } else {
            comune = ApriFileDatabase(FormUtility::ComponiPercorso(nome, drive, QString()), *c.messaggi);
        }
    } catch (const ErroreRun& errore) {
        if (c.finestraConnessione)
            c.finestraConnessione(QString());
        MessaggioErroreApertura(*c.messaggi, errore.numero(), errore.descrizione());
        return false;
    }
    if (c.finestraConnessione)
        c.finestraConnessione(QString());
    return true;
}

std::unique_ptr<DatabaseLink> ApriDbOdbc(const QString& nome, const QString& utente, const QString& password)
{
    return DatabaseLink::ApriServer(TestoConnessione(nome, utente, password));
}

namespace {

void Isolamento(DatabaseLink& db, const QHash<QString, QVariant>& proprieta, LivelloIsolamento livello)
{
    if (proprieta.value(QStringLiteral("DbTipoSql:") + db.NomeConnessione()).toBool())
        db.ImpostaIsolamento(livello);
}

}  // namespace

void IsolamentoLetturaNonConfermata(DatabaseLink& db, const QHash<QString, QVariant>& proprieta)
{
    Isolamento(db, proprieta, LivelloIsolamento::LetturaNonConfermata);
}

void IsolamentoLetturaConfermata(DatabaseLink& db, const QHash<QString, QVariant>& proprieta)
{
    Isolamento(db, proprieta, LivelloIsolamento::LetturaConfermata);
}

void IsolamentoRipristina(DatabaseLink& db, const QHash<QString, QVariant>& proprieta)
{
    Isolamento(db, proprieta, LivelloIsolamento::LetturaConfermata);
}

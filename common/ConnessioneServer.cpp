#include "ConnessioneServer.h"

#include "ErroreRun.h"
#include "FileIni.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QUrl>
#include <QUrlQuery>

namespace {

using Coppie = QHash<QString, QString>;  // keys in upper case

ErroreRun Rifiuto(const QString& testo) { return ErroreRun(CodiciErrore::ErroreOdbc, testo); }

// "KEY=value;KEY={value; with braces}}}" as ODBC writes it; the first
// occurrence of a key wins.
Coppie CoppieOdbc(const QString& testo)
{
    Coppie coppie;
    qsizetype i = 0;
    while (i < testo.size()) {
        const qsizetype uguale = testo.indexOf(QLatin1Char('='), i);
        if (uguale < 0)
            break;
        const QString chiave = testo.mid(i, uguale - i).trimmed().toUpper();
        QString valore;
        qsizetype j = uguale + 1;
        while (j < testo.size() && testo[j] == QLatin1Char(' '))
            ++j;
        if (j < testo.size() && testo[j] == QLatin1Char('{')) {
            for (++j; j < testo.size(); ++j) {
                if (testo[j] == QLatin1Char('}')) {
                    if (j + 1 < testo.size() && testo[j + 1] == QLatin1Char('}')) {
                        valore += QLatin1Char('}');
                        ++j;
                        continue;
                    }
                    ++j;
                    break;
                }
                valore += testo[j];
            }
            const qsizetype fine = testo.indexOf(QLatin1Char(';'), j);
            i = fine < 0 ? testo.size() : fine + 1;
        } else {
            const qsizetype fine = testo.indexOf(QLatin1Char(';'), j);
            valore = testo.mid(j, (fine < 0 ? testo.size() : fine) - j).trimmed();
            i = fine < 0 ? testo.size() : fine + 1;
        }
        if (!chiave.isEmpty() && !coppie.contains(chiave))
            coppie.insert(chiave, valore);
    }
    return coppie;
}

QString Primo(const Coppie& coppie, std::initializer_list<const char*> chiavi)
{
    for (const char* c : chiavi) {
        const auto it = coppie.constFind(QLatin1String(c));
        if (it != coppie.cend() && !it->isEmpty())
            return *it;
    }
    return {};
}

// The files where unixODBC keeps data sources and drivers: the user's first.
QStringList FileOdbc(const char* nome)
{
    QStringList file;
    if (qstrcmp(nome, "odbc.ini") == 0) {
        if (!qEnvironmentVariableIsEmpty("ODBCINI"))
            file << qEnvironmentVariable("ODBCINI");
        file << QDir::homePath() + QStringLiteral("/.odbc.ini");
    }
    if (!qEnvironmentVariableIsEmpty("ODBCSYSINI"))
        file << qEnvironmentVariable("ODBCSYSINI") + QLatin1Char('/') + QLatin1String(nome);
    file << QStringLiteral("/etc/") + QLatin1String(nome);
    return file;
}

bool DiPostgres(const QString& driver)
{
    return driver.contains(QLatin1String("postgres"), Qt::CaseInsensitive)
        || QFileInfo(driver).fileName().startsWith(QLatin1String("psqlodbc"), Qt::CaseInsensitive);
}

// A driver named by the entry is PostgreSQL's when its name, or the library
// odbcinst.ini gives for that name, says so.
void ControllaDriver(const QString& driver, const QString& dove)
{
    if (driver.isEmpty() || DiPostgres(driver))
        return;
    for (const QString& file : FileOdbc("odbcinst.ini")) {
        const FileIni ini = FileIni::Leggi(file);
        if (const auto libreria = ini.Valore(driver, QStringLiteral("Driver")); libreria && DiPostgres(*libreria))
            return;
    }
    throw Rifiuto(QStringLiteral("%1 usa il driver '%2', che non è di PostgreSQL: il database della ditta può "
                                 "essere solo un file SQLite o un server PostgreSQL")
                      .arg(dove, driver));
}

// A data source of odbc.ini (or a .dsn file) as key/value pairs.
Coppie VoceOrigine(const QString& nome, bool fileDsn)
{
    static const char* const chiavi[] = {"Driver",   "Servername", "Server", "Host",     "Port",    "Database",
                                         "Username", "UserName",   "UID",    "Password", "PWD",     "SSLmode"};
    const QStringList file = fileDsn ? QStringList {nome} : FileOdbc("odbc.ini");
    const QString sezione = fileDsn ? QStringLiteral("ODBC") : nome;
    for (const QString& percorso : file) {
        const FileIni ini = FileIni::Leggi(percorso);
        if (!ini.Esiste() || (!fileDsn && !ini.Valore(sezione, QStringLiteral("Driver"))))
            continue;
        Coppie coppie;
        for (const char* chiave : chiavi)
            if (const auto valore = ini.Valore(sezione, QLatin1String(chiave)); valore && !coppie.contains(QString::fromLatin1(chiave).toUpper()))
                coppie.insert(QString::fromLatin1(chiave).toUpper(), *valore);
        return coppie;
    }
    if (fileDsn)
        throw Rifiuto(QStringLiteral("Il file di origine dati '%1' non esiste o non si può leggere").arg(nome));
    throw Rifiuto(QStringLiteral("L'origine dati '%1' non è definita in odbc.ini").arg(nome));
}

ParametriServer DaCoppie(const Coppie& coppie)
{
    ParametriServer p;
    p.host = Primo(coppie, {"SERVER", "SERVERNAME", "HOST"});
    const QString porta = Primo(coppie, {"PORT"});
    bool ok = false;
    const int numero = porta.toInt(&ok);
    if (!porta.isEmpty() && (!ok || numero <= 0 || numero > 65535))
        throw Rifiuto(QStringLiteral("Porta del server non valida: '%1'").arg(porta));
    p.porta = ok ? numero : -1;
    p.database = Primo(coppie, {"DATABASE", "DB"});
    p.utente = Primo(coppie, {"UID", "USER", "USERNAME"});
    p.password = coppie.value(QStringLiteral("PWD"), coppie.value(QStringLiteral("PASSWORD")));
    if (const QString ssl = Primo(coppie, {"SSLMODE"}); !ssl.isEmpty())
        p.opzioni = QStringLiteral("sslmode=") + ssl;
    return p;
}

ParametriServer DaUri(const QString& uri, const Coppie& aggiunte)
{
    const QUrl url(uri);
    if (!url.isValid())
        throw Rifiuto(QStringLiteral("Indirizzo del server non valido: %1").arg(url.errorString()));
    ParametriServer p;
    p.host = url.host(QUrl::FullyDecoded);
    p.porta = url.port(-1);
    p.database = url.path(QUrl::FullyDecoded).mid(1);
    p.utente = url.userName(QUrl::FullyDecoded);
    p.password = url.password(QUrl::FullyDecoded);
    QStringList opzioni;
    const QUrlQuery domanda(url);
    for (const auto& [chiave, valore] : domanda.queryItems(QUrl::FullyDecoded)) {
        if (chiave == QLatin1String("host"))
            p.host = valore;
        else if (chiave == QLatin1String("port"))
            p.porta = valore.toInt();
        else if (chiave == QLatin1String("dbname"))
            p.database = valore;
        else if (chiave == QLatin1String("user"))
            p.utente = valore;
        else if (chiave == QLatin1String("password"))
            p.password = valore;
        else
            opzioni << chiave + QLatin1Char('=') + valore;
    }
    p.opzioni = opzioni.join(QLatin1Char(';'));
    if (const QString utente = Primo(aggiunte, {"UID", "USER"}); !utente.isEmpty())
        p.utente = utente;
    if (aggiunte.contains(QStringLiteral("PWD")))
        p.password = aggiunte.value(QStringLiteral("PWD"));
    return p;
}

}  // namespace

ParametriServer LeggiConnessioneServer(const QString& testo)
{
    QString t = testo.trimmed();
    if (t.startsWith(QLatin1String("ODBC;"), Qt::CaseInsensitive))
        t = t.mid(5);
    if (t.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive)
        || t.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive)) {
        const qsizetype resto = t.indexOf(QLatin1Char(';'));
        return DaUri(t.left(resto < 0 ? t.size() : resto), CoppieOdbc(resto < 0 ? QString() : t.mid(resto + 1)));
    }
    Coppie coppie = CoppieOdbc(t);
    if (coppie.isEmpty() && !t.isEmpty() && !t.contains(QLatin1Char('=')))
        coppie.insert(QStringLiteral("DSN"), t);  // a bare data source name
    const QString dsn = Primo(coppie, {"DSN"});
    const QString fileDsn = Primo(coppie, {"FILEDSN"});
    if (!dsn.isEmpty() || !fileDsn.isEmpty()) {
        const Coppie voce = VoceOrigine(fileDsn.isEmpty() ? dsn : fileDsn, !fileDsn.isEmpty());
        ControllaDriver(voce.value(QStringLiteral("DRIVER")),
                        fileDsn.isEmpty() ? QStringLiteral("L'origine dati '%1'").arg(dsn)
                                          : QStringLiteral("Il file di origine dati '%1'").arg(fileDsn));
        for (auto it = voce.cbegin(); it != voce.cend(); ++it)  // the text's own keys win
            if (!coppie.contains(it.key()))
                coppie.insert(it.key(), it.value());
    } else {
        ControllaDriver(Primo(coppie, {"DRIVER"}), QStringLiteral("La connessione"));
    }
    const ParametriServer p = DaCoppie(coppie);
    if (p.host.isEmpty() && p.database.isEmpty())
        throw Rifiuto(QStringLiteral("Il testo di connessione non indica né il server né il database"));
    return p;
}

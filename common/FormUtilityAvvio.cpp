#include "FormUtilityAvvio.h"

#include "ErroreRun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>

#include <sqlite3.h>

#include <cmath>
#include <functional>

namespace FormUtility {

QString LeggiSwitch(const QString& testo, QChar lettera)
{
    const QChar cercata = lettera.toUpper();
    for (qsizetype i = 0; i + 1 < testo.size(); ++i) {
        if (testo[i] != QLatin1Char('/') || testo[i + 1].toUpper() != cercata)
            continue;
        if (i > 0 && !testo[i - 1].isSpace())
            continue;
        qsizetype fine = i + 2;
        while (fine < testo.size()) {
            if (testo[fine].isSpace() && fine + 1 < testo.size() && testo[fine + 1] == QLatin1Char('/'))
                break;
            ++fine;
        }
        return testo.mid(i + 2, fine - i - 2).trimmed();
    }
    return {};
}

QString OpzioneLancio(const QString& parametri, const QString& opzione)
{
    const QStringList parole = parametri.split(QRegularExpression(QStringLiteral("[\\s,]+")), Qt::SkipEmptyParts);
    for (QString parola : parole) {
        if (parola.startsWith(QLatin1Char('/')))
            parola.remove(0, 1);
        if (parola.compare(opzione, Qt::CaseInsensitive) == 0)
            return QLatin1Char('/') + opzione.toUpper();
    }
    return {};
}

QString PercorsoLocale(const QString& percorso)
{
    QString p = percorso.trimmed();
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return p;
}

QString CartellaConDrive(const QString& drive, const QString& cartella)
{
    const QString grezza = cartella.trimmed();
    const bool assoluta = grezza.startsWith(QLatin1Char('/')) || grezza.startsWith(QLatin1String("\\\\"))
        || (grezza.size() > 1 && grezza[1] == u':');
    const QString c = PercorsoLocale(cartella);
    QString d = PercorsoLocale(drive);
    if (assoluta || d.isEmpty())
        return c;
    if (c.isEmpty())
        return d;
    while (d.endsWith(QLatin1Char('/')))
        d.chop(1);
    return d + QLatin1Char('/') + (c.startsWith(QLatin1Char('/')) ? c.mid(1) : c);
}

QString ComponiPercorso(const QString& nomeDb, const QString& drive, const QString& cartella)
{
    QString nome = PercorsoLocale(nomeDb);
    if (nome.isEmpty() || QDir::isAbsolutePath(nome))
        return nome;
    QStringList parti;
    for (const QString& parte : {PercorsoLocale(drive), PercorsoLocale(cartella)}) {
        if (!parte.isEmpty())
            parti << parte;
    }
    parti << nome;
    QString percorso = parti.join(QLatin1Char('/'));
    while (percorso.indexOf(QStringLiteral("//"), 1) > 0)  // keeps a leading "//" (network share)
        percorso.replace(percorso.indexOf(QStringLiteral("//"), 1), 2, QStringLiteral("/"));
    return percorso;
}

QString CartellaSistema()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/quiva");
}

QString FileInstallazione()
{
    const QString sostituto = qEnvironmentVariable("QUIVA_INSTALLAZIONE");
    return sostituto.isEmpty() ? QStringLiteral("/etc/quiva/OrvWinInst.ini") : sostituto;
}

QString NascondiPassword(const QString& testo)
{
    static const QRegularExpression chiave(QStringLiteral(R"(\b(pwd|password)(\s*=\s*)(\{[^}]*\}?|[^;]*))"),
                                           QRegularExpression::CaseInsensitiveOption);
    QString risultato = testo;
    risultato.replace(chiave, QStringLiteral("\\1\\2****"));
    return risultato;
}

QString TestoCodiceErrore(int codice)
{
    switch (codice) {
    case CodiciErrore::MenuNonInEsecuzione: return QStringLiteral("Il menu principale non risponde");
    case CodiciErrore::MenuRifiutato: return QStringLiteral("Collegamento con il menu rifiutato");
    case CodiciErrore::MemoriaEsaurita: return QStringLiteral("Memoria esaurita");
    case CodiciErrore::FileNonTrovato: return QStringLiteral("File non trovato");
    case CodiciErrore::PercorsoNonTrovato: return QStringLiteral("Percorso non trovato");
    case CodiciErrore::FileDatabaseInesistente: return QStringLiteral("Impossibile trovare il file del database");
    case CodiciErrore::DatabaseDanneggiato: return QStringLiteral("Database danneggiato");
    case CodiciErrore::ErroreOdbc: return QStringLiteral("Chiamata ODBC non riuscita");
    default: return QStringLiteral("Errore applicativo");
    }
}

QString FormatoNumero(const QString& base, QChar cifraDecimale, int decimali)
{
    if (decimali <= 0)
        return base;
    return base + QLatin1Char('.') + QString(decimali, cifraDecimale);
}

QString FormattaNumero(double valore, const QString& formato)
{
    const qsizetype punto = formato.indexOf(QLatin1Char('.'));
    const QString intera = punto < 0 ? formato : formato.left(punto);
    const QString decimale = punto < 0 ? QString() : formato.mid(punto + 1);
    const int massimo = static_cast<int>(decimale.size());
    const int obbligatori = static_cast<int>(decimale.count(QLatin1Char('0')));
    const bool migliaia = intera.contains(QLatin1Char(','));
    const int cifreMinime = static_cast<int>(intera.count(QLatin1Char('0')));

    QString testo = QString::number(std::fabs(valore), 'f', massimo);
    QString parteIntera = testo.section(QLatin1Char('.'), 0, 0);
    QString parteDecimale = massimo > 0 ? testo.section(QLatin1Char('.'), 1, 1) : QString();
    while (parteDecimale.size() > obbligatori && parteDecimale.endsWith(QLatin1Char('0')))
        parteDecimale.chop(1);
    if (parteIntera == QLatin1String("0") && cifreMinime == 0)
        parteIntera.clear();
    while (parteIntera.size() < cifreMinime)
        parteIntera.prepend(QLatin1Char('0'));
    if (migliaia) {
        for (qsizetype i = parteIntera.size() - 3; i > 0; i -= 3)
            parteIntera.insert(i, QLatin1Char('.'));
    }
    QString risultato = parteIntera;
    if (!parteDecimale.isEmpty())
        risultato += QLatin1Char(',') + parteDecimale;
    const bool zero = QString(parteIntera + parteDecimale).remove(QLatin1Char('0')).remove(QLatin1Char('.')).isEmpty();
    if (valore < 0 && !zero)
        risultato.prepend(QLatin1Char('-'));
    return risultato;
}

bool DatabaseIntegro(const QString& percorso, QString* dettaglio)
{
    sqlite3* db = nullptr;
    const QByteArray nome = QFile::encodeName(percorso);
    bool integro = false;
    QString esito;
    if (sqlite3_open_v2(nome.constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* istruzione = nullptr;
        if (sqlite3_prepare_v2(db, "PRAGMA quick_check(1)", -1, &istruzione, nullptr) == SQLITE_OK) {
            if (sqlite3_step(istruzione) == SQLITE_ROW) {
                esito = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(istruzione, 0)));
                integro = esito == QLatin1String("ok");
            } else {
                esito = QString::fromUtf8(sqlite3_errmsg(db));
            }
        } else {
            esito = QString::fromUtf8(sqlite3_errmsg(db));
        }
        sqlite3_finalize(istruzione);
    } else {
        esito = QString::fromUtf8(sqlite3_errmsg(db));
    }
    sqlite3_close(db);
    if (dettaglio)
        *dettaglio = esito;
    return integro;
}

namespace {

// The tables a database file declares, with their row counts (-1 where the
// rows cannot be counted).
QMap<QString, long long> TabelleDichiarate(const QString& percorso)
{
    QMap<QString, long long> tabelle;
    sqlite3* db = nullptr;
    const QByteArray nome = QFile::encodeName(percorso);
    if (sqlite3_open_v2(nome.constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return tabelle;
    }
    auto esegui = [db](const QByteArray& sql, const std::function<void(sqlite3_stmt*)>& riga) {
        sqlite3_stmt* istruzione = nullptr;
        bool ok = sqlite3_prepare_v2(db, sql.constData(), -1, &istruzione, nullptr) == SQLITE_OK;
        int passo = SQLITE_ROW;
        while (ok && (passo = sqlite3_step(istruzione)) == SQLITE_ROW)
            riga(istruzione);
        sqlite3_finalize(istruzione);
        return ok && passo == SQLITE_DONE;
    };
    esegui("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\'",
           [&](sqlite3_stmt* s) {
               tabelle.insert(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0))), -1);
           });
    for (auto t = tabelle.begin(); t != tabelle.end(); ++t) {
        long long righe = -1;
        const QByteArray sql = "SELECT count(*) FROM \"" + t.key().toUtf8().replace('"', "\"\"") + '"';
        if (esegui(sql, [&](sqlite3_stmt* s) { righe = sqlite3_column_int64(s, 0); }))
            t.value() = righe;
    }
    sqlite3_close(db);
    return tabelle;
}

// What the repair lost, table by table.
QStringList Perdite(const QMap<QString, long long>& prima, const QMap<QString, long long>& dopo)
{
    QStringList perdite;
    for (auto t = prima.cbegin(); t != prima.cend(); ++t) {
        const long long recuperate = dopo.value(t.key(), -1);
        if (!dopo.contains(t.key()))
            perdite << t.key() + QStringLiteral(" (non recuperata)");
        else if (t.value() < 0)
            perdite << t.key()
                    + QStringLiteral(" (%1 righe recuperate, righe originali non leggibili)").arg(recuperate);
        else if (recuperate < t.value())
            perdite << t.key() + QStringLiteral(" (%1 righe di %2)").arg(recuperate).arg(t.value());
    }
    return perdite;
}

}  // namespace

bool RiparaDatabase(const QString& percorso, QString* dettaglio, QStringList* incomplete)
{
    auto esci = [&](const QString& motivo) {
        if (dettaglio)
            *dettaglio = motivo;
        return false;
    };
    if (!QFileInfo::exists(percorso))
        return esci(QStringLiteral("File inesistente"));
    const QString programma = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (programma.isEmpty())
        return esci(QStringLiteral("Strumento di recupero sqlite3 non installato"));

    // The shell writes SQL that rebuilds every row it can read; that text is
    // loaded into a fresh file. Its page-level recovery comes first; some
    // builds of the shell give nothing from it, and then the dump (which
    // skips the unreadable pages) is used, committed instead of rolled back.
    auto sqlDalShell = [&](const char* comando) {
        QProcess shell;
        shell.start(programma, {percorso, QString::fromLatin1(comando)});
        if (!shell.waitForFinished(600000) || shell.exitStatus() != QProcess::NormalExit)
            return QByteArray();
        return shell.readAllStandardOutput();
    };
    QByteArray sql = sqlDalShell(".recover");
    if (!sql.contains("CREATE TABLE")) {
        sql = sqlDalShell(".dump");
        const qsizetype annulla = sql.lastIndexOf("\nROLLBACK;");
        if (annulla >= 0)
            sql.replace(annulla, sql.size() - annulla, "\nCOMMIT;\n");
    }
    if (!sql.contains("CREATE TABLE"))
        return esci(QStringLiteral("Nessun dato recuperabile"));

    const QString nuovo = percorso + QStringLiteral(".recuperato");
    QFile::remove(nuovo);
    QProcess ricarica;
    ricarica.start(programma, {nuovo});
    ricarica.write(sql);
    ricarica.closeWriteChannel();
    if (!ricarica.waitForFinished(600000) || ricarica.exitStatus() != QProcess::NormalExit || !DatabaseIntegro(nuovo)) {
        QFile::remove(nuovo);
        return esci(QStringLiteral("Ricostruzione non riuscita: ")
                    + QString::fromLocal8Bit(ricarica.readAllStandardError()).trimmed());
    }
    if (incomplete)
        *incomplete = Perdite(TabelleDichiarate(percorso), TabelleDichiarate(nuovo));
    const QString copia = percorso + QStringLiteral(".danneggiato");
    QFile::remove(copia);
    if (!QFile::rename(percorso, copia) || !QFile::rename(nuovo, percorso))
        return esci(QStringLiteral("Impossibile sostituire il file danneggiato"));
    if (dettaglio)
        *dettaglio = QStringLiteral("Copia del file danneggiato: ") + copia;
    return true;
}

}  // namespace FormUtility

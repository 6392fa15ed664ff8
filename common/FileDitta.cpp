#include "FileDitta.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace {

// SQLite keeps a shared lock on this byte of the log index for as long as
// the connection uses the log: the lock that tells others it is not alone.
constexpr long long ByteDms = 128;

// Whether this process holds a lock on the index byte of a file with this
// inode, as /proc/locks lists it (read without touching the file itself).
bool LockDmsTenuto(ino_t inode)
{
    std::FILE* elenco = std::fopen("/proc/locks", "r");
    if (!elenco)
        return true;  // nothing to tell: assume held
    const long mio = static_cast<long>(getpid());
    char riga[256];
    bool tenuto = false;
    while (!tenuto && std::fgets(riga, sizeof riga, elenco)) {
        char tipo[16], modo[16], accesso[16], dispositivo[64], fine[32];
        long pid = 0;
        unsigned long long ino = 0;
        long long inizio = 0;
        if (std::sscanf(riga, "%*d: %15s %15s %15s %ld %63[^ ] %lld %31s", tipo, modo, accesso, &pid, dispositivo,
                        &inizio, fine)
            != 7)
            continue;
        const char* dueP = std::strrchr(dispositivo, ':');
        if (!dueP || std::sscanf(dueP + 1, "%llu", &ino) != 1)
            continue;
        tenuto = pid == mio && ino == static_cast<unsigned long long>(inode) && inizio == ByteDms;
    }
    std::fclose(elenco);
    return tenuto;
}

bool Identita(const QString& percorso, dev_t& dispositivo, ino_t& inode)
{
    struct stat info { };
    if (stat(QFile::encodeName(percorso).constData(), &info) != 0)
        return false;
    dispositivo = info.st_dev;
    inode = info.st_ino;
    return true;
}

}  // namespace

ControlloFileDitta::ControlloFileDitta(sqlite3* db) : m_db(db)
{
    const char* file = db ? sqlite3_db_filename(db, "main") : nullptr;
    if (!file || !*file)
        return;
    m_file = QString::fromUtf8(file);
    dev_t dispositivoIndice = 0;
    m_conLog = Identita(m_file + QStringLiteral("-wal"), m_dispositivo, m_log)
        && Identita(m_file + QStringLiteral("-shm"), dispositivoIndice, m_indice);
    m_lockVisibili = m_conLog && LockDmsTenuto(m_indice);
}

QString ControlloFileDitta::Stato() const
{
    if (!m_db)
        return {};
    int spostato = 0;
    if (sqlite3_file_control(m_db, "main", SQLITE_FCNTL_HAS_MOVED, &spostato) == SQLITE_OK && spostato)
        return QStringLiteral("il file della ditta è stato cancellato o sostituito da un altro programma");
    if (!m_conLog)
        return {};
    // While this connection uses the log, no one may remove it: SQLite
    // deletes it only when the last connection closes.
    dev_t dispositivo = 0;
    ino_t log = 0, indice = 0;
    if (!Identita(m_file + QStringLiteral("-wal"), dispositivo, log) || log != m_log || dispositivo != m_dispositivo
        || !Identita(m_file + QStringLiteral("-shm"), dispositivo, indice) || indice != m_indice)
        return QStringLiteral("il registro delle scritture della ditta (%1-wal) è stato cancellato da un altro "
                              "programma")
            .arg(QFileInfo(m_file).fileName());
    if (m_lockVisibili && !LockDmsTenuto(m_indice))
        return QStringLiteral("il programma ha perso i blocchi che condividono il file della ditta con gli altri "
                              "programmi");
    return {};
}

bool FileDiDatabaseAperto(const QString& percorso)
{
    if (percorso.isEmpty())
        return false;
    const QFileInfo scelto(percorso);
    // The same file under any name: same device and inode, or, for a file
    // not there yet, the same folder and name.
    auto stesso = [](const QFileInfo& a, const QString& b) {
        struct stat sa {
        }, sb {};
        if (stat(QFile::encodeName(a.absoluteFilePath()).constData(), &sa) == 0
            && stat(QFile::encodeName(b).constData(), &sb) == 0)
            return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
        const QFileInfo fb(b);
        return QDir(a.absolutePath()).canonicalPath() == QDir(fb.absolutePath()).canonicalPath()
            && a.fileName() == fb.fileName();
    };
    for (const QString& nome : QSqlDatabase::connectionNames()) {
        const QSqlDatabase db = QSqlDatabase::database(nome, false);
        if (db.driverName() != QLatin1String("QSQLITE") || db.databaseName().isEmpty()
            || db.databaseName() == QLatin1String(":memory:"))
            continue;
        const QString file = db.databaseName();
        for (const char* coda : {"", "-wal", "-shm", "-journal"})
            if (stesso(scelto, file + QLatin1String(coda)))
                return true;
    }
    return false;
}

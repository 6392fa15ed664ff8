#include "AccessoMenu.h"

#include "ProtocolloMenu.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace AccessoMenu {

namespace {

QString TestoErrno(int numero) { return QString::fromLocal8Bit(std::strerror(numero)); }

}  // namespace

QString CartellaSocket()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime))
        return QDir::cleanPath(runtime);
    return QDir::cleanPath(QDir::tempPath() + QStringLiteral("/quiva-") + QString::number(geteuid()));
}

QString ControllaCartella(const QString& cartella)
{
    struct stat info { };
    if (lstat(QFile::encodeName(cartella).constData(), &info) != 0) {
        const int numero = errno;
        if (numero == ENOENT)
            return QStringLiteral("La cartella %1 non esiste").arg(cartella);
        return QStringLiteral("Impossibile controllare la cartella %1: %2").arg(cartella, TestoErrno(numero));
    }
    if (!S_ISDIR(info.st_mode))
        return QStringLiteral("%1 non è una cartella").arg(cartella);
    if (info.st_uid != geteuid())
        return QStringLiteral("La cartella %1 appartiene a un altro utente").arg(cartella);
    if (info.st_mode & (S_IRWXG | S_IRWXO))
        return QStringLiteral("La cartella %1 è accessibile ad altri utenti (permessi %2)")
            .arg(cartella, QString::number(info.st_mode & 07777, 8).rightJustified(4, QLatin1Char('0')));
    return {};
}

QString PercorsoSocket(const QString& idMenu, QString* rifiuto, bool creaCartella)
{
    const QString cartella = CartellaSocket();
    if (creaCartella) {
        const QByteArray nome = QFile::encodeName(cartella);
        if (mkdir(nome.constData(), S_IRWXU) == 0) {
            chmod(nome.constData(), S_IRWXU);  // whatever the umask left
        } else if (errno != EEXIST) {
            if (rifiuto)
                *rifiuto = QStringLiteral("Impossibile creare la cartella %1: %2").arg(cartella, TestoErrno(errno));
            return {};
        }
    }
    const QString percorso = cartella + QLatin1Char('/') + ProtocolloMenu::NomeServer(idMenu);
    if (!creaCartella && !QFileInfo::exists(cartella))
        return percorso;  // no menu has started: connecting fails as usual
    const QString motivo = ControllaCartella(cartella);
    if (!motivo.isEmpty()) {
        if (rifiuto)
            *rifiuto = motivo;
        return {};
    }
    return percorso;
}

QString ControllaSocketEsistente(const QString& percorso)
{
    struct stat info { };
    if (lstat(QFile::encodeName(percorso).constData(), &info) != 0)
        return {};
    if (info.st_uid != geteuid())
        return QStringLiteral("Il socket %1 appartiene a un altro utente").arg(percorso);
    if (!S_ISSOCK(info.st_mode))
        return QStringLiteral("%1 non è un socket del menu").arg(percorso);
    return {};
}

QString ControllaInterlocutore(qintptr descrittore)
{
    struct ucred credenziali { };
    socklen_t dimensione = sizeof credenziali;
    if (descrittore < 0
        || getsockopt(static_cast<int>(descrittore), SOL_SOCKET, SO_PEERCRED, &credenziali, &dimensione) != 0)
        return QStringLiteral("Impossibile verificare l'utente dall'altra parte del collegamento: %1")
            .arg(descrittore < 0 ? QStringLiteral("collegamento chiuso") : TestoErrno(errno));
    if (credenziali.uid != geteuid())
        return QStringLiteral("Dall'altra parte del collegamento c'è un altro utente (uid %1)").arg(credenziali.uid);
    return {};
}

}  // namespace AccessoMenu

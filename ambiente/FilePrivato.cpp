#include "FilePrivato.h"

#include <QFile>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool RendiPrivato(const QString& percorso)
{
    const QByteArray nome = QFile::encodeName(percorso);
    // Created with the final mode at once: no moment in which others could read it.
    const int descrittore = ::open(nome.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (descrittore >= 0)
        return ::close(descrittore) == 0;
    struct stat stato {};
    if (::stat(nome.constData(), &stato) != 0)
        return false;
    if ((stato.st_mode & (S_IRWXG | S_IRWXO)) == 0)
        return true;
    return ::chmod(nome.constData(), stato.st_mode & ~(S_IRWXG | S_IRWXO)) == 0;
}

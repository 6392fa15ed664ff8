#include "ConsoleMessaggi.h"

#include <cstdio>

int ConsoleMessaggi::msgCom(const QString& testo, const QStringList& risposte)
{
    Q_UNUSED(risposte);
    std::fprintf(stderr, "\r\033[K%s\n", testo.toUtf8().constData());
    std::fflush(stderr);
    return 1;
}

#include "ConsoleMessaggi.h"

#include "ConsoleProgress.h"

#include <cstdio>

int ConsoleMessaggi::msgCom(const QString& testo, const QStringList& risposte)
{
    Q_UNUSED(risposte);
    // On a terminal the progress line is cleared first.
    if (TerminaleCompleto())
        std::fputs("\r\033[K", stderr);
    std::fprintf(stderr, "%s\n", testo.toUtf8().constData());
    std::fflush(stderr);
    return 1;
}

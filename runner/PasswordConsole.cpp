#include "PasswordConsole.h"

#include <cstdio>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace {

// Echo of the terminal off for as long as it lives; nothing on a pipe.
class EcoSpento {
public:
    EcoSpento() : m_terminale(isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &m_prima) == 0)
    {
        if (!m_terminale)
            return;
        termios senzaEco = m_prima;
        senzaEco.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &senzaEco);
    }
    ~EcoSpento()
    {
        if (!m_terminale)
            return;
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &m_prima);
        std::fputc('\n', stderr);  // the Enter typed was not echoed
    }
    EcoSpento(const EcoSpento&) = delete;
    EcoSpento& operator=(const EcoSpento&) = delete;

private:
    termios m_prima {};
    bool m_terminale;
};

}  // namespace

QString ChiediPassword(const QString& domanda)
{
    std::fputs(domanda.toUtf8().constData(), stderr);
    std::fflush(stderr);
    std::string riga;
    {
        const EcoSpento eco;
        for (int c = std::fgetc(stdin); c != EOF && c != '\n'; c = std::fgetc(stdin))
            riga.push_back(static_cast<char>(c));
    }
    if (!riga.empty() && riga.back() == '\r')
        riga.pop_back();
    return QString::fromUtf8(riga);
}

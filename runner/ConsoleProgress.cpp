#include "ConsoleProgress.h"

#include "Interruzione.h"

#include <algorithm>
#include <cstdio>
#include <unistd.h>

bool TerminaleCompleto()
{
    return isatty(STDERR_FILENO) != 0 && qEnvironmentVariable("TERM") != QLatin1String("dumb");
}

namespace {

QString Durata(qint64 secondi)
{
    return secondi >= 3600 ? QStringLiteral("%1:%2:%3")
                                 .arg(secondi / 3600)
                                 .arg(secondi / 60 % 60, 2, 10, QLatin1Char('0'))
                                 .arg(secondi % 60, 2, 10, QLatin1Char('0'))
                           : QStringLiteral("%1:%2").arg(secondi / 60).arg(secondi % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

ConsoleProgress::ConsoleProgress()
    : m_schermo(TerminaleCompleto()          ? Schermo::Completo
                    : isatty(STDERR_FILENO) ? Schermo::Semplice
                                            : Schermo::Nessuno)
{
    m_tempo.start();
}

ConsoleProgress::~ConsoleProgress() { Pulisci(); }

void ConsoleProgress::Pulisci()
{
    if (m_schermo == Schermo::Completo && m_disegnata) {
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
    }
    m_disegnata = false;
}

void ConsoleProgress::Fase(FaseQuiva fase, const QString& nome)
{
    Interruzione::PuntoSicuro();
    m_fase = fase;
    m_messaggio = TestoFase(fase, nome);
    m_posizione = 0;
    m_totale = 0;
    if (fase == FaseQuiva::Caricamento) {
        m_caricamento.start();
        m_byteLetti = m_byteTotali = 0;
    }
    if (m_schermo == Schermo::Semplice) {
        std::fprintf(stderr, "%s\n", m_messaggio.toUtf8().constData());
        std::fflush(stderr);
        return;
    }
    Disegna(true);
}

void ConsoleProgress::Posizione(long posizione)
{
    Interruzione::PuntoSicuro();
    m_posizione = posizione;
    Disegna(false);
}

void ConsoleProgress::Salvate(long righe)
{
    m_salvate = righe;
    m_posizione = std::max(m_posizione, righe);  // the lines saved were read
    Disegna(false);
}

void ConsoleProgress::Totale(long totale)
{
    m_totale = totale;
    Disegna(false);
}

void ConsoleProgress::Errori(long errori)
{
    m_errori = errori;
    Disegna(false);
}

void ConsoleProgress::Byte(qint64 letti, qint64 totale)
{
    m_byteLetti = letti;
    m_byteTotali = totale;
}

QString ConsoleProgress::Riga() const
{
    switch (m_fase) {
    case FaseQuiva::Caricamento: {
        QString riga = m_messaggio;
        if (m_byteTotali > 0) {
            const double parte = std::min(1.0, static_cast<double>(m_byteLetti) / static_cast<double>(m_byteTotali));
            riga += QStringLiteral("  %1%").arg(static_cast<int>(parte * 100));
            const qint64 trascorsi = m_caricamento.elapsed();
            if (parte > 0.01 && trascorsi > 2000)
                riga += QStringLiteral("  mancano %1")
                            .arg(Durata(static_cast<qint64>(static_cast<double>(trascorsi) * (1 - parte) / parte / 1000)));
        }
        riga += QStringLiteral("  Letti: %1").arg(m_posizione);
        if (m_salvate >= 0)
            riga += QStringLiteral("  Salvate: %1").arg(m_salvate);
        return riga + QStringLiteral("  Errori: %1").arg(m_errori);
    }
    case FaseQuiva::QueryFinali:
        return m_totale > 0 ? QStringLiteral("%1  %2 di %3").arg(m_messaggio).arg(m_posizione).arg(m_totale)
                            : m_messaggio;
    case FaseQuiva::AttesaScrittura:
        return m_posizione > 0 ? QStringLiteral("%1  %2 s").arg(m_messaggio).arg(m_posizione) : m_messaggio;
    default: return m_messaggio;
    }
}

void ConsoleProgress::Disegna(bool subito)
{
    if (m_schermo != Schermo::Completo || (!subito && m_tempo.elapsed() < 100))
        return;
    m_tempo.restart();
    std::fprintf(stderr, "\r\033[K%s", Riga().toUtf8().constData());
    std::fflush(stderr);
    m_disegnata = true;
}

#include "ConsoleProgress.h"

#include "Interruzione.h"

#include <cstdio>
#include <unistd.h>

ConsoleProgress::ConsoleProgress() : m_terminale(isatty(STDERR_FILENO) != 0) { m_tempo.start(); }

ConsoleProgress::~ConsoleProgress()
{
    if (m_terminale) {
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
    }
}

void ConsoleProgress::Fase(FaseQuiva fase, const QString& nome)
{
    Interruzione::PuntoSicuro();
    m_messaggio = TestoFase(fase, nome);
    m_conTotale = FaseConTotale(fase);
    m_posizione = 0;
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

void ConsoleProgress::Disegna(bool subito)
{
    if (!m_terminale || (!subito && m_tempo.elapsed() < 100))
        return;
    m_tempo.restart();
    QString riga = m_conTotale ? QStringLiteral("%1  Letti: %2 di %3").arg(m_messaggio).arg(m_posizione).arg(m_totale)
                               : QStringLiteral("%1  Letti: %2").arg(m_messaggio).arg(m_posizione);
    if (!m_conTotale && m_salvate >= 0)
        riga += QStringLiteral("  Salvate: %1").arg(m_salvate);
    if (!m_conTotale)
        riga += QStringLiteral("  Errori: %1").arg(m_errori);
    std::fprintf(stderr, "\r\033[K%s", riga.toUtf8().constData());
    std::fflush(stderr);
}

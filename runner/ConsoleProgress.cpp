#include "ConsoleProgress.h"

#include "Interruzione.h"

#include <cstdio>
#include <unistd.h>

ConsoleProgress::ConsoleProgress() : m_terminale(isatty(STDERR_FILENO) != 0)
{
    m_tempo.start();
}

ConsoleProgress::~ConsoleProgress()
{
    if (m_terminale) {
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
    }
}

void ConsoleProgress::Avanza(long posizione, const QString& messaggio)
{
    Interruzione::PuntoSicuro();
    m_posizione = posizione;
    const bool nuovoMessaggio = !messaggio.isNull() && messaggio != m_messaggio;
    if (nuovoMessaggio)
        m_messaggio = messaggio;
    Disegna(nuovoMessaggio);
}

void ConsoleProgress::Conta(long conteggio, long)
{
    m_conteggio = conteggio;
    Disegna(false);
}

void ConsoleProgress::Salvate(long righe)
{
    m_salvate = righe;
    Disegna(false);
}

void ConsoleProgress::VisibileEtichetta(const QString& etichetta, bool visibile)
{
    if (etichetta == QLatin1String("LabErrori"))
        m_errori = visibile;
    else if (etichetta == QLatin1String("LabDi"))
        m_errori = !visibile;
}

void ConsoleProgress::Disegna(bool subito)
{
    if (!m_terminale || (!subito && m_tempo.elapsed() < 100))
        return;
    m_tempo.restart();
    QString riga = m_errori ? QStringLiteral("%1  Letti: %2").arg(m_messaggio).arg(m_posizione)
                            : QStringLiteral("%1  Letti: %2 di %3").arg(m_messaggio).arg(m_posizione).arg(m_conteggio);
    if (m_errori && m_salvate >= 0)
        riga += QStringLiteral("  Salvate: %1").arg(m_salvate);
    if (m_errori)
        riga += QStringLiteral("  Errori: %1").arg(m_conteggio);
    std::fprintf(stderr, "\r\033[K%s", riga.toUtf8().constData());
    std::fflush(stderr);
}

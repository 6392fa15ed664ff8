#include "ProgressMonitor.h"

QString TestoFase(FaseQuiva fase, const QString& nome)
{
    switch (fase) {
    case FaseQuiva::Preparazione: return QStringLiteral("Preparazione ") + nome;
    case FaseQuiva::VerificaConversioni: return QStringLiteral("Verifica Conversioni");
    case FaseQuiva::CancellazioneErrori: return QStringLiteral("Cancellazione Tabella Errori Quivamento");
    case FaseQuiva::CancellazioneTabella: return QStringLiteral("Cancellazione tabella ") + nome;
    case FaseQuiva::PreparaArchivi: return QStringLiteral("Prepara Archivi di Inserimento ") + nome;
    case FaseQuiva::Caricamento: return QStringLiteral("Quivamento ") + nome;
    case FaseQuiva::QueryFinali: return QStringLiteral("Esecuzione query finali");
    case FaseQuiva::AttesaScrittura: return QStringLiteral("In attesa che finisca un altro caricamento…");
    }
    return {};
}

bool FaseConTotale(FaseQuiva fase)
{
    return fase == FaseQuiva::Preparazione || fase == FaseQuiva::VerificaConversioni || fase == FaseQuiva::QueryFinali;
}

ProgressMonitor& ProgressMonitor::Muto()
{
    static ProgressMonitorMuto muto;
    return muto;
}

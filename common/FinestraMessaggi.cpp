#include "FinestraMessaggi.h"

#include "FormUtility.h"

QString FinestraMessaggi::TestoErrore(int numero, const QString& descrizione, const QString& testo)
{
    QString messaggio = QStringLiteral("Errore(%1): %2").arg(numero).arg(descrizione);
    if (!testo.isEmpty())
        messaggio += QStringLiteral(" - ") + testo;
    return messaggio;
}

void FinestraMessaggi::MsgErrfrm(int numero, const QString& descrizione, const QString& testo)
{
    MsgBox(TestoErrore(numero, descrizione, testo), {QStringLiteral("&Ok")}, IconaMessaggio::Errore);
}

void FinestraMessaggi::MsgErrfrm(const std::exception& errore, const QString& testo)
{
    MsgErrfrm(FormUtility::NumeroErrore(errore), FormUtility::DescrizioneErrore(errore), testo);
}

#include "RisposteScriptate.h"

int RisposteScriptate::msgCom(const QString& testo, const QStringList& risposte)
{
    messaggi.append({testo, risposte});
    return m_risposte.isEmpty() ? rispostaPredefinita : m_risposte.dequeue();
}

std::optional<QString> RisposteScriptate::Chiedi(const QString& prompt, const QString& titolo, const QString& proposta)
{
    domande.append(prompt);
    titoli.append(titolo);
    proposte.append(proposta);
    if (m_testi.isEmpty())
        return std::nullopt;
    return m_testi.dequeue();
}

QStringList RisposteScriptate::Testi() const
{
    QStringList testi;
    for (const auto& m : messaggi)
        testi << m.testo;
    return testi;
}

bool RisposteScriptate::Mostrato(const QString& frammento) const
{
    for (const auto& m : messaggi)
        if (m.testo.contains(frammento))
            return true;
    return false;
}

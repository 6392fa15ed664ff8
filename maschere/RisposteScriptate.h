#pragma once
// A message window and input box that nobody sees: every text shown is
// recorded, answers come from queues. For tests and unattended runs.
#include "FinestraMessaggi.h"
#include "RichiestaTesto.h"

#include <QList>
#include <QQueue>
#include <QStringList>
#include <optional>

class RisposteScriptate : public FinestraMessaggi, public RichiestaTesto {
public:
    struct Messaggio {
        QString testo;
        QStringList risposte;
    };

    // Answer to the next message (1-based); when the queue is empty the
    // answer is rispostaPredefinita.
    void AccodaRisposta(int numero) { m_risposte.enqueue(numero); }
    // Answer to the next input box; nothing means "cancelled".
    void AccodaTesto(std::optional<QString> testo) { m_testi.enqueue(std::move(testo)); }

    int msgCom(const QString& testo, const QStringList& risposte) override;
    std::optional<QString> Chiedi(const QString& prompt, const QString& titolo, const QString& proposta) override;

    QList<Messaggio> messaggi;
    QStringList domande;  // prompts of the input boxes
    QStringList titoli;
    QStringList proposte;
    int rispostaPredefinita = 1;

    QStringList Testi() const;
    bool Mostrato(const QString& frammento) const;

private:
    QQueue<int> m_risposte;
    QQueue<std::optional<QString>> m_testi;
};

#pragma once
// Answers to the base-value prompts of a run without the prompt window:
// given values first, then the batch constants, then whoever is asked.
#include "ValoriBase.h"

#include <QHash>
#include <QStringList>
#include <functional>
#include <optional>

struct EsitoRisposte {
    QStringList risposte;     // one per prompt, in order
    QStringList mancanti;     // keys left without an answer
    QStringList sconosciute;  // given keys that no prompt asks for
    bool annullato = false;   // the one asked gave up
    bool Completo() const { return mancanti.isEmpty() && sconosciute.isEmpty() && !annullato; }
};

// impostati: "Codice.NomeCampo" (case ignored) -> answer. batch: prompts not
// given take their CostBatch constant. chiedi (may be empty): asks one
// prompt, nothing when the user gives up; when empty, the rest stay missing.
EsitoRisposte RisposteValBase(const RaccoltaValBase& raccolta, const QHash<QString, QString>& impostati, bool batch,
                              const std::function<std::optional<QString>(const RichiestaBase&)>& chiedi);

// "CODICE.Campo=valore" -> key and value; nothing without "=" or a key.
std::optional<std::pair<QString, QString>> DividiImpostazione(const QString& testo);

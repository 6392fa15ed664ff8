#pragma once
// The input box: asks for a text with a prompt, a title and a proposed
// answer. Nothing when the user cancels.
#include <QString>
#include <optional>

class RichiestaTesto {
public:
    virtual ~RichiestaTesto() = default;
    virtual std::optional<QString> Chiedi(const QString& prompt, const QString& titolo, const QString& proposta) = 0;
};

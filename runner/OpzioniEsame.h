#pragma once
// quiva-load's commands that look at a definition without loading it:
// --anteprima CODE [--righe N], --verifica CODE, and --crea-da-file FILE
// --tabella T CODE, which proposes a definition from the file and saves it.
#include <CLI/CLI.hpp>
#include <QString>
#include <string>

struct ContestoQuiva;
class ValueStore;

class OpzioniEsame {
public:
    void Aggiungi(CLI::App& cli);
    bool Richieste() const { return !m_anteprima.empty() || !m_verifica.empty() || !m_creaDaFile.empty(); }
    bool Anteprima() const { return !m_anteprima.empty(); }
    const std::string& CodiceAnteprima() const { return m_anteprima; }
    // Runs the command asked for; the exit status of the program. valori
    // holds the answers to the definition's prompts (for the preview);
    // codice is the code to create, sostituisci replaces it when it exists.
    int Esegui(ContestoQuiva& contesto, ValueStore& valori, const QString& codice, bool sostituisci) const;

private:
    std::string m_anteprima, m_verifica, m_creaDaFile, m_tabella;
    long m_righe = 20;
};

#pragma once
// quiva-load's commands on definitions as text files: --esporta CODE FILE,
// --importa FILE, --sostituisci. They replace the loads: with one of them
// no codes to load are given.
#include <CLI/CLI.hpp>
#include <string>
#include <vector>

class DatabaseLink;
class FinestraMessaggi;

class OpzioniDefinizioni {
public:
    // Adds the options; codes to load ("codici") are refused with them.
    void Aggiungi(CLI::App& cli);
    bool Richieste() const { return !m_esporta.empty() || !m_importa.empty(); }
    bool Sostituisci() const { return m_sostituisci; }
    // Runs the command asked for; the exit status of the program.
    int Esegui(DatabaseLink& db, FinestraMessaggi& messaggi) const;

private:
    std::vector<std::string> m_esporta;  // code, file
    std::string m_importa;
    bool m_sostituisci = false;
};

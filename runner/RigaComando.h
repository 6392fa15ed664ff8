#pragma once
// The command-line parser's own texts in Italian: the help's frame and the
// messages for a wrong command line.
#include <CLI/CLI.hpp>

// Labels of the help, its help option and the group of the options added
// after this call.
void RigaComandoItaliana(CLI::App& cli);
// Shows the help (exit status 0) or says in Italian what is wrong with the
// command line (exit status 2).
int EsitoRigaComando(const CLI::App& cli, const CLI::ParseError& errore);

#include "RigaComando.h"

#include <cstdio>
#include <string>

namespace {

// What the parser's message names after its first ": " (the arguments, the
// option), or the whole message.
std::string Oggetto(const std::string& messaggio)
{
    const auto due = messaggio.find(": ");
    return due == std::string::npos ? messaggio : messaggio.substr(due + 2);
}

std::string Messaggio(const CLI::ParseError& errore)
{
    const std::string testo = errore.what();
    if (dynamic_cast<const CLI::ExtrasError*>(&errore))
        return "Argomenti non previsti: " + Oggetto(testo);
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&errore))
        return "Numero di valori sbagliato: " + testo;
    if (dynamic_cast<const CLI::RequiredError*>(&errore))
        return "Manca un'opzione richiesta: " + Oggetto(testo);
    if (dynamic_cast<const CLI::ExcludesError*>(&errore)) {
        std::string t = testo;
        const auto esclude = t.find(" excludes ");
        if (esclude != std::string::npos)
            t.replace(esclude, 10, " e ");
        return "Opzioni che non vanno insieme: " + t;
    }
    if (dynamic_cast<const CLI::RequiresError*>(&errore)) {
        std::string t = testo;
        const auto vuole = t.find(" requires ");
        if (vuole != std::string::npos)
            t.replace(vuole, 10, " vuole ");
        return "Opzione incompleta: " + t;
    }
    if (dynamic_cast<const CLI::ConversionError*>(&errore))
        return "Valore non valido: " + Oggetto(testo);
    if (dynamic_cast<const CLI::ValidationError*>(&errore))
        return Oggetto(testo);  // our own checks speak Italian already
    return "Riga di comando non valida: " + testo;
}

}  // namespace

void RigaComandoItaliana(CLI::App& cli)
{
    auto formato = cli.get_formatter();
    formato->label("Usage", "Uso");
    formato->label("OPTIONS", "OPZIONI");
    formato->label("Positionals", "Argomenti");
    formato->label("REQUIRED", "OBBLIGATORIO");
    formato->label("Needs", "Vuole");
    formato->label("Excludes", "Esclude");
    formato->label("Env", "Variabile");
    cli.option_defaults()->group("Opzioni");
    cli.set_help_flag("-h,--help", "Mostra questo aiuto ed esce");
}

int EsitoRigaComando(const CLI::App& cli, const CLI::ParseError& errore)
{
    if (dynamic_cast<const CLI::CallForHelp*>(&errore) || dynamic_cast<const CLI::CallForAllHelp*>(&errore)) {
        std::fputs(cli.help().c_str(), stdout);
        return 0;
    }
    if (dynamic_cast<const CLI::CallForVersion*>(&errore)) {
        std::printf("%s\n", errore.what());  // the version text
        return 0;
    }
    std::fprintf(stderr, "%s\nVedere: quiva-load --help\n", Messaggio(errore).c_str());
    return 2;
}

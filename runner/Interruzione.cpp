#include "Interruzione.h"

#include "DatabaseLink.h"
#include "StatoElaborazione.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

std::atomic<int> richieste {0};
DatabaseLink* database = nullptr;

void Gestore(int)
{
    const int n = ++richieste;
    if (n == 1) {
        StatoElaborazione.store(Stato::Interrotto);
    } else if (n == 2) {
        static const char avviso[] = "\nInterruzione: salvataggio di quanto scritto e uscita\n";
        [[maybe_unused]] const auto scritti = write(STDERR_FILENO, avviso, sizeof avviso - 1);
    } else {
        _exit(130);
    }
}

}  // namespace

namespace Interruzione {

void Installa(DatabaseLink& db)
{
    database = &db;
    // An end asked by the system (a shutdown, a closed terminal, a
    // scheduler's stop) stops the load like Ctrl+C.
    struct sigaction azione {};
    azione.sa_handler = Gestore;
    azione.sa_flags = SA_RESTART;
    sigemptyset(&azione.sa_mask);
    for (int segnale : {SIGINT, SIGTERM, SIGHUP})
        sigaction(segnale, &azione, nullptr);
}

void PuntoSicuro()
{
    if (richieste.load() < 2)
        return;
    try {
        if (database)
            database->ConfermaTransazione();
    } catch (const std::exception&) {
        // The commit failed: the open batch is lost, the committed ones stay.
    }
    std::fflush(nullptr);
    _exit(130);
}

}  // namespace Interruzione

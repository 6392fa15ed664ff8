#pragma once
// Runs a list of load definitions in order, the one way the load dialog,
// quiva-load and the tests do it.
#include "ConteggiCarico.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

struct ContestoQuiva;
class ProgressMonitor;
class ScQuiva;
class ValueStore;

// How one definition of the list went.
struct EsitoDefinizione {
    QString codice;
    int lettura = 0;  // LeggiTracciato: 0 read, -1 rows missing, else an error number
    int carico = 0;   // QuivaDati: 0 loaded or stopped, else an error number (0 when not run)
    long errori = 0;  // error rows stored
    ConteggiCarico conteggi;  // what the load left in the database
    std::array<QString, ConteggiCarico::NumSlot + 1> tabelle;  // of slots 1..5, empty when unused
    qint64 millisecondi = 0;

    // Read, loaded to the end of its file and its final queries run.
    bool Terminata() const { return lettura == 0 && carico == 0 && conteggi.completo; }
    // Stopped by the user, having ended no other way.
    bool Interrotta() const { return lettura == 0 && carico == 0 && !conteggi.completo; }
};

struct OsservatoreDefinizioni {
    std::function<void(int indice)> prima;                   // before the definition at indice is read
    std::function<void(int indice, ScQuiva& motore)> letta;  // read, not loaded yet
    std::function<void(int indice, const EsitoDefinizione& esito)> dopo;
};

// Each definition gets a fresh engine object: it is read and, when that
// succeeds, loaded. A definition that cannot be read is passed over; a load
// that ends with an error ends the list; a stop confirmed on the run state
// ends it before the next definition. The caller sets the run state to
// running before the call and back to idle after it. Answers one outcome per
// definition started.
std::vector<EsitoDefinizione> EseguiDefinizioni(ContestoQuiva& contesto, const QStringList& codici,
                                                ProgressMonitor& progresso, ValueStore& valori,
                                                const OsservatoreDefinizioni& osservatore = {});

// Error rows stored over the whole list.
long ErroriTotali(const std::vector<EsitoDefinizione>& esiti);

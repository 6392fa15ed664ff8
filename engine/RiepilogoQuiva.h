#pragma once
// What a run of definitions did, told the user at its end: the end notice,
// a summary per definition, and the same as JSON for scripts.
#include "EseguiDefinizioni.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <vector>

struct RiepilogoCorsa {
    QStringList codici;                   // asked for, in order
    std::vector<EsitoDefinizione> esiti;  // of those started
    bool fermata = false;                 // the user stopped the run

    // Every definition asked for ran to its end (rejected lines allowed).
    bool Terminata() const;
    long Errori() const;
};

// "Elaborazione terminata [con N errori ...]" for a run that ended, or
// "Elaborazione interrotta" with its reason.
QString AvvisoFine(const RiepilogoCorsa& corsa);
// One paragraph per definition: how it ended, lines read, accepted and
// rejected, error rows, rows added and changed per table, the time taken.
QString TestoRiepilogo(const RiepilogoCorsa& corsa);
QJsonObject JsonRiepilogo(const RiepilogoCorsa& corsa);

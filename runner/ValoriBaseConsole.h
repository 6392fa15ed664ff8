#pragma once
// Base values of a headless run: the prompts of the definitions answered by
// "--set", by the batch constants or on the terminal.
#include <QHash>
#include <QString>
#include <QStringList>

class DatabaseLink;
class FinestraMessaggi;
class ValueStore;

struct OpzioniValBase {
    QHash<QString, QString> impostati;  // "Codice.NomeCampo" -> answer
    bool batch = false;
    bool interattivo = false;  // the terminal may be asked
};

// Fills store for the definitions of codici. False (after a message that
// says why) when the run must not start.
bool PreparaValoriBase(DatabaseLink& db, FinestraMessaggi& messaggi, const QStringList& codici,
                       const OpzioniValBase& opzioni, ValueStore& store);

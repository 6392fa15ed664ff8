#pragma once
// What the definition editor's screens need from the program around them.
#include <QHash>
#include <QString>
#include <QVariant>

class DatabaseLink;
class FinestraMessaggi;
class RichiestaTesto;

struct ContestoEditor {
    DatabaseLink& db;
    FinestraMessaggi& messaggi;
    RichiestaTesto& domande;
    QHash<QString, QVariant> proprietaDb;  // connection properties ("DbTipoSql:...")
};

#pragma once
// What a load engine object needs from the program around it.
#include "ImpostazioniDitta.h"

#include <QString>

class DatabaseLink;
class FinestraMessaggi;

struct ContestoQuiva {
    DatabaseLink& db;
    FinestraMessaggi& messaggi;
    ImpostazioniDitta ditta;
    QString driveDB;        // "DriveDB" of section "Base"
    QString dirQuiva;       // folder of the source files, already made absolute
    bool soloAsci = false;  // "SoloAsci": control characters become blanks
    int secondiAttesa = 180;  // how long a load waits for another one on the company
};

#pragma once
// The check the definition editor shows: the one a load makes, and what can
// be seen with the whole definition and its source file at hand (keys,
// columns written twice, fixed-width spans, fields with nothing to read,
// decode rows of missing fields, prompts without a description).
#include "VerificaDefinizione.h"

#include <QString>
#include <vector>

struct ContestoQuiva;

struct EsitoVerifica {
    int lettura = 0;  // LeggiTracciato: 0 read, else the definition could not be read (the user was told)
    std::vector<ProblemaDefinizione> problemi;
};

EsitoVerifica VerificaCompleta(ContestoQuiva& contesto, const QString& codice);

// The problems one per line, "Nessun problema" when there are none.
QString TestoVerifica(const QString& codice, const EsitoVerifica& esito);

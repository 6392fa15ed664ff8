#pragma once
// Company and user settings read once at start-up: currency codes and
// decimals from the menu's company parameters and the Monete table, number
// formats, colours and switches.
#include "ImpostazioniDitta.h"
#include "ImpostazioniGenerali.h"

#include <QString>
#include <functional>

class DatabaseLink;
class MenuServer;

// Decimals of a currency from its Monete row; 2, 2, "/", "N" without a row.
// Gives back NumDec. A failing query raises ErroreRun.
int LeggiDecMoneta(DatabaseLink& db, const QString& codice, DecimaliMoneta& uscita);

// Number formats of a currency.
FormatiMoneta FormatiDecimali(const DecimaliMoneta& decimali);

// Reads every setting; db may be null (the currency rows then take their
// defaults). leggiIni reads the working INI (section, key, default).
void LeggiParametriDitta(MenuServer& menu, DatabaseLink* db,
                         const std::function<QString(const QString&, const QString&, const QString&)>& leggiIni,
                         ImpostazioniDitta& ditta, ImpostazioniGenerali& generali);

// A colour of the suite's settings: "&HFFFF80", "&H80000005&", decimal text.
std::uint32_t TestoAColore(const QString& testo, std::uint32_t predefinito);

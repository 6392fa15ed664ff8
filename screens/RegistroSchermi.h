#pragma once
// Registers the load screens by name ("frmQuiva", "frmVerErrori",
// "frmBatchSelez"), so that the start-up can open them when the menu asks.
// Called once by the program's main.
void RegistraSchermiQuivamento();

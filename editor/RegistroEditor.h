#pragma once
// Registers the definition editor's entry screen ("frmGestQuiva"), so that
// the start-up can open it when the menu asks.
void RegistraSchermiEditor();

#pragma once
// The database drivers' own texts, in English, put in Italian words a user
// can act on. The driver's text stays after them as detail.
#include <QString>

// "Tabella inesistente: Clienti (no such table: Clienti)"; the text as it
// stands when it is none of the common failures.
QString TestoDriverItaliano(const QString& testo);

// The names that testo says do not exist ("Tabella inesistente: manca") as
// the statement spells them, where it names them so without regard to case:
// a server speaks of the names as it folds them.
QString NomiComeScritti(const QString& testo, const QString& istruzione);

#pragma once
// Writing back a row that a grid read earlier. Its position in the statement
// run again means nothing (another user may have added or removed rows): the
// row is found by its identity, and refused when it has changed or gone.
class Recordset;

// The position in `fresco` (the same statement read again now) of row `riga`
// of `letto`. Raises ErroreRun DatoVariato ("Il dato è stato modificato o
// cancellato da un altro utente") when no row there has its identity and
// its values.
int RitrovaRiga(const Recordset& letto, int riga, const Recordset& fresco);

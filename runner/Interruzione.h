#pragma once
// Ctrl+C in quiva-load, and SIGTERM and SIGHUP alike. The first asks the running load to stop before its
// next line (what is written is committed, the final queries are skipped).
// The second ends the program at the next point between two lines or two
// statements, after committing what is written. A third ends it at once: the
// database then loses only the batch not yet committed.
class DatabaseLink;

namespace Interruzione {
void Installa(DatabaseLink& db);
// Called where no statement is running and no line is half written.
void PuntoSicuro();
}  // namespace Interruzione

#!/usr/bin/env bash
# Installs what is missing, builds, creates the demo company and runs its
# loads, printing the end notices.
set -euo pipefail
radice="$(cd "$(dirname "$0")/.." && pwd)"
build="${QUIVA_BUILD:-$radice/build}"
"$radice/scripts/dipendenze.sh"
"$radice/scripts/compila.sh"

ditta="$build/demo"
rm -rf "$ditta" && mkdir -p "$ditta"
cp -r "$radice/demo/dati" "$ditta/dati"
printf '[Base]\r\nDriveDB=\r\nDirQuiva=%s/dati/\r\n' "$ditta" > "$ditta/quiva.ini"
sqlite3 "$ditta/ditta.db" < "$radice/demo/ditta.sql"

echo "Ditta dimostrativa: $ditta/ditta.db"
"$build/runner/quiva-load" --db "$ditta/ditta.db" --ini "$ditta/quiva.ini" CLIENTI ARTICOLI || true
echo
echo "Clienti caricati:"
sqlite3 -header -column "$ditta/ditta.db" "SELECT Codice, RagioneSociale, Citta, Fido, DataInserimento FROM Clienti"
echo
echo "Righe scartate (ErroriQuivamento):"
sqlite3 -header -column "$ditta/ditta.db" "SELECT Tabella, Errore FROM ErroriQuivamento"

#!/usr/bin/env bash
# Installs what is missing, builds, creates the demo company and runs its
# loads, printing the end notices. With a display, it then opens the load
# dialog through the menu stand-in on the same company.
set -euo pipefail
radice="$(cd "$(dirname "$0")/.." && pwd)"
build="${QUIVA_BUILD:-$radice/build}"
"$radice/scripts/dipendenze.sh"
"$radice/scripts/compila.sh"

ditta="$build/demo"
rm -rf "$ditta" && mkdir -p "$ditta"
cp -r "$radice/demo/dati" "$ditta/dati"
# The working INI of the company: the menu stand-in and quiva-load read it.
printf '[Base]\r\nDriveDB=\r\nDirQuiva=%s/dati/\r\n\r\n[Configurazioni]\r\nFormatData=dd/mm/yyyy\r\n' "$ditta" > "$ditta/ditta.ini"
sqlite3 "$ditta/ditta.db" < "$radice/demo/ditta.sql"

echo "Ditta dimostrativa: $ditta/ditta.db"
"$build/runner/quiva-load" --db "$ditta/ditta.db" --ini "$ditta/ditta.ini" CLIENTI ARTICOLI || true
echo
echo "Clienti caricati:"
sqlite3 -header -column "$ditta/ditta.db" "SELECT Codice, RagioneSociale, Citta, Fido, DataInserimento FROM Clienti"
echo
echo "Righe scartate (ErroriQuivamento):"
sqlite3 -header -column "$ditta/ditta.db" "SELECT Tabella, Errore FROM ErroriQuivamento"

if [ -n "${DISPLAY:-}" ] && [ -z "${CI:-}" ]; then
  echo
  echo "Apertura del dialogo di quivamento dal menu..."
  "$build/menu/quiva-menu" --config "$ditta/menu.ini" --ditta "$ditta/ditta.db" --avvia frmQuiva
fi

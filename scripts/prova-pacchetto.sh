#!/usr/bin/env bash
# Builds the Debian package, unpacks it into an empty folder and runs the
# unpacked programs there: their version, and the demo company's loads with
# the installed quiva-load and demo files. lintian must report no error.
set -euo pipefail
radice="$(cd "$(dirname "$0")/.." && pwd)"
pacchetto="$("$radice/scripts/pacchetto.sh" | tail -n1)"
lavoro="$(mktemp -d)"
trap 'rm -rf "$lavoro"' EXIT
echo "Pacchetto: $pacchetto ($(du -k "$pacchetto" | cut -f1) KB)"

radice_pulita="$lavoro/radice"
dpkg -x "$pacchetto" "$radice_pulita"
versione="$(dpkg-deb -f "$pacchetto" Version)"
for programma in quiva quiva-load quiva-menu; do
  letta="$("$radice_pulita/usr/bin/$programma" --version)"
  [ "$letta" = "$programma $versione" ] || { echo "$programma --version: '$letta', atteso '$programma $versione'" >&2; exit 1; }
done
if file "$radice_pulita/usr/bin/quiva-load" | grep -q "not stripped"; then
  echo "quiva-load non è stato ripulito dei simboli" >&2; exit 1
fi

# The demo company from the installed files, loaded by the installed program.
demo="$radice_pulita/usr/share/quiva/demo"
ditta="$lavoro/ditta"
mkdir -p "$ditta"
cp -r "$demo/dati" "$ditta/dati"
printf '[Base]\r\nDriveDB=\r\nDirQuiva=%s/dati/\r\n' "$ditta" > "$ditta/ditta.ini"
sqlite3 "$ditta/ditta.db" < "$demo/ditta.sql"
"$radice_pulita/usr/bin/quiva-load" --db "$ditta/ditta.db" --ini "$ditta/ditta.ini" CLIENTI ARTICOLI >"$lavoro/esito.txt" 2>/dev/null \
  || { cat "$lavoro/esito.txt" >&2; echo "Caricamento dimostrativo non riuscito" >&2; exit 1; }
for tabella in Clienti Articoli PrezziListino; do
  righe="$(sqlite3 "$ditta/ditta.db" "SELECT count(*) FROM $tabella")"
  [ "$righe" -gt 0 ] || { echo "Nessuna riga caricata in $tabella" >&2; exit 1; }
done

lintian --fail-on error --tag-display-limit 0 "$pacchetto"
echo "Pacchetto provato: $versione installato in una radice vuota, ditta dimostrativa caricata"

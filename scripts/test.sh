#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test; then builds and
# tries the Debian package, runs the tests again under the sanitizers, and
# the fuzz target for a minute. The server
# tests start throw-away PostgreSQL servers under one folder of this run;
# whatever a killed test leaves there is stopped and removed on the way out.
set -euo pipefail
radice="$(cd "$(dirname "$0")/.." && pwd)"
"$radice/scripts/dipendenze.sh"
"$radice/scripts/compila.sh"

QUIVA_PG_RADICE="$(mktemp -d "${TMPDIR:-/tmp}/quiva-pg-run.XXXXXX")"
chmod 755 "$QUIVA_PG_RADICE"
export QUIVA_PG_RADICE
pulisci() {
  local file pid
  for file in "$QUIVA_PG_RADICE"/*/dati/postmaster.pid; do
    [ -f "$file" ] || continue
    pid="$(head -n1 "$file")"
    kill -QUIT "$pid" 2>/dev/null || continue
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  done
  rm -rf "$QUIVA_PG_RADICE"
}
trap pulisci EXIT

cd "${QUIVA_BUILD:-$radice/build}"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 300 -j "$(nproc)"
"$radice/scripts/prova-pacchetto.sh"
"$radice/scripts/sanitizzatori.sh"
"$radice/scripts/fuzz.sh"

#!/usr/bin/env bash
# Runs a command against a throw-away PostgreSQL server: its own data folder
# in a temporary directory, reachable only through a unix socket in that
# folder, owned by an unprivileged user when we run as root. The command gets
# the ODBC connection text in QUIVA_PROVA_ODBC and the socket folder in
# QUIVA_PROVA_PGHOST. The server is stopped and its folder removed on every
# exit. Exits 77 (a skipped test) when the server is not installed, unless
# CI is set. The folder is made under QUIVA_PG_RADICE when given, so that a
# caller can stop what a killed run left behind (see scripts/test.sh).
#   scripts/server-prova.sh COMMAND [ARGS...]
set -euo pipefail

bin="${QUIVA_PG_BIN:-$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n1 || true)}"
if [ -z "$bin" ] || [ ! -x "$bin/postgres" ]; then
  echo "server-prova: PostgreSQL non installato" >&2
  [ -n "${CI:-}" ] && exit 1
  exit 77
fi

cartella="$(mktemp -d "${QUIVA_PG_RADICE:-${TMPDIR:-/tmp}}/quiva-pg.XXXXXX")"
chmod 755 "$cartella"
dati="$cartella/dati"
come=()
if [ "$(id -u)" -eq 0 ]; then
  # The server refuses to run as root.
  utente="${QUIVA_PG_UTENTE:-postgres}"
  getent passwd "$utente" >/dev/null || utente=nobody
  chown "$utente" "$cartella"
  come=(runuser -u "$utente" --)
fi
# The server's tools run from its own folder: the caller's may be closed to
# the server's user.
server() { (cd "$cartella" && "${come[@]}" "$@"); }

ferma() {
  server "$bin/pg_ctl" -D "$dati" -m immediate -w -t 20 stop >/dev/null 2>&1 || true
  rm -rf "$cartella"
}
trap ferma EXIT
trap 'exit 130' INT TERM

server "$bin/initdb" -D "$dati" -U quiva --auth=trust -E UTF8 --locale=C.UTF-8 --no-sync >"$cartella/initdb.log" 2>&1 \
  || { cat "$cartella/initdb.log" >&2; exit 1; }
# Unix socket only; no TCP listener. Durability is not needed for a scratch
# server, speed is.
server "$bin/pg_ctl" -D "$dati" -w -t 30 -l "$cartella/server.log" \
  -o "-c listen_addresses='' -c unix_socket_directories='$cartella' -c fsync=off -c synchronous_commit=off -c full_page_writes=off" \
  start >/dev/null || { cat "$cartella/server.log" >&2; exit 1; }
"$bin/psql" -h "$cartella" -U quiva -d postgres -qAt -c "CREATE DATABASE ditta" >/dev/null

export QUIVA_PROVA_PGHOST="$cartella"
export QUIVA_PROVA_ODBC="ODBC;DRIVER=PostgreSQL Unicode;SERVER=$cartella;PORT=5432;DATABASE=ditta;UID=quiva;"
export QUIVA_PG_BIN="$bin"
"$@"

#!/usr/bin/env bash
# Installs what is missing, builds, and makes the Debian package
# build/quiva_<versione>_<arch>.deb (or under $QUIVA_BUILD). Install it with
#   apt-get install ./build/quiva_*.deb
set -euo pipefail
radice="$(cd "$(dirname "$0")/.." && pwd)"
build="${QUIVA_BUILD:-$radice/build}"
"$radice/scripts/dipendenze.sh"
"$radice/scripts/compila.sh"
rm -f "$build"/quiva_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/quiva_*.deb

#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test; then the tests
# again under the sanitizers, and the fuzz target for a minute.
set -euo pipefail
radice="$(cd "$(dirname "$0")/.." && pwd)"
"$radice/scripts/dipendenze.sh"
"$radice/scripts/compila.sh"
cd "${QUIVA_BUILD:-$radice/build}"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 300 -j "$(nproc)"
"$radice/scripts/sanitizzatori.sh"
"$radice/scripts/fuzz.sh"

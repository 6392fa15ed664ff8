#!/usr/bin/env bash
# Configures and builds everything into build/ (or $QUIVA_BUILD).
set -euo pipefail
radice="$(cd "$(dirname "$0")/.." && pwd)"
build="${QUIVA_BUILD:-$radice/build}"
lanciatore=()
command -v ccache >/dev/null && lanciatore=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$radice" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${lanciatore[@]}" >/dev/null
cmake --build "$build" --parallel "$(nproc)"

#!/usr/bin/env bash
# Builds the libFuzzer target of fuzz/ with clang into build-fuzz/ and runs it
# for a bounded time (QUIVA_FUZZ_SECONDI, 60 by default) from the seeds kept
# in fuzz/corpus. A crash, a hang or a sanitizer report fails the run and
# leaves the input as build-fuzz/crash-* to be turned into a regression test.
set -euo pipefail
radice="$(cd "$(dirname "$0")/.." && pwd)"
build="${QUIVA_BUILD_FUZZ:-$radice/build-fuzz}"
lanciatore=()
command -v ccache >/dev/null && lanciatore=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$radice/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ "${lanciatore[@]}" >/dev/null
cmake --build "$build" --parallel "$(nproc)"
lavoro="$(mktemp -d)"
trap 'rm -rf "$lavoro"' EXIT
"$build/fuzz_campi" -dict="$radice/fuzz/campi.dict" -max_total_time="${QUIVA_FUZZ_SECONDI:-60}" -max_len=1024 \
  -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$build/" -print_final_stats=1 "$lavoro" "$radice/fuzz/corpus"

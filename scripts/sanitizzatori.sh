#!/usr/bin/env bash
# Builds the tests that need no screen with AddressSanitizer and
# UndefinedBehaviorSanitizer into build-asan/ (or $QUIVA_BUILD_ASAN) and runs
# them; then the data-layer and engine tests with ThreadSanitizer into
# build-tsan/ (or $QUIVA_BUILD_TSAN), since a load reads its source on a
# second thread and the company file's log is copied on a third. Any
# sanitizer report fails the run. The kill and fault tests, which time whole
# loads, run in the normal build only.
set -euo pipefail
radice="$(cd "$(dirname "$0")/.." && pwd)"
build="${QUIVA_BUILD_ASAN:-$radice/build-asan}"
lanciatore=()
command -v ccache >/dev/null && lanciatore=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
opzioni="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
cmake -S "$radice" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${lanciatore[@]}" \
  -DCMAKE_CXX_FLAGS="$opzioni" -DCMAKE_EXE_LINKER_FLAGS="$opzioni" -DCMAKE_SHARED_LINKER_FLAGS="$opzioni" >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target test_common test_engine test_runner

build_tsan="${QUIVA_BUILD_TSAN:-$radice/build-tsan}"
opzioni_tsan="-fsanitize=thread -fno-omit-frame-pointer"
cmake -S "$radice" -B "$build_tsan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${lanciatore[@]}" \
  -DCMAKE_CXX_FLAGS="$opzioni_tsan" -DCMAKE_EXE_LINKER_FLAGS="$opzioni_tsan" \
  -DCMAKE_SHARED_LINKER_FLAGS="$opzioni_tsan" >/dev/null
cmake --build "$build_tsan" --parallel "$(nproc)" --target test_common test_engine

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:allocator_may_return_null=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen
"$build/tests/test_common"
"$build/tests/test_engine"
"$build/tests/runner/test_runner" --gtest_filter='-*Interruzioni*:*Guasti*'
# Without address randomisation: some kernels randomise more than the
# thread sanitizer can map around.
TSAN_OPTIONS="halt_on_error=1" setarch "$(uname -m)" -R "$build_tsan/tests/test_common"
TSAN_OPTIONS="halt_on_error=1" setarch "$(uname -m)" -R "$build_tsan/tests/test_engine"

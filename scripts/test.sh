#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the normal
# build (engine, command line, editor), then the engine and its tests again
# under AddressSanitizer and UBSan, which fail on any report.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
jobs=$(nproc)

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPRAX_WERROR=ON >/dev/null
cmake --build build -j"$jobs"
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs")

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DPRAX_SANITIZE=ON -DPRAX_BUILD_APP=OFF -DPRAX_WERROR=ON >/dev/null
cmake --build build-asan -j"$jobs"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest --output-on-failure -j"$jobs")

# The fuzz target (clang) for a bounded time. A memory error, crash, hang or
# leak fails the run; a new finding of the token-and-stability property is
# reported with its input kept (the saved cases in tests/fuzz/regressions are
# replayed strictly by fuzz_regression_test above).
PRAX_FUZZ_PROPERTY=report FUZZ_SECONDS=120 bash scripts/fuzz.sh

#!/usr/bin/env bash
# Installs what is missing, builds, and formats the bundled sample.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target prax-format
build/bin/prax-format --no-profile examples/sample.sql

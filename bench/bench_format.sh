#!/usr/bin/env bash
# Formats a large pure-SQL input built from the corpus (../shared/corpus when
# present, else the own samples in tests/data/samples) with prax-format and
# prints throughput (MB/s, both passes, file to file) and peak memory.
#   bash bench/bench_format.sh [SIZE_MB]   (default 24)
set -euo pipefail
cd "$(dirname "$0")/.."
size_mb=${1:-24}
corpus=${PRAX_CORPUS_DIR:-../shared/corpus}
if [ -z "${PRAX_CORPUS_DIR:-}" ] && [ ! -d "$corpus" ]; then
  echo "bench: no corpus at $corpus; using tests/data/samples" >&2
  corpus=tests/data/samples
fi
prog=${PRAX_FORMAT:-build/bin/prax-format}
[ -x "$prog" ] || { cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null; cmake --build build -j"$(nproc)" --target prax-format; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
input=$work/input.sql
# Whole statements of the SQL corpus, repeated until the input is big enough.
# Files that hold a token beyond the scanner's limit are left out.
: > "$work/seed.sql"
for f in "$corpus"/sql/*.sql; do
  if "$prog" --no-profile "$f" >/dev/null 2>&1; then cat "$f" >> "$work/seed.sql"; printf '\n' >> "$work/seed.sql"; fi
done
target=$((size_mb * 1024 * 1024))
while [ "$(stat -c %s "$input" 2>/dev/null || echo 0)" -lt "$target" ]; do cat "$work/seed.sql" >> "$input"; done
bytes=$(stat -c %s "$input")

/usr/bin/time -f '%e %M' -o "$work/time" "$prog" --no-profile "$input" -o "$work/output.sql" 2>/dev/null || true
read -r seconds peak_kb < "$work/time"
awk -v b="$bytes" -v s="$seconds" -v m="$peak_kb" 'BEGIN {
  printf "input: %.1f MB\ntime: %.2f s\nthroughput: %.1f MB/s\npeak memory: %.1f MiB\n", b/1e6, s, (s > 0 ? b/1e6/s : 0), m/1024 }'

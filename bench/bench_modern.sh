#!/usr/bin/env bash
# The cost of the modern layout: formats one pure-SQL input built from the
# corpus with the classic layout and with --style modern (best of 5 runs
# each, CPU time: the machine may be shared) and prints both times and their
# ratio; the target is at most 1.15.
#   bash bench/bench_modern.sh [SIZE_MB]   (default 8)
set -euo pipefail
cd "$(dirname "$0")/.."
size_mb=${1:-8}
corpus=${PRAX_CORPUS_DIR:-../shared/corpus}
prog=${PRAX_FORMAT:-build/bin/prax-format}
[ -x "$prog" ] || { cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null; cmake --build build -j"$(nproc)" --target prax-format; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
input=$work/input.sql
: > "$work/seed.sql"
for f in "$corpus"/sql/*.sql; do
  if "$prog" --no-profile "$f" >/dev/null 2>&1; then cat "$f" >> "$work/seed.sql"; printf '\n' >> "$work/seed.sql"; fi
done
target=$((size_mb * 1024 * 1024))
while [ "$(stat -c %s "$input" 2>/dev/null || echo 0)" -lt "$target" ]; do cat "$work/seed.sql" >> "$input"; done

best() { # best CPU time of 5 runs of prax-format with the given arguments
  local b=""
  for _ in 1 2 3 4 5; do
    /usr/bin/time -f '%U %S' -o "$work/t" "$prog" --no-profile "$@" "$input" -o "$work/out.sql" 2>/dev/null || true
    t=$(awk '{ print $1 + $2 }' "$work/t"); b=$(awk -v a="$b" -v t="$t" 'BEGIN { print (a == "" || t < a) ? t : a }')
  done
  echo "$b"
}
classic=$(best)
modern=$(best --style modern)
awk -v c="$classic" -v m="$modern" -v b="$(stat -c %s "$input")" 'BEGIN {
  printf "input: %.1f MB\nclassic: %.2f s\nmodern: %.2f s\nratio: %.3f (target <= 1.15)\n", b/1e6, c, m, (c > 0 ? m/c : 0) }'

#!/usr/bin/env bash
# The cost of the modern layout: formats one pure-SQL input built from the
# corpus with the classic layout and with --style modern, in interleaved
# runs (classic, modern, classic, ...), so that a change in the machine's load
# falls on both alike. Prints the median CPU time (user + sys) of each, the
# median of the per-pair ratios, and their spread; the target is at most 1.15.
#   bash bench/bench_modern.sh [SIZE_MB [RUNS]]   (default 20 MB, 11 pairs)
# PRAX_FORMAT names the binary (default build/bin/prax-format), PRAX_CORPUS_DIR
# the corpus (default ../shared/corpus, else the own samples).
set -euo pipefail
cd "$(dirname "$0")/.."
size_mb=${1:-20}
runs=${2:-11}
corpus=${PRAX_CORPUS_DIR:-../shared/corpus}
[ -d "$corpus/sql" ] || corpus=tests/data/samples
prog=${PRAX_FORMAT:-build/bin/prax-format}
[ -x "$prog" ] || { cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DPRAX_BUILD_APP=OFF >/dev/null; cmake --build build -j2 --target prax-format; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
input=$work/input.sql
: > "$work/seed.sql"
for f in "$corpus"/sql/*.sql; do
  if "$prog" --no-profile "$f" >/dev/null 2>&1; then cat "$f" >> "$work/seed.sql"; printf '\n' >> "$work/seed.sql"; fi
done
target=$((size_mb * 1024 * 1024))
while [ "$(stat -c %s "$input" 2>/dev/null || echo 0)" -lt "$target" ]; do cat "$work/seed.sql" >> "$input"; done

# CPU seconds (user + sys) of one run of prax-format with the given arguments:
# perf's task clock (to the microsecond) where perf may count, else time(1)
# (to the hundredth, 3 % of a 20 MB run).
if perf stat -x, -e task-clock -o /dev/null true 2>/dev/null; then
  cpu() {
    perf stat -x, -e task-clock -o "$work/t" "$prog" --no-profile "$@" "$input" -o "$work/out.sql" 2>/dev/null
    awk -F, '$3 == "task-clock" { printf "%.4f\n", $1 / 1000 }' "$work/t"
  }
else
  cpu() {
    /usr/bin/time -f '%U %S' -o "$work/t" "$prog" --no-profile "$@" "$input" -o "$work/out.sql" 2>/dev/null
    awk '{ printf "%.3f\n", $1 + $2 }' "$work/t"
  }
fi
"$prog" --no-profile "$input" -o "$work/out.sql" 2>/dev/null # warm the page cache
for _ in $(seq "$runs"); do
  c=$(cpu); m=$(cpu --style modern)
  echo "$c $m" >> "$work/pairs"
done
sort -n -k1,1 "$work/pairs" | awk -v b="$(stat -c %s "$input")" -v n="$runs" '
  { c[NR] = $1; m[NR] = $2; r[NR] = ($1 > 0 ? $2 / $1 : 0) }
  function median(a, k,   i, j, t) { # sorts a copy of a[1..k]
    for (i = 1; i <= k; i++) s[i] = a[i]
    for (i = 2; i <= k; i++) { t = s[i]; for (j = i - 1; j >= 1 && s[j] > t; j--) s[j + 1] = s[j]; s[j + 1] = t }
    return k % 2 ? s[(k + 1) / 2] : (s[k / 2] + s[k / 2 + 1]) / 2
  }
  END {
    mc = median(c, n); mm = median(m, n); mr = median(r, n)
    lo = s[1]; hi = s[n]
    printf "input: %.1f MB, %d interleaved pairs\n", b / 1e6, n
    printf "classic: %.3f s CPU (median)\nmodern:  %.3f s CPU (median)\n", mc, mm
    printf "ratio: %.3f (median of pair ratios %.3f, range %.3f-%.3f; target <= 1.15)\n", (mc > 0 ? mm / mc : 0), mr, lo, hi
  }'

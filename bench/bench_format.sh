#!/usr/bin/env bash
# Throughput and peak memory of prax-format on large pure-SQL inputs.
#
#   bash bench/bench_format.sh [SIZE_MB...]      (default: 20 100)
#
# Each input is made of whole SQL files repeated until it reaches the size:
# the own samples in tests/data/samples/sql, or the files of PRAX_CORPUS_DIR/sql
# (for instance PRAX_CORPUS_DIR=../shared/corpus). Files the formatter refuses
# are left out. For every size two modes are measured, both passes included:
#   file   prax-format INPUT OUTPUT
#   stdin  prax-format < INPUT > OUTPUT   (the command-line road of a pipe)
# and the median of BENCH_RUNS runs (default 3) is printed: wall time, CPU
# time (user + system), MB/s on both, and peak resident memory. On a machine
# that others load the CPU figure is the one to compare.
#
# When sql-formatter is on PATH it is run once on the first 1 MB of the same
# input, for comparison (it is not installed by this script).
#
# Environment: PRAX_FORMAT (program, default build/bin/prax-format),
# PRAX_CORPUS_DIR, BENCH_RUNS, BENCH_KEEP_INPUT=DIR (keep the inputs there).
set -euo pipefail
cd "$(dirname "$0")/.."
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(20 100)
runs=${BENCH_RUNS:-3}
samples=tests/data/samples/sql
[ -n "${PRAX_CORPUS_DIR:-}" ] && samples=$PRAX_CORPUS_DIR/sql
prog=${PRAX_FORMAT:-build/bin/prax-format}
if [ ! -x "$prog" ]; then
  cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DPRAX_BUILD_APP=OFF >/dev/null
  cmake --build build -j"$(nproc)" --target prax-format
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
inputs=${BENCH_KEEP_INPUT:-$work}
mkdir -p "$inputs"

# One copy of every sample the formatter accepts, each followed by a line feed.
: > "$work/seed.sql"
for f in "$samples"/*.sql; do
  if "$prog" --no-profile "$f" >/dev/null 2>&1; then cat "$f" >> "$work/seed.sql"; printf '\n' >> "$work/seed.sql"; fi
done
[ -s "$work/seed.sql" ] || { echo "bench: no usable SQL in $samples" >&2; exit 1; }

# make_input SIZE_BYTES FILE: the seed repeated until FILE holds SIZE_BYTES or more.
make_input() {
  local target=$1 file=$2
  [ -f "$file" ] && [ "$(stat -c %s "$file")" -ge "$target" ] && return 0
  cp "$work/seed.sql" "$file"
  # Doubling keeps this to a few dozen appends even for 100 MB.
  while [ "$(stat -c %s "$file")" -lt $((target / 2)) ]; do cat "$file" "$file" > "$file.tmp"; mv "$file.tmp" "$file"; done
  # The file is whole copies of the seed, so a prefix of whole copies tops it up.
  local seed size
  seed=$(stat -c %s "$work/seed.sql")
  size=$(stat -c %s "$file")
  if [ "$size" -lt "$target" ]; then
    head -c $(( (target - size + seed - 1) / seed * seed )) "$file" > "$file.tmp"
    cat "$file.tmp" >> "$file"; rm -f "$file.tmp"
  fi
}

# measure MODE INPUT: prints "wall cpu peak_kb" of one run, or fails.
measure() {
  local mode=$1 input=$2 status=0
  if [ "$mode" = file ]; then
    /usr/bin/time -f '%e %U %S %M' -o "$work/time" "$prog" --no-profile "$input" -o "$work/out.sql" 2>"$work/err" || status=$?
  else
    /usr/bin/time -f '%e %U %S %M' -o "$work/time" "$prog" --no-profile < "$input" > "$work/out.sql" 2>"$work/err" || status=$?
  fi
  if [ "$status" -ne 0 ]; then
    echo "bench: prax-format failed ($mode, status $status):" >&2; cat "$work/err" >&2; return 1
  fi
  awk '{ printf "%s %.2f %s\n", $1, $2 + $3, $4 }' "$work/time"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

printf '%-6s %-6s %9s %9s %9s %9s %9s\n' size mode wall_s cpu_s "MB/s_wall" "MB/s_cpu" peak_MiB
for size in "${sizes[@]}"; do
  input=$inputs/input-${size}mb.sql
  make_input $((size * 1000 * 1000)) "$input"
  bytes=$(stat -c %s "$input")
  for mode in file stdin; do
    : > "$work/runs"
    for _ in $(seq "$runs"); do measure "$mode" "$input" >> "$work/runs"; done
    wall=$(cut -d' ' -f1 "$work/runs" | median)
    cpu=$(cut -d' ' -f2 "$work/runs" | median)
    peak=$(cut -d' ' -f3 "$work/runs" | sort -n | tail -1)
    awk -v b="$bytes" -v w="$wall" -v c="$cpu" -v m="$peak" -v s="$size" -v mode="$mode" 'BEGIN {
      printf "%-6s %-6s %9.2f %9.2f %9.1f %9.1f %9.1f\n", s "MB", mode, w, c,
             (w > 0 ? b / 1e6 / w : 0), (c > 0 ? b / 1e6 / c : 0), m / 1024 }'
  done
done

if command -v sql-formatter >/dev/null 2>&1; then
  head -c 1000000 "$inputs/input-${sizes[0]}mb.sql" > "$work/one-mb.sql"
  measure stdin "$work/one-mb.sql" | awk '{ printf "prax-format, 1 MB: wall %.2f s, cpu %.2f s, peak %.1f MiB\n", $1, $2, $3 / 1024 }'
  status=0
  /usr/bin/time -f '%e %U %S %M' -o "$work/time" sql-formatter "$work/one-mb.sql" > /dev/null 2>"$work/err" || status=$?
  awk -v st="$status" '{ printf "sql-formatter, 1 MB: wall %.2f s, cpu %.2f s, peak %.1f MiB, status %d\n", $1, $2 + $3, $4 / 1024, st }' "$work/time"
fi

#!/usr/bin/env bash
# In-place formatting of many small files with one worker and with two:
# wall and CPU time (user + system) of each, and the speed-up of -j 2 over
# -j 1, as medians of interleaved runs (the order of the two alternates from
# round to round); the load average before each run is shown with it.
#   bash bench/bench_jobs.sh [FILES] [ROUNDS]   (default 10000 files, 3 rounds)
# PRAX_FORMAT=path measures another build.
set -euo pipefail
cd "$(dirname "$0")/.."
count=${1:-10000}
rounds=${2:-3}
prog=${PRAX_FORMAT:-build/bin/prax-format}
[ -x "$prog" ] || { cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DPRAX_BUILD_APP=OFF >/dev/null; cmake --build build -j"$(nproc)" --target prax-format; }
prog=$(realpath "$prog")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The own SQL samples, round robin, under new names.
mapfile -t seeds < <(ls tests/data/samples/sql/*.sql)
mkdir "$work/seed"
for ((i = 0; i < count; i++)); do
  cp "${seeds[i % ${#seeds[@]}]}" "$work/seed/f$i.sql"
done

run() { # JOBS -> "wall cpu load", formatting a fresh copy in $work/jJOBS
  rm -rf "$work/j$1"
  cp -r "$work/seed" "$work/j$1"
  sync
  local load
  load=$(cut -d' ' -f1 /proc/loadavg)
  /usr/bin/time -f '%e %U %S' -o "$work/time" "$prog" --no-profile -q -i -j "$1" "$work/j$1" >/dev/null 2>&1 || true
  awk -v l="$load" '{ printf "%.2f %.2f %s\n", $1, $2 + $3, l }' "$work/time"
}
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }

: > "$work/runs"
for ((r = 1; r <= rounds; r++)); do
  order="1 2"
  [ $((r % 2)) -eq 0 ] && order="2 1"
  for j in $order; do
    read -r wall cpu load < <(run "$j")
    echo "$j $wall $cpu $load" >> "$work/runs"
    printf 'round %d -j %d: %6.2f s wall, %6.2f s CPU, load %s\n' "$r" "$j" "$wall" "$cpu" "$load"
  done
  diff -rq "$work/j1" "$work/j2" >/dev/null || echo "warning: -j 1 and -j 2 results differ"
done
w1=$(awk '$1 == 1 { print $2 }' "$work/runs" | median)
c1=$(awk '$1 == 1 { print $3 }' "$work/runs" | median)
w2=$(awk '$1 == 2 { print $2 }' "$work/runs" | median)
c2=$(awk '$1 == 2 { print $3 }' "$work/runs" | median)
awk -v n="$count" -v w1="$w1" -v c1="$c1" -v w2="$w2" -v c2="$c2" 'BEGIN {
  printf "files: %d, medians\n-j 1: %.2f s wall, %.2f s CPU (%.2f ms a file)\n-j 2: %.2f s wall, %.2f s CPU (%.2f ms a file)\nspeed-up: %.2fx\n",
         n, w1, c1, 1000 * c1 / n, w2, c2, 1000 * c2 / n, (w2 > 0 ? w1 / w2 : 0) }'

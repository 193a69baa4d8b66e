#!/usr/bin/env bash
# In-place formatting of many small files with one worker and with two:
# wall and CPU time of each, and the speed-up of -j 2 over -j 1.
#   bash bench/bench_jobs.sh [FILES]   (default 10000)
set -euo pipefail
cd "$(dirname "$0")/.."
count=${1:-10000}
prog=${PRAX_FORMAT:-build/bin/prax-format}
[ -x "$prog" ] || { cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DPRAX_BUILD_APP=OFF >/dev/null; cmake --build build -j"$(nproc)" --target prax-format; }
prog=$(realpath "$prog")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The own SQL samples, round robin, under new names.
mapfile -t seeds < <(ls tests/data/samples/sql/*.sql)
mkdir "$work/one" "$work/two"
for ((i = 0; i < count; i++)); do
  cp "${seeds[i % ${#seeds[@]}]}" "$work/one/f$i.sql"
done
cp -r "$work/one/." "$work/two/"

run() { # DIR JOBS -> "wall cpu"
  /usr/bin/time -f '%e %U %S' -o "$work/time" "$prog" --no-profile -q -i -j "$2" "$1" >/dev/null 2>&1 || true
  awk '{ printf "%.2f %.2f\n", $1, $2 + $3 }' "$work/time"
}
read -r wall1 cpu1 < <(run "$work/one" 1)
read -r wall2 cpu2 < <(run "$work/two" 2)
diff -rq "$work/one" "$work/two" >/dev/null || echo "warning: -j 1 and -j 2 results differ"
awk -v n="$count" -v w1="$wall1" -v c1="$cpu1" -v w2="$wall2" -v c2="$cpu2" 'BEGIN {
  printf "files: %d\n-j 1: %.2f s wall, %.2f s CPU\n-j 2: %.2f s wall, %.2f s CPU\nspeed-up: %.2fx\n",
         n, w1, c1, w2, c2, (w2 > 0 ? w1 / w2 : 0) }'

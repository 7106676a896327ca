#!/bin/sh
# Runs each benchmark script under the project's interpreter and under lua5.1, prints the
# time of each (best of RUNS runs, default 5, the two interpreters taking turns so both meet
# the same load), the ratio vlua/lua5.1 and the geometric mean of ratios.
# Usage: bench/lua/run.sh [path/to/vlua]   (default: build/core/lua/vlua)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
vlua=${1:-$root/build/core/lua/vlua}
peer=${LUA51:-lua5.1}
[ -x "$vlua" ] || { echo "no vlua at $vlua (build the vlua target first)" >&2; exit 1; }
command -v "$peer" >/dev/null || { echo "no $peer on PATH" >&2; exit 1; }

runs=${RUNS:-5}

# Wall time of one run in seconds, or FAIL.
one_time() {
  start=$(date +%s.%N)
  "$1" "$2" >/dev/null 2>&1 || { echo "FAIL"; return; }
  end=$(date +%s.%N)
  awk "BEGIN{print $end - $start}"
}

# The smaller of two times, FAIL winning.
best_of() {
  if [ "$1" = FAIL ] || [ "$2" = FAIL ]; then echo FAIL
  elif [ -z "$1" ] || awk "BEGIN{exit !($2 < $1)}"; then echo "$2"
  else echo "$1"; fi
}

printf '%-22s %10s %10s %8s\n' script vlua lua5.1 ratio
ratios=""
for script in "$here"/*.lua; do
  name=$(basename "$script" .lua)
  mine_out=$("$vlua" "$script" 2>&1 || true)
  peer_out=$("$peer" "$script" 2>&1 || true)
  [ "$mine_out" = "$peer_out" ] || echo "warning: $name prints differently under the two interpreters" >&2
  tm="" tp=""
  for _ in $(seq "$runs"); do
    tm=$(best_of "$tm" "$(one_time "$vlua" "$script")")
    tp=$(best_of "$tp" "$(one_time "$peer" "$script")")
  done
  if [ "$tm" = FAIL ] || [ "$tp" = FAIL ]; then
    printf '%-22s %10s %10s %8s\n' "$name" "$tm" "$tp" "-"
    continue
  fi
  r=$(awk "BEGIN{printf \"%.3f\", $tm / $tp}")
  ratios="$ratios $r"
  printf '%-22s %10.3f %10.3f %8s\n' "$name" "$tm" "$tp" "$r"
done
if [ -n "$ratios" ]; then
  echo "$ratios" | awk '{ s = 0; for (i = 1; i <= NF; i++) s += log($i); printf "geometric mean ratio (vlua/lua5.1): %.3f\n", exp(s / NF) }'
fi

#!/usr/bin/env bash
# Runs every fuzz target of a fuzz tree on its seed corpus for a while, one at a time; fails
# on the first target that finds a crash, a leak or a time-out (its input stays in the
# output folder). Usage: scripts/fuzz.sh [seconds per target] [fuzz tree] [target...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
dir=${2:-build-fuzz}
shift 2 || shift $# || true
here=$PWD
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for exe in "$dir"/fuzz/fuzz_*; do
    [ -x "$exe" ] && targets+=("$(basename "$exe")")
  done
fi
out=$dir/fuzz/runs
mkdir -p "$out"
export LSAN_OPTIONS=suppressions=$here/fuzz/sound.lsan.supp
for target in "${targets[@]}"; do
  seeds=$dir/fuzz/seeds/$target
  corpus=$out/$target
  mkdir -p "$corpus" "$seeds"
  echo "fuzzing $target for ${seconds}s" >&2
  # The readers of XML get inputs long enough to nest far deeper than they read (the default
  # length, taken from the corpus, stays small).
  size=()
  case $target in
    fuzz_xml|fuzz_score_reply|fuzz_score_file|fuzz_prefs) size=(-max_len=1048576) ;;
  esac
  # The loaders log every damaged input: their stderr is closed (-close_fd_mask=2).
  if ! "$dir/fuzz/$target" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=2048 -close_fd_mask=2 "${size[@]}" \
      -artifact_prefix="$out/$target-" -print_final_stats=1 "$corpus" "$seeds" >"$out/$target.log" 2>&1; then
    tail -n 40 "$out/$target.log" >&2
    echo "fuzz target $target failed; see $out/$target.log" >&2
    exit 1
  fi
  grep -E "stat::number_of_executed_units|Done [0-9]+ runs" "$out/$target.log" | tail -n 1 >&2 || true
done

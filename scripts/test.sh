#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite.
# With --sanitize the suite runs under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
kind=plain
[ "${1:-}" = "--sanitize" ] && kind=sanitize
dir=$(scripts/build.sh "$kind" | tail -n 1)
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
suite() { ctest --test-dir "$dir" --output-on-failure --parallel "$(nproc)" --timeout 600 "$@"; }

# Whether every failed test of the last run failed only because the leak checker's own tracer
# crashed after the test passed (it does, rarely, under heavy load); those are run once more.
only_leak_checker_crashes() {
  awk '/^[0-9]+\/[0-9]+ Test: / { passed = 0; crashed = 0 }
       /^\[  PASSED  \] / { passed = 1 }
       /Tracer caught signal|LeakSanitizer has encountered a fatal error/ { crashed = passed }
       /^Test Failed\./ { failed++; if (crashed) tracer++ }
       END { exit !(failed > 0 && failed == tracer) }' "$dir/Testing/Temporary/LastTest.log"
}

if ! suite; then
  [ "$kind" = sanitize ] && only_leak_checker_crashes || exit 1
  echo "The leak checker crashed after tests that passed; running those again" >&2
  suite --rerun-failed
fi

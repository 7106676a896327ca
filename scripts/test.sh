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
ctest --test-dir "$dir" --output-on-failure --parallel "$(nproc)" --timeout 600

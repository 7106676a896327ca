#!/usr/bin/env bash
# Configures and builds one tree, or only the named targets of it.
# Usage: scripts/build.sh [plain|sanitize|tsan|fuzz] [cmake args...] [-- target...]
set -euo pipefail
cd "$(dirname "$0")/.."
kind=${1:-plain}; shift || true
case "$kind" in
  plain)    dir=build;      opts=() ;;
  sanitize) dir=build-asan; opts=(-DTV_SANITIZE=ON -DTV_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug) ;;
  # Optimised: the particle tests under the race checker run for minutes in a debug build.
  tsan)     dir=build-tsan; opts=(-DTV_TSAN=ON -DTV_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
  fuzz)     dir=build-fuzz; opts=(-DTV_FUZZ=ON -DTV_TESTS=OFF -DTV_BENCH=OFF
                                  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++) ;;
  *) echo "unknown build kind: $kind" >&2; exit 2 ;;
esac
cmake_args=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do cmake_args+=("$1"); shift; done
[ $# -gt 0 ] && shift
targets=()
[ $# -gt 0 ] && targets=(--target "$@")
cmake -S . -B "$dir" -G Ninja "${opts[@]}" "${cmake_args[@]}" >&2
cmake --build "$dir" --parallel "${TV_BUILD_JOBS:-$(nproc)}" "${targets[@]}" >&2
echo "$dir"

#!/usr/bin/env bash
# Configures and builds one tree. Usage: scripts/build.sh [plain|sanitize|tsan|fuzz] [cmake args...]
set -euo pipefail
cd "$(dirname "$0")/.."
kind=${1:-plain}; shift || true
case "$kind" in
  plain)    dir=build;      opts=() ;;
  sanitize) dir=build-asan; opts=(-DTV_SANITIZE=ON -DTV_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug) ;;
  tsan)     dir=build-tsan; opts=(-DTV_TSAN=ON -DTV_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug) ;;
  fuzz)     dir=build-fuzz; opts=(-DTV_FUZZ=ON -DTV_TESTS=OFF -DTV_BENCH=OFF
                                  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++) ;;
  *) echo "unknown build kind: $kind" >&2; exit 2 ;;
esac
cmake -S . -B "$dir" -G Ninja "${opts[@]}" "$@" >&2
cmake --build "$dir" --parallel "$(nproc)" >&2
echo "$dir"

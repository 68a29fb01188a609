#!/usr/bin/env bash
# Builds the benchmarks (release) and prints their figures.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh bench
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUNARET_BUILD_TESTS=OFF \
  -DLUNARET_BUILD_BENCH=ON >/dev/null
cmake --build build-bench
for b in build-bench/tests/bench/lunaret_*_bench; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  QT_QPA_PLATFORM=offscreen TZ=UTC LC_ALL=C "$b" "$@"
done

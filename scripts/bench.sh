#!/usr/bin/env bash
# Builds the benchmarks (release) and prints their figures.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh bench
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUNARET_BUILD_TESTS=OFF \
  -DLUNARET_BUILD_BENCH=ON >/dev/null
cmake --build build-bench
for b in build-bench/bin/lunaret_*_bench; do
  [ -x "$b" ] || continue
  ran=1
  echo "== $(basename "$b")"
  # The offscreen platform warns about every window it cannot size; that is not a figure.
  QT_QPA_PLATFORM=offscreen TZ=UTC LC_ALL=C "$b" "$@" 2> >(grep -v 'propagateSizeHints' >&2)
done
[ -n "${ran:-}" ] || { echo "bench.sh: no benchmark was built" >&2; exit 1; }
if [ -x build-bench/bin/lunaret_remind_figure ]; then
  echo "== lunaret_remind_figure"
  # The login dialog it compares with is shown on an X server of its own.
  TZ=UTC LC_ALL=C xvfb-run -a -s "-screen 0 1024x768x24" build-bench/bin/lunaret_remind_figure
fi

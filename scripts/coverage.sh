#!/usr/bin/env bash
# Builds the tests with coverage counters (build-cov), runs them all and prints line and branch
# coverage for each layer. Extra arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh coverage
build=build-cov
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLUNARET_SANITIZE=OFF \
  -DLUNARET_BUILD_TESTS=ON -DLUNARET_BUILD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="--coverage -fno-inline" -DCMAKE_EXE_LINKER_FLAGS=--coverage >/dev/null
cmake --build "$build"
find "$build" -name '*.gcda' -delete
ctest --test-dir "$build" -j "$(nproc)" -E '^clang_format$' "$@" >"$build/ctest.log" ||
  { tail -n 20 "$build/ctest.log"; exit 1; }

# One gcovr pass over the layers' own sources; branches the compiler adds for exceptions are
# left out. Then the files' counts are summed per layer.
gcovr --root . --filter 'core/' --filter 'controls/' --filter 'pages/' --filter 'app/' \
  --exclude-throw-branches --exclude-directories "$build/CMakeFiles" \
  --object-directory "$build" --json-summary "$build/coverage.json" >/dev/null 2>&1
python3 - "$build/coverage.json" <<'PY'
import json, sys
files = json.load(open(sys.argv[1]))["files"]
print(f"{'layer':<10} {'lines':>8} {'branches':>9}")
for layer in ("core", "controls", "pages", "app"):
    mine = [f for f in files if f["filename"].startswith(layer + "/")]
    def percent(kind):
        total = sum(f[kind + "_total"] for f in mine)
        hit = sum(f[kind + "_covered"] for f in mine)
        return f"{100 * hit / total:.1f}%" if total else "-"
    lines = sum(f["line_total"] for f in mine)
    print(f"{layer:<10} {percent('line'):>8} {percent('branch'):>9}   ({lines} lines)")
PY

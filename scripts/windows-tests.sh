#!/usr/bin/env bash
# Cross-builds the core and its tests for 64-bit Windows with mingw-w64 and runs them under Wine,
# so the store is tested against a real registry. Everything lives in build-win/, Wine's prefix
# (build-win/wineprefix) included; ~/.wine is never touched. Extra arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
src=$PWD
build=$src/build-win

scripts/deps.sh windows

# The tests expect UTC and the C locale, under which Wine gives programs the ANSI code page
# 1252, whatever the caller's locale; tests that need another set their own.
export LC_ALL=C TZ=UTC
export WINEPREFIX=$build/wineprefix
export WINEDEBUG=-all
# No Mono or Gecko installers when the prefix is created: nothing here needs them.
export WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"

stop_wine() {
  timeout 60 wineserver -k </dev/null >/dev/null 2>&1 || true
}
trap stop_wine EXIT

# Start Wine's services detached, before anything waits on a pipe: a wineserver or helper
# process that inherits ctest's pipes keeps every test waiting for it. The first start also
# creates the prefix.
timeout 60 wineserver -p </dev/null >/dev/null 2>&1 || true
if ! timeout 300 wine cmd /c exit </dev/null >/dev/null 2>&1; then
  echo "windows-tests: Wine did not start in $WINEPREFIX" >&2
  exit 1
fi

# Every run of a test program, discovery included, goes through this line, so it carries the
# prefix and is bounded by itself.
emulator="env;WINEPREFIX=$WINEPREFIX;WINEDEBUG=-all;WINEDLLOVERRIDES=$WINEDLLOVERRIDES"
emulator+=";timeout;--kill-after=10;300;wine"

timeout 600 cmake -S "$src" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Debug \
  -DLUNARET_BUILD_UI=OFF -DLUNARET_BUILD_TESTS=ON -DLUNARET_BUILD_BENCH=OFF \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$emulator" >/dev/null
timeout 1200 cmake --build "$build" -j 2 --target lunaret_base_tests lunaret_store_tests lunaret_cycles_tests lunaret_exchange_tests \
  lunaret_code_page_tests
timeout 900 ctest --test-dir "$build" --output-on-failure -j 2 --timeout 300 "$@"

#!/usr/bin/env bash
# The start-up figure: time from process start to the login dialog painted, and peak memory,
# for Lunaret next to a bare Qt program that shows one empty dialog (tests/bench/bare_dialog.cpp),
# both built here in release mode and run in turn under one Xvfb server.
# Usage: scripts/startup-figure.sh [runs]   (default 9 runs of each, after one warm-up run)
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-9}"
scripts/deps.sh look
command -v /usr/bin/time >/dev/null || {
  [ "$(id -u)" -ne 0 ] && sudo=sudo || sudo=""
  $sudo apt-get install -y -qq --no-install-recommends time
}

build=build-figure
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUNARET_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target lunaret >/dev/null
# shellcheck disable=SC2046
g++ -std=c++20 -O2 -DNDEBUG -fPIC -I. tests/bench/bare_dialog.cpp -o "$build/bare_dialog" \
  $(pkg-config --cflags --libs Qt6Widgets)

work="$(mktemp -d)"
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# An X server of our own on the first free display.
display=90
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
  display=$((display + 1))
done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do
  [ -e "/tmp/.X11-unix/X$display" ] && break
  sleep 0.1
done
export DISPLAY=":$display"
export LUNARET_EXIT_WHEN_SHOWN=1
export XDG_DATA_HOME="$work/data"   # the program's store lives here, not in the real one
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

# One run: prints "<milliseconds to shown> <peak resident KiB>".
measure() {
  local start out shown rss
  start=$(date +%s%N)
  out=$(/usr/bin/time -v -o "$work/time.txt" "$@" 2>/dev/null)
  shown=$(awk '/^shown /{print $2}' <<<"$out")
  rss=$(awk -F': ' '/Maximum resident set size/{print $2}' "$work/time.txt")
  [ -n "$shown" ] || { echo "no window was shown by $*" >&2; exit 1; }
  awk -v a="$start" -v b="$shown" -v r="$rss" 'BEGIN { printf "%.1f %d\n", (b - a) / 1e6, r }'
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Warm-up: fills the file cache and lets the program create its store.
measure "$build/bare_dialog" >/dev/null
measure "$build/bin/lunaret" >/dev/null

: >"$work/bare.txt"
: >"$work/app.txt"
for _ in $(seq "$runs"); do
  measure "$build/bare_dialog" >>"$work/bare.txt"
  measure "$build/bin/lunaret" >>"$work/app.txt"
done

bare_ms=$(cut -d' ' -f1 "$work/bare.txt" | median)
app_ms=$(cut -d' ' -f1 "$work/app.txt" | median)
bare_kb=$(cut -d' ' -f2 "$work/bare.txt" | median)
app_kb=$(cut -d' ' -f2 "$work/app.txt" | median)
echo "runs each: $runs (medians; Xvfb $DISPLAY; release builds)"
printf '%-22s %10s %14s\n' "" "to shown" "peak memory"
printf '%-22s %8.1f ms %10d KiB\n' "bare Qt dialog" "$bare_ms" "$bare_kb"
printf '%-22s %8.1f ms %10d KiB\n' "Lunaret login dialog" "$app_ms" "$app_kb"
awk -v a="$app_ms" -v b="$bare_ms" -v c="$app_kb" -v d="$bare_kb" \
  'BEGIN { printf "ratio                  %8.2fx %13.2fx   (target: within 1.3x)\n", a / b, c / d }'
echo "all runs (ms KiB): bare: $(tr '\n' ';' <"$work/bare.txt")"
echo "                   app:  $(tr '\n' ';' <"$work/app.txt")"

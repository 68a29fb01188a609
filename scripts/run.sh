#!/usr/bin/env bash
# Builds the program (release) and starts it. Without a display it runs under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUNARET_BUILD_TESTS=OFF >/dev/null
cmake --build build --target lunaret
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting Lunaret under Xvfb."
  exec xvfb-run -a -s "-screen 0 1024x768x24" ./build/bin/lunaret "$@"
fi
exec ./build/bin/lunaret "$@"

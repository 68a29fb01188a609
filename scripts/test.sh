#!/usr/bin/env bash
# Builds every test with AddressSanitizer and UndefinedBehaviorSanitizer and runs them all.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLUNARET_SANITIZE=ON \
  -DLUNARET_BUILD_TESTS=ON >/dev/null
cmake --build build-asan
ctest --test-dir build-asan --output-on-failure -j "$(nproc)" "$@"

#!/usr/bin/env bash
# Builds every test twice and runs them all in each build: once with AddressSanitizer and
# UndefinedBehaviorSanitizer (build-asan), once optimised as users get it (build-rel).
# Extra arguments go to both ctest runs.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
for build in asan rel; do
  case $build in
    asan) options=(-DCMAKE_BUILD_TYPE=Debug -DLUNARET_SANITIZE=ON) ;;
    rel) options=(-DCMAKE_BUILD_TYPE=Release -DLUNARET_SANITIZE=OFF) ;;
  esac
  echo "== build-$build"
  cmake -S . -B "build-$build" -G Ninja "${options[@]}" -DLUNARET_BUILD_TESTS=ON >/dev/null
  cmake --build "build-$build"
  ctest --test-dir "build-$build" --output-on-failure -j "$(nproc)" "$@"
done

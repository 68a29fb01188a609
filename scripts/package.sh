#!/usr/bin/env bash
# Builds the program in release mode (build-pkg/) and makes its Debian package,
# lunaret_<version>_<architecture>.deb, in the top folder of the checkout. Its dependencies come
# from dpkg-shlibdeps. Install it with: sudo apt-get install ./lunaret_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh package
cmake -S . -B build-pkg -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DLUNARET_BUILD_TESTS=OFF -DLUNARET_BUILD_BENCH=OFF -DLUNARET_SANITIZE=OFF >/dev/null
cmake --build build-pkg
rm -f build-pkg/lunaret_*.deb lunaret_*.deb
(cd build-pkg && cpack -G DEB >/dev/null)
mv build-pkg/lunaret_*.deb .
ls lunaret_*.deb

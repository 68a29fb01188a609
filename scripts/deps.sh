#!/usr/bin/env bash
# Installs the Debian packages a task needs, only those that are missing.
# Usage: scripts/deps.sh build|test|coverage|bench|look|package|windows|windows-app
set -euo pipefail

# Qt Charts draws the Insights chart; its CMake package needs Qt OpenGL's development files,
# which qt6-charts-dev does not pull in on Debian 12.
build=(build-essential cmake ninja-build pkg-config qt6-base-dev qt6-qpa-plugins libgl-dev
       qt6-charts-dev libqt6opengl6-dev libsqlite3-dev libical-dev zlib1g-dev fonts-dejavu-core)
case "${1:-build}" in
  build) want=("${build[@]}" xvfb xauth) ;;
  # The tests also run under a real locale, German (glibc's locale data from "locales").
  # The reminders' test starts a session bus of its own (dbus-daemon).
  test) want=("${build[@]}" libgtest-dev libgmock-dev clang-format desktop-file-utils appstream
              locales dbus-daemon) ;;
  coverage) want=("${build[@]}" libgtest-dev libgmock-dev gcovr) ;;
  bench) want=("${build[@]}" libbenchmark-dev xvfb xauth dbus-daemon) ;;
  look) want=("${build[@]}" xvfb xauth imagemagick) ;;
  # CPack's Debian packages: dpkg-shlibdeps (dpkg-dev) and file, which finds the programs.
  # systemd-analyze (systemd) and desktop-file-validate check the reminders' units and entry.
  package) want=("${build[@]}" dpkg-dev file systemd desktop-file-utils) ;;
  # zlib for the core on Windows (Periodical's gzip backups), from mingw-w64's build of it.
  windows) want=(cmake ninja-build g++-mingw-w64-x86-64-posix libz-mingw-w64-dev libgtest-dev wine
                 wine64) ;;
  # The whole program for Windows: Qt cross-built from Debian's sources (apt-get source needs
  # dpkg-source from dpkg-dev; the host's Qt gives moc, rcc and uic), tested under Wine in Xvfb,
  # packed by NSIS.
  windows-app) want=("${build[@]}" g++-mingw-w64-x86-64-posix libz-mingw-w64-dev libgtest-dev wine
                     wine64 dpkg-dev patch nsis xvfb xauth) ;;
  *) echo "deps.sh: unknown set '$1'" >&2; exit 2 ;;
esac

missing=()
for p in "${want[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
if [ "${1:-build}" = test ] && ! locale -a 2>/dev/null | grep -qx 'de_DE.utf8'; then
  echo "Generating the locale de_DE.UTF-8"
  $sudo localedef -i de_DE -c -f UTF-8 de_DE.UTF-8
fi

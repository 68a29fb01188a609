#!/usr/bin/env bash
# Builds Lunaret for 64-bit Windows and tests it under Wine:
#   1. fetches Debian's own Qt sources (qt6-base) with apt's client, through a private sources
#      list derived from this machine's Debian sources; apt's configuration is not changed;
#   2. cross-builds a minimal shared Qt with mingw-w64 and caches its install under
#      ${XDG_CACHE_HOME:-~/.cache}/lunaret/, keyed by the sources, options, patches and compiler;
#   3. builds lunaret.exe (Release), the UI suites and the core suites against it, and runs every
#      suite under Wine in a prefix of its own (build-winapp/wineprefix; ~/.wine is never used);
#   4. puts the DLLs the program needs beside it and makes build-winapp/lunaret-<version>-setup.exe
#      with NSIS (dist/windows/lunaret.nsi);
#   5. installs that silently into a fresh Wine prefix, starts the installed program until its
#      login dialog shows, uninstalls it, and checks what stays and what goes.
# Usage: scripts/windows-app.sh [qt]   ("qt" stops once Qt is built or found in the cache)
# Extra arguments after "--" go to ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
src=$PWD
build=$src/build-winapp

scripts/deps.sh windows-app

jobs=${LUNARET_JOBS:-2}
triplet=x86_64-w64-mingw32
cache=${XDG_CACHE_HOME:-$HOME/.cache}/lunaret
mkdir -p "$cache" "$build"

phase_start=0
phase() { # phase NAME: prints how long the previous phase took, then starts the next
  local now
  now=$(date +%s)
  if [ -n "${phase_name:-}" ]; then
    echo "windows-app: ${phase_name} took $((now - phase_start)) s"
  fi
  phase_name=$1
  phase_start=$now
  [ -n "$phase_name" ] && echo "windows-app: ${phase_name}..."
  return 0
}

# --- Qt sources --------------------------------------------------------------------------------
# apt gets its own sources list, lists, cache and state folders under $apt, which nothing else
# uses (so no locking), and needs no root for them; the entries are the machine's own Debian
# sources (same URIs, suites and components), with type deb-src.
apt=$build/apt
apt_opts=(-o "Dir::Etc::SourceList=/dev/null" -o "Dir::Etc::SourceParts=$apt/sources.list.d"
          -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache"
          -o "Dir::State::extended_states=$apt/extended_states" -o "Debug::NoLocking=1")

write_source_entries() {
  rm -rf "$apt"
  mkdir -p "$apt/sources.list.d" "$apt/lists/partial" "$apt/cache/archives/partial"
  local f n=0
  # deb822 files: each stanza of type deb becomes a deb-src stanza (sources have no
  # architecture).
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -e "$f" ] || continue
    sed -E 's/^(Types:.*[[:space:]])deb([[:space:]]|$)/\1deb-src\2/; s/^Types:[[:space:]]*deb([[:space:]]|$)/Types: deb-src\1/' \
      "$f" | grep -i -v '^Architectures:' >"$apt/sources.list.d/$((n++))-$(basename "$f")"
  done
  # One-line files: "deb [options] URI suite components" becomes "deb-src ...".
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -e "$f" ] || continue
    sed -n -E 's/^[[:space:]]*deb[[:space:]]+/deb-src /p' "$f" \
      >"$apt/sources.list.d/$((n++))-$(basename "$f" .list).list"
  done
  # Only Debian's own archives carry the Qt sources; other archives (vendors' tools) would only
  # slow the update down or fail it, so entries whose Release files fail are tolerated below.
}

fetch_source() { # fetch_source PACKAGE VERSION DEST
  local pkg=$1 version=$2 dest=$3
  rm -rf "$dest"
  mkdir -p "$dest"
  # The download runs as the caller: apt's own user could not write into the folder.
  (cd "$dest" && apt-get "${apt_opts[@]}" -o APT::Sandbox::User="$(id -un)" -qq source \
     "$pkg=$version" >/dev/null)
  local dir
  dir=$(find "$dest" -mindepth 1 -maxdepth 1 -type d | head -n 1)
  [ -n "$dir" ] || { echo "windows-app: apt-get source $pkg gave no folder" >&2; exit 1; }
  echo "$dir"
}

# The Qt built is the one the host's tools (moc, rcc, uic from qt6-base-dev-tools) belong to.
qt_version=$(dpkg-query -W -f='${Version}' qt6-base-dev)

# --- Qt options and cache key ------------------------------------------------------------------
# A minimal shared Qt: Core, Gui, Widgets, Test and the windows platform plugin, with the bundled
# zlib, libpng, freetype, harfbuzz and pcre2. Everything Lunaret does not use is off.
qt_options=(
  -DBUILD_SHARED_LIBS=ON -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
  # No OpenGL (what configure's -no-opengl passes). Direct2D stays on: with both features turned
  # off, Qt 6.4.2's windows platform plugin needs two patches to compile; like this it needs none.
  -DCMAKE_BUILD_TYPE=Release -DINPUT_opengl=no
  # The host's Qt (moc, rcc, uic) is Debian's, whose CMake packages live in the multiarch folder.
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(gcc -print-multiarch)/cmake"
  -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_concurrent=OFF
  -DFEATURE_xml=OFF -DFEATURE_printsupport=OFF -DFEATURE_vulkan=OFF
  # Debian's sources leave out wintab, which tablet events need on Windows.
  -DFEATURE_tabletevent=OFF
  -DFEATURE_androiddeployqt=OFF -DFEATURE_zstd=OFF -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF
  -DFEATURE_testlib=ON
  -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_pcre2=OFF
  -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF
)
qt_patches=(scripts/windows-qt/*.patch)
[ -e "${qt_patches[0]}" ] || qt_patches=()
compiler=$($triplet-g++-posix --version | head -n 1)
key=$( {
  echo "qt6-base $qt_version"
  printf '%s\n' "${qt_options[@]}"
  for p in "${qt_patches[@]}"; do echo "$p"; cat "$p"; done
  echo "$compiler"
  cat cmake/mingw-w64-x86_64.cmake
} | sha256sum | cut -c1-16)
qt=$cache/qt-${qt_version%%+*}-$key
echo "windows-app: Qt for Windows in $qt"

build_qt() {
  local work=$build/qt
  rm -rf "$work" "$qt.partial"
  mkdir -p "$work"

  phase "Qt fetch"
  write_source_entries
  # Third-party entries may fail (no sources, unreachable); what matters is that qt6-base is found.
  apt-get "${apt_opts[@]}" -qq update || true
  local base_src
  base_src=$(fetch_source qt6-base "$qt_version" "$work/base-src")
  for p in "${qt_patches[@]}"; do
    patch -d "$base_src" -p1 --forward --quiet <"$p"
  done

  phase "Qt configure"
  cmake -S "$base_src" -B "$work/base" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_INSTALL_PREFIX="$qt.partial" "${qt_options[@]}" >"$work/base-configure.log" 2>&1 || {
    tail -n 60 "$work/base-configure.log" >&2; exit 1; }

  phase "Qt build"
  cmake --build "$work/base" -j "$jobs" >"$work/base-build.log" 2>&1 || {
    grep -A12 -m 5 -E 'FAILED|error:' "$work/base-build.log" >&2 || tail -n 60 "$work/base-build.log" >&2
    exit 1; }
  cmake --install "$work/base" >/dev/null

  mv "$qt.partial" "$qt"
  phase ""
  # The sources and build trees are large and no longer needed.
  rm -rf "$work"
}

if [ -f "$qt/lib/cmake/Qt6/qt.toolchain.cmake" ]; then
  echo "windows-app: Qt found in the cache"
else
  build_qt
fi
[ "${1:-}" = qt ] && { phase ""; exit 0; }
[ "${1:-}" = -- ] && shift

# --- Wine ----------------------------------------------------------------------------------------
# The tests expect UTC and the C locale, under which Wine gives programs the ANSI code page 1252,
# whatever the caller's locale; tests that need another set their own.
export LC_ALL=C TZ=UTC
export WINEDEBUG=-all
# No Mono or Gecko installers when a prefix is created: nothing here needs them.
export WINEDLLOVERRIDES="mscoree,mshtml="

stop_wine() {
  timeout 60 wineserver -k </dev/null >/dev/null 2>&1 || true
}
# start_wine PREFIX: Wine's services start detached, before anything waits on a pipe: a
# wineserver or helper process that inherits a pipe keeps whoever reads it waiting. The first
# start also creates the prefix.
start_wine() {
  export WINEPREFIX=$1
  mkdir -p "$WINEPREFIX"
  timeout 60 wineserver -p </dev/null >/dev/null 2>&1 || true
  if ! timeout 300 wine cmd /c exit </dev/null >/dev/null 2>&1; then
    echo "windows-app: Wine did not start in $WINEPREFIX" >&2
    exit 1
  fi
}
trap stop_wine EXIT

# The windows platform plugin needs a display, also for the tests that use the offscreen one
# only through Wine's own windows: one Xvfb for the whole run.
if [ -z "${DISPLAY:-}" ]; then
  display=:$((90 + RANDOM % 100))
  Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  trap 'stop_wine; kill "$xvfb_pid" 2>/dev/null || true' EXIT
  export DISPLAY=$display
fi

# --- DLLs beside the programs -------------------------------------------------------------------
# add_plugins DIR [PLATFORM...]: the windows platform (and the others named) and the Vista style,
# where Qt looks for them beside a program.
add_plugins() {
  local dir=$1 platform
  shift
  mkdir -p "$dir/platforms" "$dir/styles"
  for platform in windows "$@"; do
    cp "$qt/plugins/platforms/q$platform.dll" "$dir/platforms/"
  done
  cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$dir/styles/"
}
# add_dlls DIR FILE...: every DLL the files and the plugins in DIR need, and the DLLs those need,
# copied into DIR from Qt's and the compiler's folders. Windows' own DLLs are found in none of
# them and stay out.
add_dlls() {
  local dir=$1 file dll folder
  shift
  local folders=("$qt/bin" "$(dirname "$($triplet-g++-posix -print-file-name=libstdc++-6.dll)")"
                 "/usr/$triplet/lib")
  local pending=("$@" "$dir"/platforms/*.dll "$dir"/styles/*.dll)
  while [ ${#pending[@]} -gt 0 ]; do
    file=${pending[0]}
    pending=("${pending[@]:1}")
    for dll in $($triplet-objdump -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p'); do
      [ -e "$dir/$dll" ] && continue
      for folder in "${folders[@]}"; do
        if [ -f "$folder/$dll" ]; then
          cp "$folder/$dll" "$dir/"
          pending+=("$dir/$dll")
          break
        fi
      done
    done
  done
}

# --- Lunaret ------------------------------------------------------------------------------------
phase "Lunaret build"
lunaret=$build/lunaret
start_wine "$build/wineprefix"
# Every run of a test program, discovery included, goes through this line, so it carries the
# prefix and is bounded by itself. Tests are listed when ctest runs, once the DLLs are in place.
emulator="env;WINEPREFIX=$WINEPREFIX;WINEDEBUG=-all;WINEDLLOVERRIDES=$WINEDLLOVERRIDES"
emulator+=";timeout;--kill-after=10;300;wine"
timeout 600 cmake -S "$src" -B "$lunaret" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
  -DQT_CHAINLOAD_TOOLCHAIN_FILE="$src/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  -DLUNARET_BUILD_UI=ON -DLUNARET_BUILD_TESTS=ON -DLUNARET_BUILD_BENCH=OFF \
  -DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$emulator" >"$build/lunaret-configure.log" 2>&1 || {
  tail -n 40 "$build/lunaret-configure.log" >&2; exit 1; }
timeout 2400 cmake --build "$lunaret" -j "$jobs"

phase "Tests under Wine"
# The tests run from the build folder, so the DLLs go there, and the offscreen platform too.
add_plugins "$lunaret/bin" offscreen
add_dlls "$lunaret/bin" "$lunaret"/bin/*.exe
timeout 1800 ctest --test-dir "$lunaret" --output-on-failure -j "$jobs" --timeout 300 "$@"
stop_wine

# --- Installer ----------------------------------------------------------------------------------
phase "Installer"
version=$(sed -n -E 's/^project\(Lunaret VERSION ([0-9.]+).*/\1/p' "$src/CMakeLists.txt")
deploy=$build/deploy
rm -rf "$deploy"
mkdir -p "$deploy"
cp "$lunaret/bin/lunaret.exe" "$deploy/"
add_plugins "$deploy"
add_dlls "$deploy" "$deploy/lunaret.exe"
setup=$build/lunaret-$version-setup.exe
# What the installer puts where, and what the uninstaller removes: the same list of files.
(cd "$deploy" && find . -type f | sed 's|^\./||' | sort) >"$build/deploy.list"
while read -r file; do
  dir=$(dirname "$file")
  [ "$dir" = . ] && dir="" || dir="\\${dir//\//\\}"
  echo "SetOutPath \"\$INSTDIR$dir\""
  echo "File \"$deploy/$file\""
done <"$build/deploy.list" >"$build/install.nsh"
{
  while read -r file; do echo "Delete \"\$INSTDIR\\${file//\//\\}\""; done <"$build/deploy.list"
  (cd "$deploy" && find . -mindepth 1 -type d | sed 's|^\./||' | sort -r) | while read -r dir; do
    echo "RMDir \"\$INSTDIR\\${dir//\//\\}\""
  done
} >"$build/uninstall.nsh"
makensis -V2 -DVERSION="$version" -DFILES="$build/install.nsh" -DREMOVE="$build/uninstall.nsh" \
  -DOUTFILE="$setup" "$src/dist/windows/lunaret.nsi"
echo "windows-app: $setup ($(du -h "$setup" | cut -f1))"

# check_installed SETUP: installs silently, starts the installed program until its login dialog
# has painted, uninstalls, and checks that the program went and its data stayed.
check_installed() {
  local setup=$1 failed=0
  local appdata
  appdata=$(winepath -u "$(wine cmd /c echo %LOCALAPPDATA% </dev/null 2>/dev/null | tr -d '\r')")
  local programs=$appdata/Programs/Lunaret
  local menu
  menu=$(winepath -u "$(wine cmd /c echo %APPDATA% </dev/null 2>/dev/null | tr -d '\r')")
  menu="$menu/Microsoft/Windows/Start Menu/Programs/Lunaret.lnk"
  fail() { echo "windows-app: installed program: $*" >&2; failed=1; }

  timeout 300 wine "$setup" /S </dev/null >/dev/null 2>&1 || fail "the installer failed"
  [ -f "$programs/lunaret.exe" ] || fail "no $programs/lunaret.exe"
  [ -f "$programs/uninstall.exe" ] || fail "no uninstaller"
  [ -f "$menu" ] || fail "no Start-menu entry"
  timeout 60 wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Lunaret' \
    </dev/null >/dev/null 2>&1 || fail "no uninstaller registered"

  local shown
  shown=$(LUNARET_EXIT_WHEN_SHOWN=1 timeout 120 wine "$programs/lunaret.exe" </dev/null 2>/dev/null |
          tr -d '\r' || true)
  [[ $shown == "shown "* ]] || fail "the login dialog did not show (said: '$shown')"
  timeout 60 wine reg query 'HKCU\Software\Lunaret' </dev/null >/dev/null 2>&1 ||
    fail "no HKCU\\Software\\Lunaret after the program ran"

  timeout 300 wine "$programs/uninstall.exe" /S </dev/null >/dev/null 2>&1 || fail "the uninstaller failed"
  # The uninstaller runs from a copy of itself, which is still at work when the first one ends.
  local waited=0
  while [ -e "$programs" ] && [ $waited -lt 60 ]; do
    sleep 1
    waited=$((waited + 1))
  done
  [ ! -e "$programs" ] || fail "$programs is still there: $(ls -A "$programs")"
  [ ! -e "$menu" ] || fail "the Start-menu entry is still there"
  timeout 60 wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Lunaret' \
    </dev/null >/dev/null 2>&1 && fail "the uninstaller is still registered"
  timeout 60 wine reg query 'HKCU\Software\Lunaret' </dev/null >/dev/null 2>&1 ||
    fail "the uninstaller removed HKCU\\Software\\Lunaret"
  [ $failed -eq 0 ] || exit 1
  echo "windows-app: installed, shown, uninstalled; HKCU\\Software\\Lunaret kept"
}

# --- The installed program ----------------------------------------------------------------------
phase "Installed program check"
rm -rf "$build/install-prefix"
start_wine "$build/install-prefix"
check_installed "$setup"
stop_wine
phase ""

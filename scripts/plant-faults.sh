#!/usr/bin/env bash
# Plants faults one at a time in a scratch copy of this tree and tells which ones the test suites
# catch. The working tree is never changed.
#
# Usage: scripts/plant-faults.sh [-k PATTERN] [-s] [LIST...]
#   LIST       fault lists to use (default: every scripts/faults/*.list)
#   -k PATTERN only the faults whose id matches this extended regular expression
#   -s         build with AddressSanitizer and UndefinedBehaviorSanitizer (slower)
#
# A fault list holds blocks of three lines; blank lines and lines starting with '#' are skipped:
#   @ <id> <file> <what the fault does>
#   - <exact text, which must occur exactly once in the file>
#   + <its replacement>
# In both texts, \n stands for a line break and \t for a tab.
#
# Each fault is applied, the tree rebuilt and every ctest test run (each with a 60 s timeout,
# the formatting check left out). Per fault it prints one of:
#   caught   at least one test failed
#   missed   every test passed
#   stale    the text is not in the file exactly once: the list needs updating
#   nobuild  the fault does not compile, so it proves nothing
# and a summary last. The scratch copy and its build live in $LUNARET_FAULTS_DIR
# (default /tmp/lunaret-faults-<user>) and are reused, so a second run rebuilds little.
set -euo pipefail
cd "$(dirname "$0")/.."
src=$PWD

pattern=""
sanitize=OFF
while getopts "k:s" option; do
  case $option in
    k) pattern=$OPTARG ;;
    s) sanitize=ON ;;
    *) sed -n '2,9p' "$0" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
lists=("$@")
[ ${#lists[@]} -gt 0 ] || lists=(scripts/faults/*.list)

scripts/deps.sh test

work=${LUNARET_FAULTS_DIR:-${TMPDIR:-/tmp}/lunaret-faults-$(id -un)}
scratch=$work/src
build=$work/build-$sanitize
mkdir -p "$scratch"

# The scratch copy follows the working tree, uncommitted changes included. Only files whose
# content differs are copied, with a fresh time stamp, so the build there redoes exactly those,
# also after a run that was stopped in the middle of a fault.
(cd "$src" && find . \( -path './build*' -o -path ./.git -o -path ./out \) -prune -o -type f -print) |
  while IFS= read -r file; do
    if ! cmp -s "$src/$file" "$scratch/$file"; then
      mkdir -p "$(dirname "$scratch/$file")"
      cp "$src/$file" "$scratch/$file"
    fi
  done
# Files gone from the tree go from the copy too.
(cd "$scratch" && find . -type f) | while IFS= read -r file; do
  [ -e "$src/$file" ] || rm -f "$scratch/$file"
done

build_type=Debug
timeout 600 cmake -S "$scratch" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=$build_type \
  -DLUNARET_SANITIZE=$sanitize -DLUNARET_BUILD_TESTS=ON -DLUNARET_BUILD_BENCH=OFF >/dev/null

run_suites() {
  timeout 1800 ctest --test-dir "$build" -j "$(nproc)" --timeout 60 -E '^clang_format$' \
    --stop-on-failure >"$work/ctest.log" 2>&1
}

echo "Building the scratch copy in $build ..."
if ! timeout 3600 cmake --build "$build" >"$work/build.log" 2>&1; then
  echo "plant-faults: the unchanged tree does not build; see $work/build.log" >&2
  exit 1
fi
if ! run_suites; then
  echo "plant-faults: the unchanged tree fails its tests; see $work/ctest.log" >&2
  exit 1
fi

unescape() {
  local text=$1
  text=${text//\\n/$'\n'}
  text=${text//\\t/$'\t'}
  printf '%s' "$text"
}

declare -a caught=() missed=() stale=() nobuild=()

# plant <id> <file> <what> <find> <replace>
plant() {
  local id=$1 file=$2 what=$3 find replace content rest verdict
  find=$(unescape "$4")
  replace=$(unescape "$5")
  if [ ! -f "$scratch/$file" ]; then
    verdict=stale
  else
    content=$(<"$scratch/$file")$'\n'
    rest=${content#*"$find"}
    if [ "$rest" = "$content" ] || [[ $rest == *"$find"* ]]; then
      verdict=stale
    else
      printf '%s' "${content%%"$find"*}$replace$rest" >"$scratch/$file"
      if ! timeout 1800 cmake --build "$build" >"$work/build.log" 2>&1; then
        verdict=nobuild
      elif run_suites; then
        verdict=missed
      else
        verdict=caught
      fi
      # Back to the original text with a fresh time stamp, so the next build redoes the file.
      printf '%s' "$content" >"$scratch/$file"
    fi
  fi
  printf '%-8s %-14s %s: %s\n' "$verdict" "$id" "$file" "$what"
  case $verdict in
    caught) caught+=("$id") ;;
    missed) missed+=("$id $file: $what") ;;
    stale) stale+=("$id $file") ;;
    nobuild) nobuild+=("$id $file") ;;
  esac
}

for list in "${lists[@]}"; do
  id="" file="" what="" find="" have_find=0
  mapfile -t lines <"$list"  # read whole first: editing a list during a run changes nothing
  for line in "${lines[@]}"; do
    case $line in
      '' | '#'*) continue ;;
      '@ '*)
        read -r id file what <<<"${line#@ }"
        have_find=0
        ;;
      '- '*) find=${line#- }; have_find=1 ;;
      '+ '* | '+')
        if [ -z "$id" ] || [ $have_find -ne 1 ]; then
          echo "plant-faults: $list: '+' line without its '@' and '-' lines" >&2
          exit 2
        fi
        if [ -z "$pattern" ] || [[ $id =~ $pattern ]]; then
          replace=${line#+}
          plant "$id" "$file" "$what" "$find" "${replace# }"
        fi
        id="" have_find=0
        ;;
      *) echo "plant-faults: $list: cannot read: $line" >&2; exit 2 ;;
    esac
  done
done

# The scratch build goes back to the unchanged tree for the next run.
timeout 1800 cmake --build "$build" >"$work/build.log" 2>&1 || true

total=$((${#caught[@]} + ${#missed[@]} + ${#stale[@]} + ${#nobuild[@]}))
echo
echo "Summary: $total faults: ${#caught[@]} caught, ${#missed[@]} missed, ${#stale[@]} stale, ${#nobuild[@]} not building"
for m in "${missed[@]}"; do echo "  missed: $m"; done
for s in "${stale[@]}"; do echo "  stale: $s"; done
for n in "${nobuild[@]}"; do echo "  not building: $n"; done

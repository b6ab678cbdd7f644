#!/usr/bin/env bash
# Runs clang-tidy 14 with the checks of .clang-tidy over the C++ sources.
#
#   scripts/tidy.sh [-p BUILD_DIR] [-j JOBS] [FILE...]
#
# Without FILE: every tracked .cpp that the compile database of BUILD_DIR
# names; headers are checked through the sources that include them. Without
# -p: build/tidy, configured here (nothing is built) when it has no
# compile_commands.json yet. JOBS defaults to the number of cores. The whole
# tree takes about ten minutes on two cores; the test suite checks a few
# files only (tests/tree/CMakeLists.txt).
#
# Exit status 1 when clang-tidy reports anything, 77 when clang-tidy 14 is
# missing.
set -euo pipefail
cd "$(dirname "$0")/.."

build=""
jobs=$(nproc)
while [ $# -gt 0 ]; do
  case "$1" in
    -p) build=$2; shift 2 ;;
    -j) jobs=$2; shift 2 ;;
    -j*) jobs=${1#-j}; shift ;;
    *) break ;;
  esac
done

tidy=""
for candidate in clang-tidy-14 clang-tidy; do
  if command -v "$candidate" >/dev/null && "$candidate" --version | grep -q 'version 14\.'; then
    tidy=$candidate
    break
  fi
done
if [ -z "$tidy" ]; then
  echo "tidy.sh: clang-tidy 14 not found (scripts/setup.sh installs it)" >&2
  exit 77
fi

if [ -z "$build" ]; then
  build=build/tidy
  if [ ! -f "$build/compile_commands.json" ]; then
    gui=ON
    pkg-config --exists Qt6Widgets 2>/dev/null || gui=OFF
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DKORVANE_GUI="$gui" \
      -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
  fi
fi
database="$build/compile_commands.json"
if [ ! -f "$database" ]; then
  echo "tidy.sh: $database not found (configure with -DCMAKE_EXPORT_COMPILE_COMMANDS=ON)" >&2
  exit 1
fi

files=("$@")
if [ ${#files[@]} -eq 0 ]; then
  # The tracked sources that the build compiles (the fuzz targets only in a
  # fuzz build).
  mapfile -t files < <(/usr/bin/python3 - "$database" <<'EOF'
import json, os, subprocess, sys
compiled = {os.path.realpath(entry["file"]) for entry in json.load(open(sys.argv[1]))}
tracked = subprocess.run(["git", "ls-files", "*.cpp"], check=True,
                         stdout=subprocess.PIPE).stdout.decode().split("\n")
for path in tracked:
    if path and os.path.realpath(path) in compiled:
        print(path)
EOF
  )
fi

logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
# One log per file, numbered, so that the reports of parallel runs do not
# mix; each line for xargs is "N FILE".
printf '%s\n' "${files[@]}" | nl -ba -w1 -s' ' |
  xargs -P "$jobs" -L 1 sh -c \
    '"$0" -p "$1" --quiet --warnings-as-errors="*" "$4" >"$2/$3.log" 2>&1 || : >"$2/$3.failed"' \
    "$tidy" "$build" "$logs"

status=0
for log in $(ls "$logs"/*.log 2>/dev/null | sort -V); do
  failed=${log%.log}.failed
  if [ -f "$failed" ]; then
    # Only the findings, without the counts of suppressed warnings.
    grep -v -E '^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$|^Suppressed [0-9]+ warnings|^Use -header-filter|^Use -system-headers' "$log" || true
    status=1
  fi
done
echo "tidy.sh: ${#files[@]} sources, $([ $status -eq 0 ] && echo clean || echo findings above)"
exit $status

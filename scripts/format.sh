#!/usr/bin/env bash
# Formats the tracked C++ sources with clang-format 14 and the .clang-format
# at the top of the repository.
#
#   scripts/format.sh            format every tracked .cpp and .h in place
#   scripts/format.sh --check    list the files that differ; exit 1 if any
#   scripts/format.sh [--check] FILE...   only those files
#
# Exit status 77 when clang-format 14 is missing or, without FILE
# arguments, when this is no git checkout (the test suite counts that as
# skipped).
set -euo pipefail
cd "$(dirname "$0")/.."

check=0
if [ "${1:-}" = "--check" ]; then
  check=1
  shift
fi

# Other major versions break lines differently, so only 14 will do.
formatter=""
for candidate in clang-format-14 clang-format; do
  if command -v "$candidate" >/dev/null &&
     "$candidate" --version | grep -q 'version 14\.'; then
    formatter=$candidate
    break
  fi
done
if [ -z "$formatter" ]; then
  echo "format.sh: clang-format 14 not found (scripts/setup.sh installs it)" >&2
  exit 77
fi

files=()
if [ $# -gt 0 ]; then
  files=("$@")
else
  if ! git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    echo "format.sh: not a git checkout, so no list of tracked files" >&2
    exit 77
  fi
  while IFS= read -r -d '' file; do
    [ -f "$file" ] && files+=("$file")
  done < <(git ls-files -z --cached --others --exclude-standard -- '*.cpp' '*.h')
fi

if [ "$check" -eq 0 ]; then
  printf '%s\0' "${files[@]}" | xargs -0 -r "$formatter" -i --style=file
  exit 0
fi

# One run over all files; --dry-run names each place that would change.
differing=$(printf '%s\0' "${files[@]}" |
  xargs -0 -r "$formatter" --style=file --dry-run 2>&1 |
  sed -n 's/^\(.*\):[0-9]*:[0-9]*: [a-z]*: code should be clang-formatted.*/\1/p' | sort -u)
if [ -n "$differing" ]; then
  echo "$differing"
  echo "format.sh: the files above differ from .clang-format; run scripts/format.sh" >&2
  exit 1
fi

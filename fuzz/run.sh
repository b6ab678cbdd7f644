#!/usr/bin/env bash
# Builds the libFuzzer targets in build/fuzz and runs each in turn.
#
#   fuzz/run.sh [SECONDS] [TARGET...]    SECONDS per target, 60 by default;
#                                        every target when none is named
#
# The seed corpus fuzz/corpus/<target>/ is only read; inputs that reach new
# code go to build/fuzz/corpus/<target>/. An input that fails a target is
# saved as build/fuzz/crashes/<target>/crash-*: once the fault is fixed, keep
# it under tests/data/fuzz/<target>/, where the ordinary tests replay it.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
[ $# -gt 0 ] && shift
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(fuzz_parse fuzz_streamed_parse fuzz_text_reader fuzz_xml_parse fuzz_xml_edit)
fi

# libFuzzer and the sanitizer runtimes of clang.
scripts/setup.sh --extra clang libclang-rt-14-dev
cmake -S . -B build/fuzz -DCMAKE_CXX_COMPILER=clang++ -DKORVANE_FUZZ=ON -DKORVANE_GUI=OFF \
  -DKORVANE_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/fuzz --target "${targets[@]}" -j2

failed=()
for target in "${targets[@]}"; do
  mkdir -p "build/fuzz/corpus/$target" "build/fuzz/crashes/$target"
  echo "== $target, $seconds s"
  # A case that runs for 10 s is a fault too.
  if ! "build/fuzz/bin/$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
      -artifact_prefix="build/fuzz/crashes/$target/" \
      "build/fuzz/corpus/$target" "fuzz/corpus/$target" 2>"build/fuzz/$target.log"; then
    failed+=("$target")
  fi
  grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|==[0-9]+== ERROR|SUMMARY)' \
    "build/fuzz/$target.log" || true
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "failed: ${failed[*]} (see build/fuzz/<target>.log and build/fuzz/crashes/)" >&2
  exit 1
fi

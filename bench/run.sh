#!/usr/bin/env bash
# Builds the release programs, makes the large data set once and measures
# korvane-cli on it: MB/s of data parsed end to end and peak resident memory.
#   bench/run.sh [RECORDS]
set -euo pipefail
cd "$(dirname "$0")/.."
records=${1:-1000000}

scripts/setup.sh --extra time python3 mawk
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DKORVANE_TESTS=OFF >/dev/null
cmake --build build/release -j"$(nproc)" --target korvane-cli >/dev/null

data_dir=build/bench
mkdir -p "$data_dir"
data="$data_dir/logins-$records.txt"
template="$data_dir/logins-template.txt"
if [ ! -f "$data" ] || [ ! -f "$template" ]; then
  echo "Making $records records in $data ..."
  python3 bench/make_logins.py "$data" "$template" "$records"
fi
bytes=$(stat -c %s "$data")

# One untimed run warms the page cache; then the best of three.
measure() {
  local best_s="" best_rss=""
  "$@" >/dev/null 2>&1 || true
  for _ in 1 2 3; do
    /usr/bin/time -f '%e %M' -o "$data_dir/time.txt" "$@" >/dev/null 2>&1
    read -r secs rss <"$data_dir/time.txt"
    if [ -z "$best_s" ] || awk "BEGIN{exit !($secs < $best_s)}"; then
      best_s=$secs
      best_rss=$rss
    fi
  done
  echo "$best_s $best_rss"
}

read -r secs rss < <(measure build/release/bin/korvane-cli --template "$template" --data "$data" \
  -o "$data_dir/out.txt")
awk -v b="$bytes" -v s="$secs" -v r="$rss" 'BEGIN {
  printf "data: %.1f MB, %d records\n", b / 1e6, '"$records"'
  printf "korvane-cli to TXT: %.2f s, %.1f MB/s, peak RSS %.0f MB (%.2f x the data)\n",
         s, (s > 0 ? b / 1e6 / s : 0), r / 1024, r * 1024 / b
}'

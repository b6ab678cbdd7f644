#!/usr/bin/env bash
# Builds the release programs, makes the large data set once and measures
# korvane-cli on it beside the peers that read the same records: a TextFSM
# template, an awk program, and the plain scanners grep -c, wc -l and cat as
# the limit. Prints one table (tool, MB/s, peak RSS, ratio to Korvane), then
# the linearity of korvane-cli on ten times the data, every output format
# on 100,000 and 1,000,000 rows (time, MB/s of input, peak RSS), and the
# window on the same data.
#   bench/run.sh [RECORDS]     (default 1000000)
#   BENCH_QUICK=1 bench/run.sh skips the ten-times run, TextFSM and the window
set -euo pipefail
cd "$(dirname "$0")/.."
records=${1:-1000000}

scripts/setup.sh --extra time python3 python3-textfsm mawk
cmake -S . -B build/rel-cli -DCMAKE_BUILD_TYPE=Release -DKORVANE_TESTS=OFF -DKORVANE_GUI=OFF >/dev/null
cmake --build build/rel-cli -j"$(nproc)" --target korvane-cli >/dev/null
cli=build/rel-cli/bin/korvane-cli

data_dir=build/bench
mkdir -p "$data_dir"
template="$data_dir/logins-template.txt"
make_data() { # records -> path
  local path="$data_dir/logins-$1.txt"
  if [ ! -f "$path" ] || [ ! -f "$template" ]; then
    echo "Making $1 records in $path ..." >&2
    python3 bench/make_logins.py "$path" "$template" "$1"
  fi
  echo "$path"
}
data=$(make_data "$records")
small=$(make_data $((records / 10)))
sync
bytes=$(stat -c %s "$data")

# One untimed run warms the page cache; then the best of RUNS runs.
# Prints "seconds peak-kB".
measure() {
  local runs=$1; shift
  local best_s="" best_rss=""
  if [ "$runs" -gt 1 ]; then "$@" >/dev/null 2>&1 || true; fi
  for _ in $(seq "$runs"); do
    local t0 t1 secs rss
    t0=$(date +%s.%N)
    /usr/bin/time -f '%M' -o "$data_dir/time.txt" "$@" >/dev/null 2>"$data_dir/err.txt" || {
      echo "failed: $*" >&2; cat "$data_dir/err.txt" >&2; return 1; }
    t1=$(date +%s.%N)
    secs=$(awk -v a="$t0" -v b="$t1" 'BEGIN{printf "%.4f", b - a}')
    rss=$(tail -n 1 "$data_dir/time.txt")
    if [ -z "$best_s" ] || awk "BEGIN{exit !($secs < $best_s)}"; then
      best_s=$secs
      best_rss=$rss
    fi
  done
  echo "$best_s $best_rss"
}

rows=()
add_row() { # name seconds rss
  rows+=("$1|$2|$3")
}

read -r k_s k_rss < <(measure 3 "$cli" --template "$template" --data "$data" -o "$data_dir/out.txt")
add_row "korvane-cli (to TXT)" "$k_s" "$k_rss"
# The same data through a pipe, as from another program (cat's work counts).
read -r s r < <(measure 3 sh -c "cat '$data' | '$cli' --template '$template' --data - -o '$data_dir/out-pipe.txt'")
add_row "korvane-cli (pipe)" "$s" "$r"
pipe_s=$s
cmp -s "$data_dir/out.txt" "$data_dir/out-pipe.txt" || echo "warning: the table from the pipe differs" >&2
read -r s r < <(measure 3 sh -c "mawk -f bench/peers/logins.awk '$data' > '$data_dir/out-awk.txt'")
add_row "mawk" "$s" "$r"
awk_s=$s
if [ -z "${BENCH_QUICK:-}" ]; then
  # Debian's python3, which has the python3-textfsm package.
  read -r s r < <(measure 1 /usr/bin/python3 bench/peers/textfsm_parse.py bench/peers/logins.textfsm "$data" \
    "$data_dir/out-textfsm.txt")
  add_row "python3-textfsm" "$s" "$r"
fi
read -r s r < <(measure 3 grep -c '^-----' "$data")
add_row "grep -c" "$s" "$r"
read -r s r < <(measure 3 wc -l "$data")
add_row "wc -l" "$s" "$r"
read -r s r < <(measure 3 sh -c "cat '$data' > '$data_dir/out-cat.txt'")
add_row "cat (to a file)" "$s" "$r"
rm -f "$data_dir/out-cat.txt"

# The peers must have read the same records.
if ! cmp -s "$data_dir/out.txt" <(tr -d '\r' <"$data_dir/out-awk.txt" | sed 's/$/\r/'); then
  echo "warning: mawk's table differs from korvane-cli's" >&2
fi
if [ -f "$data_dir/out-textfsm.txt" ] && ! cmp -s "$data_dir/out-awk.txt" "$data_dir/out-textfsm.txt"; then
  echo "warning: TextFSM's table differs from mawk's" >&2
fi

printf '\ndata: %s, %.1f MB, %d records\n\n' "$data" "$(awk -v b="$bytes" 'BEGIN{print b/1e6}')" "$records"
printf '%-22s %10s %10s %14s %16s\n' "tool" "seconds" "MB/s" "peak RSS MB" "time / Korvane"
for row in "${rows[@]}"; do
  IFS='|' read -r name s r <<<"$row"
  awk -v n="$name" -v s="$s" -v r="$r" -v b="$bytes" -v ks="$k_s" 'BEGIN {
    mbs = (s > 0 ? b / 1e6 / s : 0)
    printf "%-22s %10.3f %10.1f %14.0f %16s\n", n, s, mbs, r / 1024,
           (n ~ /^korvane/ ? "-" : sprintf("%.2f", s / ks))
  }'
done
awk -v r="$k_rss" -v b="$bytes" -v ks="$k_s" -v as="$awk_s" -v ps="$pipe_s" 'BEGIN {
  printf "\nkorvane-cli peak RSS is %.2f x the data; throughput %.1f x mawk; through a pipe %.0f %% of the file\n",
         r * 1024 / b, as / ks, 100 * ks / ps
}'

if [ -z "${BENCH_QUICK:-}" ]; then
  big=$(make_data $((records * 10)))
  # The new file is still being written back to the disk; that must not
  # count against korvane-cli.
  sync
  read -r b_s b_rss < <(measure 2 "$cli" --template "$template" --data "$big" -o "$data_dir/out-big.txt")
  rm -f "$data_dir/out-big.txt"
  awk -v s1="$k_s" -v s10="$b_s" -v r="$b_rss" -v b="$(stat -c %s "$big")" 'BEGIN {
    printf "\nten times the data: %.2f s (%.2f x the time), %.1f MB/s, peak RSS %.0f MB (%.2f x the data)\n",
           s10, s10 / s1, b / 1e6 / s10, r / 1024, r * 1024 / b
  }'
  # The same without the file system's share: the table goes to /dev/null.
  read -r n1_s _ < <(measure 3 "$cli" --template "$template" --data "$data" -o /dev/null)
  read -r n10_s _ < <(measure 2 "$cli" --template "$template" --data "$big" -o /dev/null)
  awk -v s1="$n1_s" -v s10="$n10_s" 'BEGIN {
    printf "to /dev/null: %.3f s and %.2f s (%.2f x the time)\n", s1, s10, s10 / s1
  }'
fi

# Every output format on a tenth of the rows and on all of them: the time,
# the input read per second and the peak memory of the full run (the best
# of two after a warm-up).
printf '\n%-8s %14s %14s %8s %10s %14s\n' "format" "$((records / 10)) rows s" "$records rows s" \
  "ratio" "MB/s" "peak RSS MB"
for ext in txt csv html xml xlsx sqlite json jsonl; do
  out="$data_dir/out-format.$ext"
  # An HTML report that exists gets the rows added; each run writes a new one.
  fresh=()
  [ "$ext" = html ] && fresh=(--replace)
  rm -f "$out"
  read -r s1 _ < <(measure 1 "$cli" --template "$template" --data "$small" -o "$out" "${fresh[@]}")
  rm -f "$out"
  read -r s2 r2 < <(measure 2 "$cli" --template "$template" --data "$data" -o "$out" "${fresh[@]}")
  rm -f "$out"
  awk -v e="$ext" -v a="$s1" -v b="$s2" -v r="$r2" -v n="$bytes" 'BEGIN {
    printf "%-8s %14.3f %14.3f %8.1f %10.1f %14.0f\n", e, a, b, (a > 0 ? b / a : 0),
           (b > 0 ? n / 1e6 / b : 0), r / 1024
  }'
done

# Templates of many fields: one line of N fields and N lines of one field;
# the time should grow with N, not with its square.
printf '\n%-8s %12s %12s %12s\n' "template" "10000 fields" "100000 fields" "ratio"
for shape in wide tall; do
  times=()
  for n in 10000 100000; do
    python3 bench/make_wide_templates.py "$data_dir/templates" "$n"
    read -r s _ < <(measure 1 "$cli" --template "$data_dir/templates/$shape-$n-template.txt" \
      --data "$data_dir/templates/$shape-$n-data.txt" -o /dev/null)
    times+=("$s")
  done
  awk -v n="$shape" -v a="${times[0]}" -v b="${times[1]}" \
    'BEGIN { printf "%-8s %12.3f %12.3f %12.1f\n", n, a, b, (a > 0 ? b / a : 0) }'
done

# The window: Load Template, Load Data, Parse Data to the first rows
# painted, and scrolling through the rows, on the offscreen platform.
if [ -z "${BENCH_QUICK:-}" ]; then
  cmake -S . -B build/rel-gui -DCMAKE_BUILD_TYPE=Release -DKORVANE_TESTS=OFF >/dev/null
  cmake --build build/rel-gui -j"$(nproc)" --target korvane-window-bench >/dev/null
  printf '\nthe window, %s:\n' "$data"
  QT_QPA_PLATFORM=offscreen build/rel-gui/bin/korvane-window-bench "$template" "$data" 2>/dev/null
fi

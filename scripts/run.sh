#!/usr/bin/env bash
# Installs what is missing, builds Korvane and starts the window with the
# sample texts loaded. Without a display it runs the command-line program on
# the samples instead and says how to run it yourself.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DKORVANE_TESTS=OFF -DKORVANE_GUI=ON >/dev/null
cmake --build build/release -j"$(nproc)"

bin=build/release/bin
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$bin/korvane" "$@"
fi

echo "No display found, so the window cannot open. The command-line program on the samples:"
echo
echo "  $bin/korvane-cli --template $bin/Sample1/login_to_url_template.txt --data $bin/Sample1/login_to_url.txt"
echo
exec "$bin/korvane-cli" --template "$bin/Sample1/login_to_url_template.txt" \
  --data "$bin/Sample1/login_to_url.txt"

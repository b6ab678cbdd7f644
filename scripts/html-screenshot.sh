#!/usr/bin/env bash
# Writes the HTML report of the sample texts with korvane-cli and takes a
# headless browser screenshot of it.
#
#   scripts/html-screenshot.sh [OUTPUT.png]
#
# Uses the first built korvane-cli found under build*/bin or build*/*/bin
# (build one first, e.g. with scripts/run.sh), and installs Debian's
# chromium when no browser is there. The report and the screenshot go to
# build/screenshot/ unless a PNG path is given.
set -euo pipefail
cd "$(dirname "$0")/.."

cli=""
for candidate in build*/bin/korvane-cli build*/*/bin/korvane-cli; do
  if [ -x "$candidate" ]; then
    cli=$candidate
    break
  fi
done
if [ -z "$cli" ]; then
  echo "html-screenshot: no built korvane-cli under build*/; build it first (scripts/run.sh)" >&2
  exit 1
fi
bin=$(dirname "$cli")

png=${1:-build/screenshot/report.png}
out_dir=$(dirname "$png")
mkdir -p "$out_dir"
png=$(cd "$out_dir" && pwd)/$(basename "$png")
report=${png%.png}.html
# Save As adds to an existing report; the screenshot is of one run.
rm -f "$report"
"$cli" --template "$bin/Sample1/login_to_url_template.txt" --data "$bin/Sample1/login_to_url.txt" \
  -o "$report"

browser=$(command -v chromium || command -v chromium-browser || true)
if [ -z "$browser" ]; then
  scripts/setup.sh --extra chromium
  browser=$(command -v chromium)
fi

profile=$(mktemp -d)
trap 'rm -rf "$profile"' EXIT
"$browser" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
  --disable-background-networking --disable-component-update --disable-sync \
  --user-data-dir="$profile" --hide-scrollbars --window-size=1280,800 \
  --screenshot="$png" "file://$report" 2>/dev/null
echo "report:     $report"
echo "screenshot: $png"

#!/usr/bin/env bash
# Screenshots of the window as a user sees it: under a real X server (Xvfb)
# with a window manager (openbox), so that the title bar, the frame and
# maximising are the window manager's own.
#
#   scripts/window-screenshots.sh [OUTPUT_DIR]
#
# Makes, in build/screenshots/ unless a folder is given:
#   window-max-1920.png   the window maximised on a 1920x1080 screen, after
#                         Parse Data on the samples
#   window-150-1366.png   the window as it opens at 150 % on a 1366x768 screen
#   window-200-1366.png   the same at 200 %
#   print-a4-p1.png       page 1 of the samples' list printed on A4
#   help-dark.png         the help window with a dark palette, on the page
#                         about templates (headings, links, code blocks)
#   status-stop.png       the status line after a parse that stopped, its line
#                         found in the data box with Go to Line
#   preview.png           the live preview's marks on the samples
# Uses the newest built korvane and korvane-window-shot under build*/bin or
# build*/*/bin, and installs the X server, the window manager and the tools
# it drives them with through scripts/setup.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

newest() {
  ls -t build*/bin/"$1" build*/*/bin/"$1" 2>/dev/null | head -n 1 || true
}

# One screen: starts the window manager and the window, waits for it, parses
# the samples, optionally maximises, and saves the whole screen.
shoot_screen() {
  local png=$1 maximise=$2
  openbox >/dev/null 2>&1 &
  local wm=$!
  for _ in $(seq 100); do wmctrl -m >/dev/null 2>&1 && break; sleep 0.1; done
  "$korvane" >/dev/null 2>&1 &
  local app=$!
  xdotool search --sync --name '^Korvane$' windowactivate --sync >/dev/null 2>&1 || true
  # Enter presses the default button, Parse Data.
  xdotool key --clearmodifiers Return
  if [ "$maximise" = yes ]; then
    wmctrl -F -r Korvane -b add,maximized_vert,maximized_horz
  fi
  # The window manager and the window settle after a map or a maximise.
  sleep 1
  import -window root "$png"
  kill "$app" "$wm" 2>/dev/null || true
  wait "$app" "$wm" 2>/dev/null || true
}

if [ -n "${KORVANE_SHOT_INNER:-}" ]; then
  korvane=$KORVANE_BIN/korvane
  shoot_screen "$KORVANE_SHOT_INNER" "${KORVANE_SHOT_MAXIMISE:-no}"
  exit 0
fi

scripts/setup.sh --extra xvfb xauth openbox x11-apps imagemagick xdotool wmctrl

shot_tool=$(newest korvane-window-shot)
if [ -z "$shot_tool" ] || [ ! -x "$(dirname "$shot_tool")/korvane" ]; then
  echo "window-screenshots: no built korvane and korvane-window-shot under build*/; build them first" >&2
  exit 1
fi
bin=$(cd "$(dirname "$shot_tool")" && pwd)
out_dir=${1:-build/screenshots}
mkdir -p "$out_dir"
out_dir=$(cd "$out_dir" && pwd)
self=$(pwd)/scripts/window-screenshots.sh

export KORVANE_BIN=$bin
KORVANE_SHOT_INNER=$out_dir/window-max-1920.png KORVANE_SHOT_MAXIMISE=yes \
  xvfb-run -a -s '-screen 0 1920x1080x24' "$self"
KORVANE_SHOT_INNER=$out_dir/window-150-1366.png QT_SCALE_FACTOR=1.5 \
  xvfb-run -a -s '-screen 0 1366x768x24' "$self"
KORVANE_SHOT_INNER=$out_dir/window-200-1366.png QT_SCALE_FACTOR=2 \
  xvfb-run -a -s '-screen 0 1366x768x24' "$self"

# The print of the samples through the window's own Print command.
QT_QPA_PLATFORM=offscreen "$bin/korvane-window-shot" --print-pdf "$out_dir/print-a4.pdf" >/dev/null
pdftoppm -r 100 -f 1 -l 1 -singlefile -png "$out_dir/print-a4.pdf" "$out_dir/print-a4-p1"

QT_QPA_PLATFORM=offscreen "$bin/korvane-window-shot" --dark --help-window --help-page templates.html \
  "$out_dir/help-dark.png" \
  >/dev/null

QT_QPA_PLATFORM=offscreen "$bin/korvane-window-shot" --stop "$out_dir/status-stop.png" >/dev/null
QT_QPA_PLATFORM=offscreen "$bin/korvane-window-shot" --preview "$out_dir/preview.png" >/dev/null

ls "$out_dir"/*.png

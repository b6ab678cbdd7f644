#!/usr/bin/env bash
# Prints the list of the sample parse to a PDF file, as the window's Print
# command does, and renders its pages to PNG files for a look at them.
#
#   scripts/print-preview.sh [OUTPUT_DIR] [DPI]
#
# Uses the newest built korvane-window-shot found under build*/bin or
# build*/*/bin (build one first, e.g. with scripts/run.sh); needs poppler's
# pdftoppm and pdfinfo (scripts/setup.sh installs them). The PDF and the
# pages (list-1.png, ...) go to build/print-preview/ unless a folder is
# given; the pages are rendered at 100 dpi unless DPI says otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."

# The most recently built one, so that an old build folder does not win.
tool=$(ls -t build*/bin/korvane-window-shot build*/*/bin/korvane-window-shot 2>/dev/null | head -n 1 || true)
if [ -z "$tool" ]; then
  echo "print-preview: no built korvane-window-shot under build*/; build it first (scripts/run.sh)" >&2
  exit 1
fi
if ! command -v pdftoppm >/dev/null || ! command -v pdfinfo >/dev/null; then
  scripts/setup.sh
fi

out_dir=${1:-build/print-preview}
dpi=${2:-100}
mkdir -p "$out_dir"
out_dir=$(cd "$out_dir" && pwd)
pdf=$out_dir/list.pdf
rm -f "$pdf" "$out_dir"/list-*.png

QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$tool" --print-pdf "$pdf"
pdfinfo "$pdf" | grep -E '^(Title|Pages|Page size):'
pdftoppm -r "$dpi" -png "$pdf" "$out_dir/list"
ls "$out_dir"/list-*.png

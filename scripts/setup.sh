#!/usr/bin/env bash
# Installs the Debian packages that building and testing Korvane need, but
# only those that are missing. Uses sudo when not run as root.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  qt6-base-dev
  libgtest-dev libgmock-dev
  unixodbc-dev odbcinst libsqliteodbc sqlite3
  libxml2-utils poppler-utils
  fonts-liberation2 fonts-dejavu-core
  clang-format clang-tidy
  libxlsxwriter-dev libsqlite3-dev
  libreoffice-calc-nogui python3 python3-xlrd python3-openpyxl
  mdbtools odbc-mdbtools unixodbc
  parallel desktop-file-utils appstream
  dpkg-dev file man-db
)
if [ "${1:-}" = "--extra" ]; then
  shift
  packages+=("$@")
fi

missing=()
for pkg in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$pkg")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"

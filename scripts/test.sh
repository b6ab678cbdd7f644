#!/usr/bin/env bash
# Installs what is missing, builds Korvane with AddressSanitizer,
# UndefinedBehaviorSanitizer and warnings as errors, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Debug -DKORVANE_SANITIZE=ON -DKORVANE_WERROR=ON >/dev/null
cmake --build build/test -j"$(nproc)"
cd build/test
ctest --output-on-failure -j"$(nproc)" "$@"

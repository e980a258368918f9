#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (no display needed).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
export QT_QPA_PLATFORM=offscreen
cd build
ctest --output-on-failure -j "$(nproc)" "$@"

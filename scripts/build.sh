#!/usr/bin/env bash
# Configures (once) and builds into ./build. Builds are serialised with a lock so that
# two builds never compete for the machine's cores.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
exec 9>"/tmp/sumaris-build.lock"
flock 9
if [ ! -f "$BUILD_DIR/build.ninja" ]; then
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo}
fi
if [ $# -gt 0 ]; then
  cmake --build "$BUILD_DIR" -j "$(nproc)" --target "$@"
else
  cmake --build "$BUILD_DIR" -j "$(nproc)"
fi

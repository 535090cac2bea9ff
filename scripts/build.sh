#!/usr/bin/env bash
# Configures and builds into ./build (or $ORVANE_BUILD_DIR). Extra arguments go to cmake.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${ORVANE_BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVANE_BUILD_BENCH=ON "$@"
cmake --build "$build_dir" --parallel "$(nproc)"

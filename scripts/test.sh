#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# The tests do not need the bench: scripts/build.sh alone builds it too.
scripts/build.sh -DORVANE_WERROR=ON -DORVANE_BUILD_BENCH=OFF
build_dir=${ORVANE_BUILD_DIR:-build}
ctest --test-dir "$build_dir" --output-on-failure --parallel "$(nproc)"

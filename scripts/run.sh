#!/usr/bin/env bash
# Installs what is missing, builds and starts Orvane.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
build_dir=${ORVANE_BUILD_DIR:-build}
exec "$build_dir/bin/orvane" "$@"

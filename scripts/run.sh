#!/usr/bin/env bash
# Installs what is missing, builds, creates the demo practice and its user when absent, and
# starts Orvane on them. Extra arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
build_dir=${ORVANE_BUILD_DIR:-build}
orvane="$build_dir/bin/orvane"

# The demo keeps its own settings directory, so that a workstation's PV.INI stays untouched.
demo_dir=${ORVANE_DEMO_DIR:-$build_dir/demo}
data="$demo_dir/Orvane/Data"
config="$demo_dir/config"
if [ ! -f "$data/PallavorDB.sqlite" ]; then
    "$orvane" --config-dir "$config" --demo-data "$data"
fi
if ! grep -qi '^demoRole=' "$config/PV.INI" 2>/dev/null; then
    # The passwords go in on standard input: on the command line every user would see them.
    printf 'demo\nreceipts\n' | "$orvane" --config-dir "$config" --add-user demo --role 0
    # The demo workstation's default dentist is the practice's first: the appointment book
    # opens on the default dentist's tab.
    printf '\n[Orvane]\nDefaultDocIDEdit_Text=1\n' >> "$config/PV.INI"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No display to show the program on: rendering its windows to $build_dir/screenshots instead."
    exec "$orvane" --config-dir "$config" --screenshot-tour "$build_dir/screenshots" --data "$data"
fi
exec "$orvane" --config-dir "$config" --data "$data" "$@"

#!/usr/bin/env bash
# Installs the Debian 12 packages needed to build, run and test Orvane. Run as root.
set -euo pipefail
packages=(
    build-essential cmake ninja-build pkg-config lld
    qt6-base-dev qt6-base-dev-tools qt6-l10n-tools libqt6sql6-sqlite libqt6sql6-psql libgl1-mesa-dev
    zlib1g-dev libsqlite3-dev
    postgresql-15
    libssl-dev
    xvfb x11-xkb-utils xauth xdotool dbus fonts-dejavu-core poppler-utils
    pxlib-dev
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update
    apt-get install -y --no-install-recommends "${missing[@]}"
fi

#!/usr/bin/env bash
# Installs what is needed, builds and starts Kelvane. Without a display it says so and starts
# Kelvane on a virtual X server (with a window manager and a tray) instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh kelvane
if [ -z "${DISPLAY:-}" ]; then
    echo "No display is set: starting Kelvane on a virtual X server (Xvfb)."
    echo "Take a look with: import -display <the display below> -window root shot.png"
    exec scripts/test-desktop.sh sh -c 'echo "DISPLAY=$DISPLAY"; exec build/kelvane "$@"' kelvane "$@"
fi
exec build/kelvane "$@"

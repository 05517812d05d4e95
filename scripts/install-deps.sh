#!/usr/bin/env bash
# Installs the Debian packages Kelvane needs to build and run; with --tests, also what the
# tests need.
set -euo pipefail
packages=(
    cmake ninja-build g++ pkg-config clang-format
    qt6-base-dev qt6-base-dev-tools qt6-image-formats-plugins
    libsndfile1-dev libpulse-dev libxcb1-dev libavif-dev libqt6svg6
    xvfb xauth openbox trayer x11-utils xdotool wmctrl imagemagick xdg-utils file
    pulseaudio pulseaudio-utils fonts-dejavu-core fonts-liberation
)
# The tests also drag pictures out of real browsers, open windows of a browser's class, check
# and launch desktop entries, run a session bus of their own, make and check the Debian
# package, and fuzz the parsers with clang's libFuzzer.
if [ "${1:-}" = "--tests" ]; then
    packages+=(firefox-esr chromium xterm desktop-file-utils libglib2.0-bin dpkg-dev appstream
        mutter xwayland qt6-wayland dbus-daemon clang libclang-rt-dev)
fi
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null

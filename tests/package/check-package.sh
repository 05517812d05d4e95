#!/usr/bin/env bash
# Makes the Debian package from a build folder and checks it: its files where Debian expects
# them, the program stripped, the desktop entry and the AppStream metainfo valid, its
# dependencies installable, and the program in it started on the test desktop and ended by
# SIGTERM.
#   tests/package/check-package.sh <build folder>
set -euo pipefail
build=$(cd "$1" && pwd)
scratch=$(mktemp -d "${TMPDIR:-/tmp}/kelvane-package.XXXXXX")
pid=
trap '[ -z "$pid" ] || kill "$pid" 2>/dev/null; rm -rf "$scratch"' EXIT
fail() { echo "package: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$scratch/out" >/dev/null) || fail "cpack failed"
deb=$(ls "$scratch"/out/kelvane_*.deb)
dpkg-deb -x "$deb" "$scratch/root"
root="$scratch/root/usr"
for f in bin/kelvane share/applications/org.kelvane.Kelvane.desktop \
    share/metainfo/org.kelvane.Kelvane.metainfo.xml share/man/man1/kelvane.1.gz \
    share/icons/hicolor/scalable/apps/kelvane.svg share/icons/hicolor/48x48/apps/kelvane.png \
    share/kelvane/res/click.wav share/kelvane/KelvaneHelp.html share/doc/kelvane/copyright; do
    [ -s "$root/$f" ] || fail "missing $f"
done
module=
for m in "$root"/lib/kelvane/kelvanesound.so "$root"/lib/*/kelvane/kelvanesound.so; do
    [ -s "$m" ] && module=$m
done
[ -n "$module" ] || fail "missing the sound module"
libraries=$(ldd "$module")
case "$libraries" in *"not found"*) fail "the sound module lacks a library" ;; esac
file -b "$root/bin/kelvane" | grep -q ", stripped" || fail "the program is not stripped"
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "no run-time dependencies"
desktop-file-validate "$root/share/applications/org.kelvane.Kelvane.desktop"
appstreamcli validate --no-net "$root/share/metainfo/org.kelvane.Kelvane.metainfo.xml" >/dev/null ||
    fail "the metainfo is not valid"
zcat "$root/share/man/man1/kelvane.1.gz" | grep -q "^\.TH KELVANE 1 " || fail "the man page is not one"
# Every dependency can be installed from the archive (as root, with apt's lists).
if [ "$(id -u)" -eq 0 ] && [ -n "$(ls /var/lib/apt/lists 2>/dev/null)" ]; then
    apt-get install --simulate -qq "$deb" >/dev/null || fail "its dependencies cannot be installed"
fi

# The packaged program on the test desktop, in a home of its own, as the menu entry starts it:
# its splash, then its main window, then the greeting (the sound module loaded from the
# package's own library folder).
[ -n "${DISPLAY:-}" ] || { echo "package: no display, the program was not started"; exit 77; }
home="$scratch/home"
mkdir -p "$home/.config" && mkdir -m 700 "$home/.runtime"
exec_line=$(sed -n 's/^Exec=//p' "$root/share/applications/org.kelvane.Kelvane.desktop")
HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_CACHE_HOME="$home/.cache" \
    XDG_RUNTIME_DIR="$home/.runtime" PATH="$root/bin:$PATH" $exec_line &
pid=$!
main_window() { # a window of the program that is not its splash
    local w
    for w in $(xdotool search --onlyvisible --pid "$pid" --name '^Kelvane$' 2>/dev/null); do
        xprop -id "$w" _NET_WM_WINDOW_TYPE | grep -q SPLASH || return 0
    done
    return 1
}
for _ in $(seq 150); do main_window && break; sleep 0.2; done
main_window || fail "no main window shown"
for _ in $(seq 50); do grep -q kelvanesound.so "/proc/$pid/maps" && break; sleep 0.2; done
grep -q "$root/lib/.*kelvanesound.so" "/proc/$pid/maps" || fail "the greeting did not load the sound module"
kill -TERM "$pid"
wait "$pid" || fail "did not end cleanly on SIGTERM"
pid=
[ -s "$home/.config/kelvane/kelvane.dat" ] || fail "no settings written at the end"
echo "package: $(basename "$deb") checked"

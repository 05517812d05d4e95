#!/usr/bin/env bash
# Runs a command on a desktop of its own: an X server (Xvfb), a window manager (openbox), a
# tray host (trayer) and a sound server (PulseAudio with a null sink "kelvane_null"), each
# with its runtime folders under one temporary directory; beside it a Wayland session as GNOME
# runs one (a session bus and mutter, headless, with XWayland), announced to the tests through
# KELVANE_WAYLAND_* (when it cannot start, KELVANE_WAYLAND_MISSING says why). Everything
# is stopped afterwards; the command's exit status is returned and nothing is printed after
# its output.
#   scripts/test-desktop.sh <command> [args...]
set -u
root=$(mktemp -d "${TMPDIR:-/tmp}/kelvane-desktop.XXXXXX")
pids=()
stop() {
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
    # A file system a service of the session bus mounted (a portal's) must not outlive it.
    awk -v r="$root/" 'index($2, r) == 1 { print $2 }' /proc/mounts | while read -r m; do
        fusermount3 -uz "$m" || fusermount -uz "$m" || umount -l "$m"
    done 2>/dev/null
    rm -rf "$root"
}
trap stop EXIT
fail() { echo "test desktop: $*" >&2; exit 1; }
wait_for() { # seconds, command...
    local n=$(( $1 * 10 )); shift
    for ((; n > 0; n--)); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
    return 1
}

mkdir -p "$root/x" "$root/wm" "$root/pulse/runtime" "$root/pulse/home"
chmod 700 "$root/pulse/runtime"
log="$root/desktop.log"

# X server on the first free display.
exec 3<> "$root/x/displayfd"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset >"$log" 2>&1 &
pids+=($!)
wait_for 10 test -s "$root/x/displayfd" || fail "Xvfb did not start"
export DISPLAY=":$(head -n 1 "$root/x/displayfd")"
exec 3>&-
wait_for 10 xprop -root || fail "X server $DISPLAY does not answer"

# Window manager (EWMH).
HOME="$root/wm" XDG_CONFIG_HOME="$root/wm" openbox --sm-disable >>"$log" 2>&1 &
pids+=($!)
wait_for 10 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' ||
    fail "openbox did not start"

# Tray host (XEmbed system tray).
HOME="$root/wm" trayer --edge top --align right --widthtype pixel --width 120 \
    --heighttype pixel --height 24 --SetDockType true --transparent false >>"$log" 2>&1 &
pids+=($!)
wait_for 10 sh -c 'xdotool search --classname trayer' || fail "trayer did not start"

# Sound server with a null sink as the default sink.
HOME="$root/pulse/home" XDG_RUNTIME_DIR="$root/pulse/runtime" \
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --use-pid-file=no \
    --disable-shm=yes --log-target=stderr \
    -L "module-null-sink sink_name=kelvane_null" \
    -L "module-native-protocol-unix socket=$root/pulse/native auth-anonymous=1" \
    -L "module-always-sink" >>"$log" 2>&1 &
pids+=($!)
export PULSE_SERVER="unix:$root/pulse/native"
wait_for 15 pactl info || fail "PulseAudio did not start (see below)
$(tail -n 20 "$log")"
pactl set-default-sink kelvane_null >/dev/null 2>&1
# An idle null sink wakes in two-second blocks; a stream of silence keeps it running the way
# a sound card does, so a short sound ends when it ends.
pacat --playback --latency-msec=20 --raw --format=s16le --channels=1 --rate=44100 \
    --client-name=kelvane-test-keeper /dev/zero >>"$log" 2>&1 &
pids+=($!)

# The Wayland session: its own bus (services it starts end with it), mutter on a virtual
# monitor of the same size, XWayland on the first free display mutter finds.
wayland() {
    local w="$root/wayland" n auth
    for program in dbus-daemon mutter Xwayland; do
        command -v $program >/dev/null || { echo "$program is not installed"; return 1; }
    done
    mkdir -p "$w/runtime" "$w/home" && chmod 700 "$w/runtime"
    env -u DISPLAY HOME="$w/home" XDG_RUNTIME_DIR="$w/runtime" \
        dbus-daemon --session --nofork --nopidfile --address="unix:path=$w/bus" >>"$log" 2>&1 &
    pids+=($!)
    wait_for 10 test -S "$w/bus" || { echo "its session bus did not start"; return 1; }
    env -u DISPLAY HOME="$w/home" XDG_RUNTIME_DIR="$w/runtime" \
        DBUS_SESSION_BUS_ADDRESS="unix:path=$w/bus" mutter --headless --wayland --virtual-monitor 1280x1024 \
        --wayland-display kelvane-wayland >"$w/mutter.log" 2>&1 &
    pids+=($!)
    wait_for 15 grep -q "Using public X11 display" "$w/mutter.log" ||
        { echo "mutter did not start XWayland: $(tail -n 3 "$w/mutter.log")"; return 1; }
    n=$(sed -n 's/.*Using public X11 display \(:[0-9]*\).*/\1/p' "$w/mutter.log" | head -n 1)
    auth=$(ls "$w/runtime"/.mutter-Xwaylandauth.* 2>/dev/null | head -n 1)
    wait_for 15 env DISPLAY="$n" XAUTHORITY="$auth" xprop -root _NET_SUPPORTING_WM_CHECK ||
        { echo "XWayland $n does not answer"; return 1; }
    export KELVANE_WAYLAND_DISPLAY=kelvane-wayland KELVANE_WAYLAND_RUNTIME_DIR="$w/runtime" \
        KELVANE_WAYLAND_X_DISPLAY="$n" KELVANE_WAYLAND_XAUTHORITY="$auth" \
        KELVANE_WAYLAND_BUS="unix:path=$w/bus"
}
wayland >"$root/wayland.why" || export KELVANE_WAYLAND_MISSING="$(cat "$root/wayland.why")"

export KELVANE_TEST_DESKTOP=1
"$@"
rc=$?
exit $rc

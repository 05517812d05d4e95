#!/usr/bin/env bash
# Runs one test with a fresh, empty home of its own, so that no test sees another's
# settings, history, desktop folder or single-instance lock.
home=$(mktemp -d "${TMPDIR:-/tmp}/kelvane-test-home.XXXXXX")
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/.config" && mkdir -m 700 "$home/.runtime"
export HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
    XDG_CACHE_HOME="$home/.cache" XDG_RUNTIME_DIR="$home/.runtime"
unset XDG_DESKTOP_DIR XDG_DOCUMENTS_DIR
"$@"

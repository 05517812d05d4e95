#!/usr/bin/env bash
# Runs a fuzz target on its seed folder for a few seconds: run.sh <target> <seeds> [seconds].
# The inputs it makes go to a scratch folder; one that breaks the target is kept beside the
# target as crash-<sha1> (or leak-, oom-, timeout-), to be run again as <target> <that file>.
set -euo pipefail
target=$1 seeds=$2
if [ ! -x "$target" ]; then
    echo "$target is not built: it needs clang++ with libFuzzer"
    exit 77
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$target" -max_total_time="${3:-3}" -seed=1 -error_exitcode=1 -artifact_prefix="$(dirname "$target")/" \
    "$scratch" "$seeds"

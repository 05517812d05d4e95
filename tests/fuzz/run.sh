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
# The preview's seeds are small pictures of each kind, made here rather than kept as files.
if [ "$(basename "$seeds")" = preview ]; then
    seeds=$scratch/seeds
    mkdir "$seeds"
    for type in png gif jpg bmp tif webp avif ico; do
        convert -size 8x8 xc:red "$seeds/picture.$type" 2>/dev/null || true
    done
    convert -size 300x20 gradient:blue-red -interlace PNG "$seeds/wide-interlaced.png"
    scratch=$scratch/made && mkdir "$scratch"
fi
"$target" -max_total_time="${3:-3}" -seed=1 -error_exitcode=1 -artifact_prefix="$(dirname "$target")/" \
    "$scratch" "$seeds"

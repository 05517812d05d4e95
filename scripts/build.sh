#!/usr/bin/env bash
# Configures and builds Kelvane in ./build: everything, or only the targets given
# (scripts/build.sh kelvane builds the program and its resources).
set -euo pipefail
cd "$(dirname "$0")/.."
[ -f build/CMakeCache.txt ] || cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build build -j "$(nproc)" "${targets[@]}"

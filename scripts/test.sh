#!/usr/bin/env bash
# Installs what is needed, builds, starts the test desktop and runs every test.
# The last line printed is ctest's summary; the exit status is non-zero when a test fails.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --tests
scripts/build.sh
exec scripts/test-desktop.sh ctest --test-dir build --output-on-failure -j 2 "$@"

#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs the program for a long time (30 minutes by default) on a private X
# server with periodic input: key strokes, arrows, menu toggles, resizes.
# Samples its resident memory and CPU time, prints them, and fails if the
# resident memory grew by 1 MB or more after the warm-up, if any console
# line was lost, or if the program did not end with status 0.
#
#   scripts/soak.sh [--seconds N] [--warmup N] [--sample N] [--max-growth-kb N] [--csv FILE]
#
# e.g. scripts/soak.sh --seconds 60 for a one-minute check. Builds in build/
# (or $BUILD_DIR) first. Not for a sanitizer build: its allocator holds
# freed memory back, so resident memory says nothing about the program.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${BUILD_DIR:-build}
scripts/build.sh >/dev/null
if grep -q '^GLUT_ALAP_SANITIZE:BOOL=ON' "$build_dir/CMakeCache.txt"; then
    echo "soak: $build_dir is a sanitizer build; use a normal one (BUILD_DIR=...)" >&2
    exit 2
fi
exec "$build_dir/tests/reliability/glut_alap_soak" "$@"

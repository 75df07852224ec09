#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Sets everything up and starts the program. Arguments go to the program, so
# toolkit options work: scripts/run.sh -geometry 600x400+100+100
#
# With no display (DISPLAY unset: a plain SSH login, a container, CI) it runs
# the program for three seconds on a virtual X server instead and saves what
# the window showed, as PNG pictures and an animated GIF.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
scripts/build.sh >/dev/null
build_dir=${BUILD_DIR:-build}

if [ -n "${DISPLAY:-}" ] || [[ " $* " == *" -display "* ]]; then
    exec "$build_dir/glut-alap" "$@"
fi

echo "No display found (DISPLAY is not set): running the program on a virtual X server instead."
# 30 frames at the program's 10 frames per second: 3 seconds.
exec "$build_dir/glut-alap-capture" --frames 30 --out "$build_dir/capture" -- "$@"

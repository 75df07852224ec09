#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Sets everything up and starts the program. Arguments go to the program, so
# toolkit options work: scripts/run.sh -geometry 600x400+100+100
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
scripts/build.sh >/dev/null

if [ -z "${DISPLAY:-}" ]; then
    echo "No display found: DISPLAY is not set. Start the program from a desktop session," >&2
    echo "or give one with -display HOST:N." >&2
fi
exec ./build/glut-alap "$@"

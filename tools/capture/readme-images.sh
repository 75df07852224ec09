#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Remakes the README's pictures in docs/images with the capture tool, from
# the program built in build/ (or $BUILD_DIR): run scripts/build.sh first.
set -euo pipefail
cd "$(dirname "$0")/../.."

build_dir=${BUILD_DIR:-build}
capture="$build_dir/glut-alap-capture"
work="$build_dir/readme-images"
mkdir -p docs/images

# The first 3 seconds after start, as a user sees them.
"$capture" --frames 30 --out "$work/start"
cp "$work/start/animation.gif" docs/images/animation.gif
# Frame 18: a quarter turn on, the figure beside the trunk with its cone in profile.
cp "$work/start/frame-18.png" docs/images/screenshot.png

# Wireframe from the menu, the scene turned 20 degrees down and 30 to the right
# with the arrow keys: the outlines show the boxes and the cone in depth.
keys=()
for key in Down Down Down Down Right Right Right Right Right Right; do
    keys+=(--key "$key")
done
"$capture" --frames 12 --wireframe "${keys[@]}" --out "$work/wireframe" -- -geometry 400x400
cp "$work/wireframe/frame-12.png" docs/images/wireframe.png

du -b docs/images/*

#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Catches a capture tool that records at the wrong size, writes the wrong
# number of frames, repeats one picture instead of following the animation,
# or records before the input it was asked to send first has shown.
#
# usage: capture_test.sh CAPTURE_TOOL CONVERT IDENTIFY WORK_DIR
set -euo pipefail
tool=$1 convert=$2 identify=$3 out=$4

frames=5
size=160x120  # not the toolkit's default, so the option must reach the program
# 18 presses of Down tilt the scene by 90 degrees: the trunk then points at
# the viewer and shows as a dot instead of a tall bar.
keys=()
for _ in $(seq 18); do
    keys+=(--key Down)
done
rm -rf "$out"
output=$("$tool" --frames "$frames" --out "$out" --wireframe "${keys[@]}" -- -geometry "$size+0+0")
echo "$output"

failures=0
expect() {  # expect WHAT EXPECTED OBSERVED
    if [ "$2" != "$3" ]; then
        printf 'FAILED: %s\n  expected: %s\n  observed: %s\n' "$1" "$2" "$3"
        failures=$((failures + 1))
    fi
}

pngs=("$out"/frame-*.png)
expect "number of PNG frames" "$frames" "${#pngs[@]}"
expect "format and size of every frame" \
    "$(printf "PNG $size\n%.0s" $(seq "$frames"))" "$("$identify" -format '%m %wx%h\n' "${pngs[@]}")"
expect "distinct pictures among the frames" \
    "$frames" "$("$identify" -format '%#\n' "${pngs[@]}" | sort -u | wc -l)"
# %T is the frame's delay in hundredths of a second: the program's 100 ms.
expect "frames of the animation and their delay" \
    "$(printf 'GIF 10\n%.0s' $(seq "$frames"))" "$("$identify" -format '%m %T\n' "$out/animation.gif")"
expect "the menu choice confirmed by the program" \
    "1. menupont kivalasztva." "$(grep -o '1\. menupont kivalasztva\.' <<<"$output" || true)"
# The upright trunk shows about 240 trunk-green pixels at this size (in
# wireframe), the trunk seen end-on about 10: the first frame must already
# show the keys' effect.
trunk_pixels=$("$convert" "$out/frame-01.png" -fill black +opaque '#00CC00' \
    -fill white -opaque '#00CC00' -format '%[fx:round(mean*w*h)]' info:)
expect "trunk seen end-on in the first frame (fewer than 50 green pixels)" \
    "yes" "$([ "$trunk_pixels" -lt 50 ] && echo yes || echo "no: $trunk_pixels")"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all checks passed"

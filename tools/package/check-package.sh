#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks the Debian package from end to end: builds it, checks that its
# dependencies name freeglut and the GL libraries, installs it with apt (which
# brings those in), runs the installed /usr/bin/glut-alap on a virtual X
# server, checks its window title and first picture, and removes the package
# again if it was not installed before.
#
# It installs into the system, so it needs root (or sudo) and is not run by
# ctest. usage: tools/package/check-package.sh [BUILD_DIR]  (default: build-package)
set -euo pipefail
cd "$(dirname "$0")/../.."

build_dir=${1:-build-package}
installed=/usr/bin/glut-alap
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo=sudo
fi

echo "== Building the package in $build_dir"
cmake -S . -B "$build_dir" -G Ninja >/dev/null
cmake --build "$build_dir" --target glut-alap glut-alap-capture
rm -rf "$build_dir/package"
cpack --config "$build_dir/CPackConfig.cmake" -B "$build_dir/package"
package=$(realpath "$build_dir"/package/glut-alap_*.deb)

echo "== Dependencies"
depends=$(dpkg-deb --field "$package" Depends)
echo "Depends: $depends"
if [[ $depends != *libglut* ]] || ! [[ $depends =~ libgl1|libopengl0|libglx0 ]]; then
    echo "FAILED: the package must depend on freeglut (libglut) and a GL library" >&2
    exit 1
fi

echo "== Installing $package"
was_installed=no
if dpkg-query -W -f='${Status}' glut-alap 2>/dev/null | grep -q "install ok installed"; then
    was_installed=yes
fi
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "$package"
if [ "$was_installed" = no ]; then
    trap '$sudo apt-get remove -y glut-alap >/dev/null' EXIT
fi

echo "== Running $installed on a virtual X server"
# The capture tool waits for a window titled exactly "GLUT Alap" that belongs
# to the process it started, and fails otherwise: that is the title check.
out="$build_dir/package/first-frame"
"$build_dir/glut-alap-capture" --program "$installed" --frames 1 --out "$out" -- -geometry 300x300
frame="$out/frame-01.png"

# Probes of the first frame, in pixels of the 300x300 window: 6 pixels per
# scene unit, the scene's origin at (150, 150), y growing downwards.
colour_at() {  # colour_at X Y: the pixel's colour as #RRGGBB
    convert "$frame" -crop "1x1+$1+$2" -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}'
}
failures=0
probe() {  # probe WHAT X Y EXPECTED
    local seen
    seen=$(colour_at "$2" "$3")
    if [ "$seen" != "$4" ]; then
        echo "FAILED: $1 at ($2, $3): expected $4, observed $seen"
        failures=$((failures + 1))
    fi
}
probe "trunk (green, below the figure)" 150 200 "#00CC00"
probe "figure body (white, beside the trunk)" 143 100 "#FFFFFF"
probe "background (black)" 50 200 "#000000"
caption_colours=$(convert "$frame" -crop 200x18+30+14 +repage -format '%k' info:)
if [ "$caption_colours" -lt 2 ]; then
    echo "FAILED: no caption near the top-left corner"
    failures=$((failures + 1))
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) of $frame failed"
    exit 1
fi
echo "The installed program opened its window and drew the first frame: package check passed"

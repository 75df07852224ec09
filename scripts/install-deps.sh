#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs, from Debian's packages, everything needed to build and run the
# program and its tests. Does nothing when all of it is already there.
set -euo pipefail

# Debian 12 and later call the freeglut headers libglut-dev; older releases freeglut3-dev.
glut_dev=libglut-dev
if ! apt-cache show libglut-dev >/dev/null 2>&1 && apt-cache show freeglut3-dev >/dev/null 2>&1; then
    glut_dev=freeglut3-dev
fi

packages=(
    build-essential cmake ninja-build  # compiler and build tools
    "$glut_dev" libgl-dev libglu1-mesa-dev  # GLUT and OpenGL headers and libraries
    libgl1-mesa-dri                    # Mesa's drivers, the software renderer among them
    libgtest-dev                       # unit and end-to-end tests
    libx11-dev libxtst-dev xvfb        # end-to-end tests: a private X server, real input events
    libpng-dev imagemagick             # the capture tool: PNG frames and the animated GIF
    libxdamage-dev gnuplot-nox         # benchmarks: frames counted from damage reports, the plot
    valgrind                           # scripts/valgrind-check.sh
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo=sudo
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"

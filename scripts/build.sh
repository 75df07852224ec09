#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Configures and builds the project in build/ (or $BUILD_DIR). Extra arguments
# go to CMake's configure step, e.g. -DGLUT_ALAP_SANITIZE=ON.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja \
    -DGLUT_ALAP_WARNINGS_AS_ERRORS="${GLUT_ALAP_WARNINGS_AS_ERRORS:-OFF}" "$@"
cmake --build "$build_dir"

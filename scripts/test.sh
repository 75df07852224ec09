#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Sets everything up, builds, and runs every test: the unit tests and the
# end-to-end tests, which start their own virtual X server (no display needed).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
scripts/build.sh
ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure

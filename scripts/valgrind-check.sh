#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs a short end-to-end scenario (start, draw, type, turn the view, toggle
# the drawing mode twice, resize, quit through the menu) with the program
# under valgrind's memcheck, on a private X server. Fails on any memcheck
# error: an invalid read or write, a use of uninitialised memory, or a block
# definitely lost. System libraries' leaks are suppressed, each with its
# reason, in tests/reliability/sanitizers/valgrind.supp.
#
#   scripts/valgrind-check.sh
#
# Builds in build/ (or $BUILD_DIR) first; use a normal build, not a sanitizer one.
# Needs valgrind (Debian package valgrind). The full report is left in
# $BUILD_DIR/valgrind-memcheck.log.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${BUILD_DIR:-build}
valgrind=$(command -v valgrind || true)
if [ -z "$valgrind" ]; then
    echo "valgrind-check: valgrind is not installed (Debian package valgrind)" >&2
    exit 2
fi
scripts/build.sh >/dev/null
if grep -q '^GLUT_ALAP_SANITIZE:BOOL=ON' "$build_dir/CMakeCache.txt"; then
    echo "valgrind-check: $build_dir is a sanitizer build; use a normal one (BUILD_DIR=...)" >&2
    exit 2
fi

log="$build_dir/valgrind-memcheck.log"
memcheck_failed=99
status=0
"$build_dir/tests/reliability/glut_alap_memcheck_scenario" \
    "$valgrind" --tool=memcheck \
    --leak-check=full --show-leak-kinds=definite --errors-for-leak-kinds=definite \
    --keep-debuginfo=yes --num-callers=40 \
    --suppressions=tests/reliability/sanitizers/valgrind.supp \
    --error-exitcode=$memcheck_failed --log-file="$log" || status=$?

grep -E 'ERROR SUMMARY|definitely lost:|suppressed:' "$log" || true
if [ "$status" -eq 0 ]; then
    echo "valgrind-check passed"
    exit 0
fi
if [ "$status" -eq "$memcheck_failed" ]; then
    echo "valgrind-check FAILED: memcheck found errors; the first of them:" >&2
    grep -E -A25 'Invalid (read|write)|uninitialised|definitely lost in' "$log" | head -80 >&2
else
    echo "valgrind-check FAILED: the scenario ended with status $status (see above and $log)" >&2
fi
exit 1

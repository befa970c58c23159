#!/usr/bin/env bash
# Runs every test of one build folder in the sandbox prefix, under a private Xvfb display.
set -euo pipefail
build=$(cd "$1" && pwd)
tools=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
bash "$tools/wine-prefix.sh"
source "$tools/wine-env.sh"
if [ "$(basename "$build")" = i686 ] && [ "$VESTREL_RUNS_32BIT" = no ]; then
    echo "run-tests: this machine's kernel runs no 32-bit programs, so Wine cannot start the 32-bit"
    echo "run-tests: build: it was built, but its tests are left out here (the 64-bit build's tests run)."
    exit 0
fi
source "$tools/with-display.sh"

start_private_display
trap stop_private_display EXIT
if ! wineserver -p 2>/dev/null; then
    echo "run-tests: a Wine program of the sandbox prefix is still running; end it (wineserver -k) and retry" >&2
    exit 1
fi
# Start Wine's services now, detached from CTest's output pipes, which they would otherwise hold open.
wine wineboot >/dev/null 2>&1 </dev/null
trap 'wineserver -k 2>/dev/null || true; stop_private_display' EXIT
# Further arguments go to CTest, for example -R cli to run some of the tests.
ctest --test-dir "$build" --output-on-failure -j2 "${@:2}"

#!/usr/bin/env bash
# Shows the control gallery (tests/helpers/gallery.cpp) under a private Xvfb display in the sandbox prefix
# and saves a picture of its window, by default as docs/images/controls.png.
# Usage: tools/gallery-screenshot.sh [build folder] [output.png]
set -euo pipefail
tools=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(dirname "$tools")
build=$(cd "${1:-$repo/build/i686}" && pwd)
out=$(realpath "${2:-$repo/docs/images/controls.png}")
gallery="$build/tests-bin/gallery.exe"
[ -f "$gallery" ] || { echo "gallery-screenshot: build first ($gallery is missing)" >&2; exit 1; }

bash "$tools/wine-prefix.sh"
source "$tools/wine-env.sh"
source "$tools/with-display.sh"
start_private_display
trap 'wineserver -k 2>/dev/null || true; stop_private_display' EXIT
wine "$gallery" >/dev/null 2>&1 &

# The title changes to "Vestrel controls" once the gallery has built, painted and hovered everything.
window=$(wait_for_window "Vestrel controls")
save_window_picture "$window" "$out"
echo "gallery-screenshot: saved $out"

#!/usr/bin/env bash
# Starts Vestrel in the sandbox prefix: on the user's display when there is one, otherwise
# under a private Xvfb, where it saves a screenshot of the first window and ends the program.
set -euo pipefail
exe=$(realpath "$1")
tools=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
bash "$tools/wine-prefix.sh"
source "$tools/wine-env.sh"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    exec wine "$exe"
fi

source "$tools/with-display.sh"
start_private_display
trap 'wineserver -k 2>/dev/null || true; stop_private_display' EXIT
wine "$exe" &
deadline=$((SECONDS + 60))
until xdotool search --onlyvisible --name '^Vestrel$' >/dev/null 2>&1; do
    [ $SECONDS -lt $deadline ] || { echo "run: no Vestrel window appeared" >&2; exit 1; }
    sleep 0.5
done
sleep 2 # let the window finish painting before the picture is taken
shot="$VESTREL_BUILD/screenshot-run.png"
xwd -root -silent | convert xwd:- "png:$shot"
echo "run: no display, so Vestrel ran under Xvfb; screenshot saved as $shot"

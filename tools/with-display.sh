# Sourced: starts a private Xvfb display and keeps the wineserver up until the caller exits.
start_private_display() {
    local n
    for n in $(seq 90 120); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
    done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    local deadline=$((SECONDS + 20))
    until xdpyinfo >/dev/null 2>&1; do
        [ $SECONDS -lt $deadline ] || { echo "Xvfb did not start" >&2; return 1; }
        sleep 0.2
    done
}

stop_private_display() {
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null
    XVFB_PID=""
}

# Prints the id of the first visible window with exactly this title, waiting up to 60 seconds for it.
wait_for_window() {
    local window deadline=$((SECONDS + 60))
    until window=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1) && [ -n "$window" ]; do
        [ $SECONDS -lt $deadline ] || { echo "no window titled '$1' appeared" >&2; return 1; }
        sleep 0.2
    done
    echo "$window"
}

# Saves the screen's picture of one window as a PNG.
save_window_picture() {
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$1")"
    xwd -root -silent | convert xwd:- -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "png:$2"
}

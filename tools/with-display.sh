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

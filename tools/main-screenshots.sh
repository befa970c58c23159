#!/usr/bin/env bash
# Shows the main window with the shipped plug-ins and default selection under a private Xvfb display in the
# sandbox prefix and saves each page as docs/images/main-ie.png, main-windows.png, main-applications.png.
# The program runs from a copy in the sandbox and is ended without erasing anything.
# VESTREL_LOGPIXELS=144 or 192 shows it at 150 % or 200 % (the prefix's DPI, put back afterwards) and adds
# -150 or -200 to the file names.
# Usage: tools/main-screenshots.sh [build folder] [output folder]
set -euo pipefail
tools=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(dirname "$tools")
build=$(cd "${1:-$repo/build/i686}" && pwd)
out=$(realpath "${2:-$repo/docs/images}")
[ -f "$build/Vestrel/Vestrel.exe" ] || { echo "main-screenshots: build first" >&2; exit 1; }

bash "$tools/wine-prefix.sh"
source "$tools/wine-env.sh"
copy="$VESTREL_SANDBOX/main-screenshots"
rm -rf "$copy"
cp -r "$build/Vestrel" "$copy"
source "$tools/with-display.sh"
start_private_display
key='HKCU\Software\Vestrel\Setting'
desktop='HKCU\Control Panel\Desktop'
dpi=${VESTREL_LOGPIXELS:-96}
suffix=$([ "$dpi" = 96 ] && echo "" || echo "-$((dpi * 100 / 96))")
trap 'wine reg delete "$key" /f >/dev/null 2>&1 || true
      wine reg add "$desktop" /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1 || true
      wineserver -k 2>/dev/null || true; stop_private_display; rm -rf "$copy"' EXIT
wine reg add "$desktop" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
wineserver -k 2>/dev/null || true # read again at the next start
scale() { echo $(($1 * dpi / 96)); }

# Statistics as after a few runs, so the lines under the lists show what they are for.
wine reg delete "$key" /f >/dev/null 2>&1 || true
wine reg add "$key" /v 'Erased File Num' /t REG_DWORD /d 2311 /f >/dev/null 2>&1
wine reg add "$key" /v 'Erased File Size' /t REG_DWORD /d 85166080 /f >/dev/null 2>&1
wine reg add "$key" /v 'Erased Register Num' /t REG_DWORD /d 57 /f >/dev/null 2>&1
wine reg add "$key" /v 'Last Erased Time' /d '09:41, Dec/07/26' /f >/dev/null 2>&1

wine "$copy/Vestrel.exe" >/dev/null 2>&1 &
window=$(wait_for_window Vestrel)
eval "$(xdotool getwindowgeometry --shell "$window")"

shoot() { # page button centre x, file name
    if [ "$1" -gt 0 ]; then
        xdotool mousemove --sync $((X + $(scale "$1"))) $((Y + $(scale 68))) click 1
    fi
    xdotool mousemove --sync 5 1000 # off the window: no hover face, no tooltip
    sleep 1.5
    save_window_picture "$window" "$out/${2%.png}$suffix.png"
    echo "main-screenshots: saved $out/${2%.png}$suffix.png"
}
shoot 0 main-ie.png
shoot 229 main-windows.png
shoot 309 main-applications.png

#!/usr/bin/env bash
# Creates the project's Wine prefix once and (re)applies its sandbox drive map on every call:
#   C: the prefix's own drive        S: the sandbox folder
#   P: the 32-bit program folder     T: the 32-bit test programs
#   Q: the 64-bit program folder     U: the 64-bit test programs
# Z: (the Linux root) and every other drive are removed, so nothing outside these folders is reachable.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

mkdir -p "$HOME" "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME"
mkdir -p "$VESTREL_BUILD"/{i686,x86_64}/{Vestrel,tests-bin}

if [ ! -f "$WINEPREFIX/.vestrel-ready" ]; then
    rm -rf "$WINEPREFIX"
    echo "wine-prefix: creating $WINEPREFIX"
    wineboot --init >/dev/null 2>&1
    wineserver -w
    # Wine links the profile's Desktop, Documents... to $HOME; make them plain folders of the prefix.
    for link in "$WINEPREFIX"/drive_c/users/*/*; do
        if [ -L "$link" ]; then rm "$link" && mkdir "$link"; fi
    done
    # Xvfb has no window manager: let Wine place its windows itself, at the sizes the program asks for.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.vestrel-ready"
fi

devices="$WINEPREFIX/dosdevices"
for link in "$devices"/*; do
    name=$(basename "$link")
    case "$name" in
        c:) ;;
        [a-z]:|[a-z]::) rm -f "$link" ;;
    esac
done
ln -sfn "$VESTREL_SANDBOX" "$devices/s:"
ln -sfn "$VESTREL_BUILD/i686/Vestrel" "$devices/p:"
ln -sfn "$VESTREL_BUILD/i686/tests-bin" "$devices/t:"
ln -sfn "$VESTREL_BUILD/x86_64/Vestrel" "$devices/q:"
ln -sfn "$VESTREL_BUILD/x86_64/tests-bin" "$devices/u:"

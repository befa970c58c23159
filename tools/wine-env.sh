# Sourced by every script that starts Wine: points Wine at the project's own prefix and sandbox,
# never at this machine's home folder or its trash.
# Expects VESTREL_BUILD (the build folder, absolute); defaults to the repository's build/.
: "${VESTREL_BUILD:=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build}"
export VESTREL_BUILD
export WINEPREFIX="$VESTREL_BUILD/wineprefix"
export VESTREL_SANDBOX="$VESTREL_BUILD/sandbox"
# Keep access to the user's X display after HOME moves into the sandbox.
if [ -z "${XAUTHORITY:-}" ] && [ -f "${HOME:-}/.Xauthority" ]; then export XAUTHORITY="$HOME/.Xauthority"; fi
export HOME="$VESTREL_SANDBOX/home"
export XDG_DATA_HOME="$HOME/.local/share"
export XDG_CONFIG_HOME="$HOME/.config"
export XDG_CACHE_HOME="$HOME/.cache"
export WINEARCH=win64
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installers, no menu entries or file associations on the host.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Some kernels run no 32-bit Linux programs, and Debian's "wine" starts Wine's 32-bit loader whenever it
# is installed. There, start the 64-bit loader directly; 32-bit Windows programs cannot run at all then.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    export VESTREL_RUNS_32BIT=yes
else
    export VESTREL_RUNS_32BIT=no
    if [ -x /usr/lib/wine/wine64 ]; then
        shim="$VESTREL_BUILD/wine64-only"
        mkdir -p "$shim"
        for name in wine wine-stable; do
            printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$shim/$name"
            chmod +x "$shim/$name"
        done
        case ":$PATH:" in *":$shim:"*) ;; *) export PATH="$shim:$PATH" ;; esac
        export WINELOADER=/usr/lib/wine/wine64
    fi
fi

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

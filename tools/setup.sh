#!/usr/bin/env bash
# Installs, from Debian's archive, every tool the build, the tests and the demo run need, then fetches
# SQLite's source (tools/fetch-sqlite.sh).
# Quiet and quick when everything is already there: apt is not called at all then.
set -euo pipefail

packages=(
    cmake ninja-build make
    g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
    binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
    wine wine32:i386 wine64
    xvfb x11-apps x11-utils imagemagick xdotool
    googletest python3 python3-pil fonts-inter fonts-dejavu-core fonts-liberation2
    fp-utils nsis wixl msitools osslsigncode zip bleachbit time
)

# npm fetches SQLite's source (tools/fetch-sqlite.sh); some machines have it from Node.js already.
command -v npm >/dev/null || packages+=(npm)

here=$(dirname "${BASH_SOURCE[0]}")
missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
    [ "$status" = installed ] || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    exec bash "$here/fetch-sqlite.sh"
fi

sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
export DEBIAN_FRONTEND=noninteractive
log=$(mktemp)
trap 'rm -f "$log"' EXIT

give_up() {
    echo "setup: $1" >&2
    echo "setup: check the network and the apt sources (/etc/apt/sources.list*), then run the same command again." >&2
    exit 1
}

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
fi

echo "setup: refreshing Debian's package lists (once; about half a minute)"
if ! $sudo apt-get update -q >"$log" 2>&1; then
    # A mirror in mid-sync serves one list that does not match its release file. The other lists are
    # still good, so go on with them; the install below copes with the one left stale or missing.
    failed=$(grep -o 'Failed to fetch [^ ]*' "$log" | sed 's/^Failed to fetch //' || true)
    if [ -z "$failed" ] || ! grep -q '^Get:\|^Hit:' "$log"; then
        cat "$log" >&2
        give_up "could not refresh any package list."
    fi
    echo "setup: these package lists could not be refreshed, going on without them:"
    echo "$failed" | sed 's/^/setup:   /'
fi

install() {
    $sudo apt-get install -y -q --no-install-recommends "$@" "${missing[@]}" >"$log" 2>&1
}

count="${#missing[@]} packages"; [ ${#missing[@]} -eq 1 ] && count="1 package"
echo "setup: installing $count (${missing[*]}); a few minutes on a new machine"
if ! install; then
    # With one architecture's update list missing, apt pairs an updated amd64 library with an i386
    # twin it cannot see. The release's own suite has both at the same version.
    suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    if [ -z "$suite" ] || grep -q 'Unable to locate package\|has no installation candidate' "$log"; then
        cat "$log" >&2
        give_up "apt could not install the packages above (its message is above)."
    fi
    echo "setup: apt found no consistent set; installing again from the $suite release itself"
    if ! install -t "$suite"; then
        cat "$log" >&2
        give_up "apt could not install the packages above (its message is above)."
    fi
fi
echo "setup: installed"
bash "$here/fetch-sqlite.sh"

#!/usr/bin/env bash
# Installs, from Debian's archive, every tool the build, the tests and the demo run need, then fetches
# SQLite's source (tools/fetch-sqlite.sh).
# Quiet and quick when everything is already there.
set -euo pipefail

packages=(
    cmake ninja-build make
    g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
    binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
    wine wine32:i386 wine64
    xvfb x11-apps x11-utils imagemagick xdotool
    googletest python3 python3-pil fonts-inter fonts-dejavu-core fonts-liberation2
    fp-utils nsis zip bleachbit time
)

# npm fetches SQLite's source (tools/fetch-sqlite.sh); some machines have it from Node.js already.
command -v npm >/dev/null || packages+=(npm)

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
    [ "$status" = installed ] || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    exec bash "$(dirname "${BASH_SOURCE[0]}")/fetch-sqlite.sh"
fi

sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
echo "setup: installing ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
bash "$(dirname "${BASH_SOURCE[0]}")/fetch-sqlite.sh"

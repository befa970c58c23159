#!/usr/bin/env bash
# A small ext4 image mounted through a loop device (without discard, so freed blocks keep their bytes) as a
# drive of the sandbox prefix, for tests and benchmarks that must read back what reached the disk:
#   loop-drive.sh mount IMAGE LETTER [SIZE_MB]   makes IMAGE (SIZE_MB, default 64) when missing, mounts it,
#                                                maps LETTER: to it and prints the mount point
#   loop-drive.sh unmount IMAGE LETTER           removes LETTER: and unmounts IMAGE (its bytes stay)
# Needs root. Where mounting is refused it says why on stderr and ends with 77, CTest's skip code.
# Never maps anything but the image: the drive is the image's file system alone.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

usage() {
    echo "usage: loop-drive.sh mount IMAGE LETTER [SIZE_MB] | unmount IMAGE LETTER" >&2
    exit 2
}
skip() {
    echo "loop-drive: $*; skipped" >&2
    exit 77
}

[ $# -ge 3 ] || usage
action=$1
image=$(realpath -m "$2")
letter=$(echo "$3" | tr 'A-Z' 'a-z')
case "$letter" in [d-z]) ;; *) echo "loop-drive: drive letter must be one of D to Z" >&2; exit 2 ;; esac
case "$letter" in s | p | q | t | u) echo "loop-drive: $letter: is a sandbox drive already" >&2; exit 2 ;; esac
mountpoint_dir="$VESTREL_BUILD/loop-drives/$letter"
link="$WINEPREFIX/dosdevices/$letter:"

case "$action" in
mount)
    size=${4:-64}
    [ "$(id -u)" = 0 ] || skip "mounting a loop image needs root"
    mkdir -p "$(dirname "$image")" "$mountpoint_dir"
    if mountpoint -q "$mountpoint_dir"; then umount "$mountpoint_dir"; fi
    if [ ! -f "$image" ]; then
        truncate -s "${size}M" "$image"
        mkfs.ext4 -q -F -E nodiscard "$image" >/dev/null 2>&1 || skip "mkfs.ext4 could not make $image"
    fi
    if ! error=$(mount -o loop,nodiscard "$image" "$mountpoint_dir" 2>&1); then
        skip "mount -o loop,nodiscard refused: $error"
    fi
    # Wine's programs run as this user and write where the sandbox's owner may.
    chmod 0777 "$mountpoint_dir"
    [ -d "$WINEPREFIX/dosdevices" ] || { umount "$mountpoint_dir"; echo "loop-drive: no prefix at $WINEPREFIX" >&2; exit 1; }
    ln -sfn "$mountpoint_dir" "$link"
    echo "$mountpoint_dir"
    ;;
unmount)
    rm -f "$link"
    if mountpoint -q "$mountpoint_dir"; then
        sync
        umount "$mountpoint_dir"
    fi
    ;;
*) usage ;;
esac

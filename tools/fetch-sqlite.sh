#!/usr/bin/env bash
# Puts SQLite's amalgamation (sqlite3.c, sqlite3.h) into deps/sqlite3, from the npm package that ships
# it, checked against a pinned checksum. Quick and silent when the right files are already there.
set -euo pipefail

package=better-sqlite3@12.11.1
sha256=ebf0ed75a7a59dbcb3b24bbd014ef49d9f15bc328e4adcbf516f2a8fadfa2835
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
target=$root/deps/sqlite3
stamp=$target/.source

if [ -f "$target/sqlite3.c" ] && [ -f "$target/sqlite3.h" ] && [ "$(cat "$stamp" 2>/dev/null)" = "$package $sha256" ]; then
    exit 0
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
echo "fetch-sqlite: fetching $package"
(cd "$work" && npm pack --silent "$package" >/dev/null)
tarball=$(ls "$work"/*.tgz)
actual=$(sha256sum "$tarball" | cut -d' ' -f1)
if [ "$actual" != "$sha256" ]; then
    echo "fetch-sqlite: $package has checksum $actual, expected $sha256" >&2
    exit 1
fi
tar -xzf "$tarball" -C "$work" package/deps/sqlite3/sqlite3.c package/deps/sqlite3/sqlite3.h
# Replaced whole, so an interrupted run never leaves half a source behind.
rm -rf "$target.new"
mkdir -p "$target.new"
mv "$work"/package/deps/sqlite3/sqlite3.[ch] "$target.new"/
echo "$package $sha256" >"$target.new/.source"
rm -rf "$target"
mv "$target.new" "$target"

#!/usr/bin/env bash
# Builds both DLLs, their programs and the release zip twice, from two copies of the source in
# different folders, and compares every output byte for byte.
set -euo pipefail
src=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for copy in first second-copy; do
    mkdir -p "$work/$copy"
    tar -C "$src" --exclude=./build --exclude=./dist --exclude=./out --exclude=./.git -cf - . | tar -C "$work/$copy" -xf -
    for arch in i686 x86_64; do
        (cd "$work/$copy" &&
            cmake -S . -B build/$arch -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-$arch.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null &&
            cmake --build build/$arch -j"$(nproc)" --target tolbry standin-player tolbry-host >/dev/null)
    done
    (cd "$work/$copy" && TOLBRY_SKIP_BUILD=1 script/release >/dev/null)
done

status=0
for f in dist/tolbry.dll dist/tolbry-host.exe dist/standin-player.exe dist/x64/tolbry.dll dist/x64/tolbry-host.exe \
    out/tolbry-2.54-win32.zip out/SHA256SUMS; do
    if cmp -s "$work/first/$f" "$work/second-copy/$f"; then
        echo "same: $f ($(stat -c %s "$work/first/$f") bytes)"
    else
        echo "DIFFERENT: $f"
        status=1
    fi
done
exit $status

#!/usr/bin/env bash
# Builds both DLLs, their programs and the release zip from a copy of the source in another folder,
# and compares every output byte for byte with the source tree's own build (build/mingw,
# build/mingw64 and dist/, which the tests have just built) and a release zip made from it.
set -euo pipefail
src=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

copy=$work/second-copy
mkdir -p "$copy"
tar -C "$src" --exclude=./build --exclude=./dist --exclude=./out --exclude=./.git -cf - . | tar -C "$copy" -xf -
for arch in i686 x86_64; do
    dir=build/mingw
    [ $arch = x86_64 ] && dir=build/mingw64
    # Only the 32-bit stand-in player ships.
    targets="tolbry tolbry-host"
    [ $arch = i686 ] && targets="$targets standin-player"
    (cd "$copy" &&
        cmake -S . -B $dir -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-$arch.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null &&
        cmake --build $dir -j"$(nproc)" --target $targets >/dev/null)
done
(cd "$copy" && TOLBRY_SKIP_BUILD=1 script/release >/dev/null)
(cd "$src" && TOLBRY_SKIP_BUILD=1 TOLBRY_OUT="$work/out" script/release >/dev/null)

status=0
for f in dist/tolbry.dll dist/tolbry-host.exe dist/standin-player.exe dist/x64/tolbry.dll dist/x64/tolbry-host.exe \
    out/tolbry-2.54-win32.zip out/SHA256SUMS; do
    reference=$src/$f
    [ "${f%%/*}" = out ] && reference=$work/$f
    if cmp -s "$reference" "$copy/$f"; then
        echo "same: $f ($(stat -c %s "$copy/$f") bytes)"
    else
        echo "DIFFERENT: $f"
        status=1
    fi
done
exit $status

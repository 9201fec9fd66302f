#!/usr/bin/env bash
# Builds the release a second time, in a fresh build folder from the same sources, packs
# it, and compares the archive byte for byte with the one packed from BUILD_DIR: no build
# time, build path or file order may leak into it.
# Usage: release_reproducible_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1 source=$2
work=$(mktemp -d "$build/tests/scratch/reproducible-XXXXXX")
trap 'rm -rf "$work"' EXIT

(cd "$build" && cpack -G ZIP -B "$work/first" >/dev/null)
{
  cmake -S "$source" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$source/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DTORVEX_TESTS=OFF -DTORVEX_BENCH=OFF &&
    cmake --build "$work/build" --target torvex_release_files -j2 &&
    (cd "$work/build" && cpack -G ZIP -B "$work/second")
} >"$work/second.log" 2>&1 || { cat "$work/second.log"; echo "FAILED: the second build"; exit 1; }

first=$(ls "$work"/first/torvex-*-win32.zip)
second=$(ls "$work"/second/torvex-*-win32.zip)
if ! cmp -s "$first" "$second"; then
  echo "FAILED: two builds of the same sources give different archives"
  for pack in first second; do
    mkdir "$work/$pack/unpacked"
    unzip -q "$work/$pack"/torvex-*-win32.zip -d "$work/$pack/unpacked"
  done
  diff -r "$work/first/unpacked" "$work/second/unpacked" || true
  zipinfo -l "$first" >"$work/first.list"
  zipinfo -l "$second" >"$work/second.list"
  diff "$work/first.list" "$work/second.list" || true
  exit 1
fi
echo "ok: $(basename "$first"), $(stat -c %s "$first") bytes, sha256 $(sha256sum "$first" | cut -c1-64), the same from both builds"
echo "1 passed, 0 failed"

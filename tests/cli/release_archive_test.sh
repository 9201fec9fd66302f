#!/usr/bin/env bash
# Packs the release archive, unpacks it into a fresh folder and runs `torvexctl info`
# from there under Wine, as someone who received the archive would.
# Usage: release_archive_test.sh BUILD_DIR WINE_RUN PREFIX
set -euo pipefail
build=$1 wine_run=$2 prefix=$3
work=$(mktemp -d "$build/tests/scratch/release-XXXXXX")
trap 'rm -rf "$work"' EXIT

(cd "$build" && cpack -G ZIP -B "$work/pack" >/dev/null)
archive=$(ls "$work"/pack/torvex-*-win32.zip)
unzip -q "$archive" -d "$work/unpacked"
root=$(ls -d "$work"/unpacked/torvex-*)

for file in torvex.dll torvex.def include/torvex.h torvexctl.exe torvex.ini README.md simulator/quelvane.dll simulator/README.md; do
  [ -f "$root/$file" ] || { echo "missing from the archive: $file"; exit 1; }
done

output=$(cd "$root" && "$wine_run" "$prefix" torvexctl.exe info | tr -d '\r')
echo "$output"
grep -q "board reference: SIM-BOARD-0001" <<<"$output"
grep -q "no application in flash" <<<"$output"
[ -f "$root/Torvex.log" ] || { echo "no Torvex.log beside the unpacked module"; exit 1; }
echo "1 passed, 0 failed"

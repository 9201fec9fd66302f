#!/usr/bin/env bash
# Packs the release archive, unpacks it into an empty folder and uses it as an integrator
# would, with nothing but its contents (and the compilers an integrator brings):
#   - its layout, its checksums (every file listed, every line right), every link and image
#     of its documents, and documents free of the project's own folders and tests;
#   - the quick starts of the torvexctl guide and of the integrator's guide, run as written
#     from bin/ under Wine against the shipped simulator, print what the guides show;
#   - examples/ built with MinGW through find_package(torvex) and run under Wine, printing
#     what the integrator's guide shows;
#   - a host compiled for the MSVC target and linked against lib/torvex.lib with lld-link,
#     run under Wine.
# Usage: release_archive_test.sh BUILD_DIR WINE_RUN PREFIX SOURCE_DIR
set -euo pipefail
build=$1 wine_run=$2 prefix=$3 source=$4
work=$(mktemp -d "$build/tests/scratch/release-XXXXXX")
trap 'rm -rf "$work"' EXIT
passed=0
pass() { echo "ok: $1"; passed=$((passed + 1)); }
fail() { echo "FAILED: $1"; exit 1; }
run() { (cd "$root/bin" && "$wine_run" "$prefix" "$@") | tr -d '\r'; }

(cd "$build" && cpack -G ZIP -B "$work/pack" >/dev/null)
archive=$(ls "$work"/pack/torvex-*-win32.zip)
mkdir "$work/unpacked"
unzip -q "$archive" -d "$work/unpacked"
root=$(ls -d "$work"/unpacked/torvex-*)

# Layout.
for file in README.md CHANGELOG.md SHA256SUMS bin/torvex.dll bin/torvexctl.exe bin/torvexgui.exe bin/torvex.ini \
    include/torvex.h include/torvex_version.h lib/libtorvex.dll.a lib/torvex.lib lib/torvex.def \
    lib/cmake/torvex/torvexConfig.cmake lib/cmake/torvex/torvexConfigVersion.cmake \
    examples/CMakeLists.txt examples/update_board.c \
    simulator/quelvane.dll simulator/README.md simulator/sample-application.bin \
    docs/torvexctl.md docs/torvexgui.md docs/manifest.md docs/installing.md docs/bad-input.md \
    docs/images/torvexgui.png docs/images/torvexgui-outcome.png; do
  [ -f "$root/$file" ] || fail "missing from the archive: $file"
done
pass "layout"

# Checksums: every line verifies, and every file but SHA256SUMS has exactly one line.
(cd "$root" && sha256sum --check --strict --quiet SHA256SUMS) || fail "a line of SHA256SUMS does not verify"
listed=$(cut -c67- "$root/SHA256SUMS" | sort)
present=$(cd "$root" && find . -type f ! -name SHA256SUMS | sed 's|^\./||' | sort)
[ "$listed" = "$present" ] || fail "SHA256SUMS does not list exactly the archive's files: $(diff <(echo "$listed") <(echo "$present") || true)"
pass "SHA256SUMS: $(wc -l <"$root/SHA256SUMS") files"

# Every relative link and image of every shipped document leads to a file of the
# archive, taken from the document's own folder.
documents=$(cd "$root" && find . -name '*.md' | sed 's|^\./||' | sort)
links=0
for document in $documents; do
  while read -r link; do
    link=${link%%#*}
    [ -n "$link" ] || continue
    [ -e "$root/$(dirname "$document")/$link" ] || fail "$document links to $link, which the archive lacks"
    links=$((links + 1))
  done < <(grep -o '](\([^)]*\))' "$root/$document" | sed 's/^](//; s/)$//' | grep -v ':' || true)
done
[ "$links" -ge 10 ] || fail "only $links links found in the shipped documents"
pass "$links links and images of $(wc -w <<<"$documents") documents"

# The documents are written for a user of the archive: no build folders, sources or test
# programs of the project (the changelog, a history of the project, aside).
for document in $documents; do
  [ "$document" != CHANGELOG.md ] || continue
  if grep -nE '(^|[^A-Za-z0-9_.-])(src|tests|build|scripts|sim|fuzz|bench)/|_tests\b|CMAKE_BINARY_DIR|\.cpp\b' \
    "$root/$document"; then
    fail "$document speaks of the project's own folders, sources or tests"
  fi
done
pass "documents free of the project's folders, sources and tests"

# The header as hosts compile it: strict C89, and C++ passing a string literal as the path.
i686-w64-mingw32-gcc -x c -std=c89 -pedantic-errors -Wall -Wextra -Werror -fsyntax-only \
  -I"$root/include" - <<<'#include "torvex.h"' || fail "torvex.h is not strict C89"
i686-w64-mingw32-g++ -x c++ -std=c++11 -pedantic-errors -Wall -Wextra -Werror -fsyntax-only -I"$root/include" - \
  <<<'#include "torvex.h"
int download() { return _TelechargeComposant_COM("application.bin"); }' || fail "C++ cannot pass a string literal to the download"
pass "header in C89 and C++"

# The guides' commands as written, from bin/, each guide starting on an empty board.
guide() { python3 "$source/tests/cli/guide_commands.py" "$@"; }
empty_board() { rm -f "$root"/simulator/quelvane-sim.*; }
for section in "docs/torvexctl.md:Quick start with the simulated board" "README.md:Try it in one minute"; do
  empty_board
  guide run "$root/${section%%:*}" "${section#*:}" "$root/bin" "$wine_run" "$prefix" ||
    fail "${section%%:*}: the commands of \"${section#*:}\" do not work as written from the release"
done
[ -f "$root/bin/Torvex.log" ] || fail "no Torvex.log beside the unpacked module"
pass "the quick starts of the torvexctl guide and the integrator's guide, as written, from bin/"

# The example, built with MinGW through the CMake package.
cmake -S "$root/examples" -B "$work/example" -DCMAKE_TOOLCHAIN_FILE="$source/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH="$root" -DCMAKE_C_FLAGS="-Wall -Wextra -Werror" \
  >"$work/example.log" 2>&1 &&
  cmake --build "$work/example" >>"$work/example.log" 2>&1 || { cat "$work/example.log"; fail "examples/ does not build"; }
empty_board
set +e
output=$(run "$work/example/update_board.exe" '..\simulator\sample-application.bin')
status=$?
set -e
echo "$output"
expected=$(guide shown "$root/README.md" "Try it in one minute" '..\example-build\update_board.exe')
[ "$output" = "$expected" ] || fail "the example's output differs from what the integrator's guide shows: $expected"
[ "$status" -eq 0 ] || fail "the example exited with $status"
# A library's own success value may be negative: the example takes it as the acceptance it is.
empty_board
printf '[command.30]\nresult = -5\n' >"$root/simulator/quelvane-sim.ini"
output=$(run "$work/example/update_board.exe" '..\simulator\sample-application.bin') ||
  fail "the example took a download the library accepted with -5 for a failure: $output"
grep -qx "download: accepted, application started" <<<"$output" || fail "the example on a result of -5: $output"
rm "$root/simulator/quelvane-sim.ini"
pass "examples/ through find_package(torvex), an acceptance of -5 included"

# A host compiled for the MSVC target, linked with lld-link against lib/torvex.lib. The
# three system calls it makes come from an import library made here, as no SDK is assumed.
printf 'LIBRARY kernel32.dll\nEXPORTS\n    GetStdHandle@4\n    WriteFile@20\n    ExitProcess@4\n' >"$work/kernel32.def"
llvm-dlltool -m i386 -k -d "$work/kernel32.def" -l "$work/kernel32.lib"
clang --target=i686-pc-windows-msvc -O1 -Wall -Werror -I"$root/include" \
  -c "$source/tests/cli/release_msvc_host.c" -o "$work/msvc_host.obj"
lld-link /nologo /nodefaultlib /entry:host_entry /subsystem:console "$work/msvc_host.obj" \
  "$root/lib/torvex.lib" "$work/kernel32.lib" /out:"$work/msvc_host.exe"
set +e
output=$(run "$work/msvc_host.exe")
status=$?
set -e
echo "$output"
[ "$status" -eq 0 ] || fail "the host linked against torvex.lib exited with $status"
grep -qx "_GetVersionComposant_COM = 1, first field TORVEX-SAMPLE1" <<<"$output" ||
  fail "the host linked against torvex.lib did not read the banner back"
pass "host linked with lld-link against torvex.lib"

echo "$passed passed, 0 failed"

#!/usr/bin/env bash
# The per-user installer as a technician meets it, under Wine in a fresh prefix:
#   - `cpack` makes the archive and torvex-X.Y.Z-win32.msi side by side;
#   - msiexec /i /qn installs into %LOCALAPPDATA%\Programs\torvex, adds bin\ to the
#     user's PATH (after what was there), and puts the window in the Start menu;
#   - torvexctl, found through PATH from another folder, reads and updates the simulated
#     board, leaving Torvex.log and the history beside the module;
#   - a package of the next version (the same files) replaces it, keeps torvex.ini as the
#     user left it, and an older package is then refused with words that say what to do;
#   - msiexec /x removes programs, menu entry, PATH entry and registration, and keeps what
#     the station wrote (docs/installing.md): Torvex.log, the history, torvex.ini,
#     trusted-keys\, torvex-board.lock and the operator's name, and that document's fresh
#     start then leaves nothing;
#   - the simulator is optional (ADDLOCAL=Programs leaves it out).
# Usage: release_installer_test.sh BUILD_DIR WINE_RUN SOURCE_DIR
set -euo pipefail
export LC_ALL=C.UTF-8 LANG=C.UTF-8  # Wine's output in a fixed locale, whatever the caller's
build=$1 wine_run=$2 source=$3
work=$(mktemp -d "$build/tests/scratch/installer-XXXXXX")
prefix=$work/prefix
# The prefix's server ends with the test; it serves only this test's prefix.
trap 'WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
passed=0
pass() { echo "ok: $1"; passed=$((passed + 1)); }
fail() { echo "FAILED: $1"; exit 1; }
win() { "$wine_run" "$prefix" "$@" </dev/null | tr -d '\r'; }
msiexec() { "$wine_run" "$prefix" msiexec "$@" /qn </dev/null >/dev/null 2>&1; }
# Everything Windows Installer registered for torvex, in either hive.
registered() {
  for hive in HKCU HKLM; do
    win reg query "$hive\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall" /s 2>/dev/null || true
  done | awk '/^HKEY/ {key = $0} /DisplayName +REG_SZ +torvex$/ {print key}' | sort -u
}
registered_versions() {
  local key
  while read -r key; do
    [ -z "$key" ] || win reg query "$key" /v DisplayVersion | awk '/DisplayVersion/ {print $3}'
  done < <(registered)
}
# The user's PATH entries, empty ones left out: Wine's msi takes an entry out without its
# separator, so an upgrade (old entry out, new one in) leaves "C:\tools;;C:\...\bin\".
user_path() {
  win reg query 'HKCU\Environment' /v PATH 2>/dev/null | sed -n 's/^ *PATH *REG_[A-Z_]* *//p' |
    tr ';' '\n' | sed '/^$/d' | paste -sd ';'
}

(cd "$build" && cpack -B "$work/pack" >/dev/null)
msi=$(ls "$work"/pack/torvex-*-win32.msi)
ls "$work"/pack/torvex-*-win32.zip >/dev/null || fail "cpack made no archive beside the installer"
version=$(basename "$msi" | sed 's/^torvex-\(.*\)-win32\.msi$/\1/')
IFS=. read -r major minor patch <<<"$version"
next=$major.$minor.$((patch + 1))
# The next version, from the archive's files through the same script cpack ran.
mkdir "$work/unpacked"
unzip -q "$work"/pack/torvex-*-win32.zip -d "$work/unpacked"
cmake -D TORVEX_MSI_STAGE="$(ls -d "$work"/unpacked/torvex-*)" -D TORVEX_MSI_VERSION="$next" \
  -D TORVEX_MSI_OUTPUT="$work/torvex-$next-win32.msi" -P "$source/cmake/release/make_installer.cmake" ||
  fail "the installer of version $next could not be made"
pass "cpack made $(basename "$msi") beside the archive; $next made from the same files"

# A user who already has a PATH entry of their own.
win reg add 'HKCU\Environment' /v PATH /t REG_SZ /d 'C:\tools' /f >/dev/null
local_appdata=$(win cmd /c 'echo %LOCALAPPDATA%')
home=$(win winepath -u "$local_appdata\\Programs\\torvex")
home=${home%/}
menu_folder=$(win winepath -u "$(win cmd /c 'echo %APPDATA%')\\Microsoft\\Windows\\Start Menu\\Programs\\torvex")
menu_folder=${menu_folder%/}
bin_path="$local_appdata\\Programs\\torvex\\bin\\"
programs=(bin/torvex.dll bin/torvexctl.exe bin/torvexgui.exe simulator/quelvane.dll simulator/README.md
  simulator/sample-application.bin docs/torvexgui.md docs/torvexctl.md docs/manifest.md docs/installing.md
  docs/images/torvexgui.png docs/images/torvexgui-outcome.png)

msiexec /i "$msi" || fail "msiexec /i $(basename "$msi") failed"
for file in "${programs[@]}" bin/torvex.ini; do
  [ -f "$home/$file" ] || fail "not installed: $file"
done
shortcut=$(ls "$menu_folder"/*.lnk 2>/dev/null) || fail "no Start-menu entry in $menu_folder"
tr -d '\0' <"$shortcut" | grep -q 'torvexgui\.exe' || fail "the Start-menu entry does not start torvexgui.exe"
[ "$(user_path)" = "C:\\tools;$bin_path" ] || fail "user PATH after install: '$(user_path)'"
[ "$(registered_versions)" = "$version" ] || fail "registered versions after install: $(registered_versions)"
pass "installed into $local_appdata\\Programs\\torvex, PATH and Start menu ($(basename "$shortcut"))"

# torvexctl by its name alone, from a folder of its own: PATH finds it, and torvex.ini's
# ..\simulator finds the installed simulator from bin\.
mkdir "$work/elsewhere"
output=$(cd "$work/elsewhere" && win cmd /c torvexctl info)
echo "$output"
grep -qx "board reference: SIM-BOARD-0001" <<<"$output" || fail "installed torvexctl info: no reference"
output=$(cd "$work/elsewhere" && win cmd /c torvexctl download "$local_appdata\\Programs\\torvex\\simulator\\sample-application.bin")
grep -q "^result: accepted" <<<"$output" || { echo "$output"; fail "installed torvexctl download"; }
for file in Torvex.log torvex-history.jsonl; do
  [ -s "$home/bin/$file" ] || fail "no $file beside the installed module"
done
pass "installed torvexctl found through PATH: info and download against the installed simulator"

printf '; kept by the user\r\n' >>"$home/bin/torvex.ini"
cp "$home/bin/Torvex.log" "$work/log-before-upgrade"
msiexec /i "$work/torvex-$next-win32.msi" || fail "the upgrade to $next failed"
[ "$(registered_versions)" = "$next" ] || fail "registered versions after the upgrade: $(registered_versions)"
for file in "${programs[@]}"; do
  [ -f "$home/$file" ] || fail "missing after the upgrade: $file"
done
grep -q '; kept by the user' "$home/bin/torvex.ini" || fail "the upgrade overwrote torvex.ini"
cmp -s "$home/bin/Torvex.log" "$work/log-before-upgrade" || fail "the upgrade changed Torvex.log"
[ "$(user_path)" = "C:\\tools;$bin_path" ] || fail "user PATH after the upgrade: '$(user_path)'"
# By its full path: Wine's cmd ends its PATH search at the empty entry above.
output=$(cd "$work/elsewhere" && win "$bin_path\\torvexctl.exe" info)
grep -qx "application in flash:" <<<"$output" || { echo "$output"; fail "torvexctl after the upgrade"; }
set +e
msiexec /i "$msi"
status=$?
set -e
# 1603, of which Wine passes the low 8 bits. The words go to a window, or to the log of a
# silent install (/l*v FILE): the package must carry them.
[ "$status" = $((1603 & 255)) ] || fail "installing $version over $next: exit status $status, not 1603"
[ "$(registered_versions)" = "$next" ] || fail "registered versions after the refused downgrade: $(registered_versions)"
words=$(msiinfo export "$msi" LaunchCondition | tr -d '\r' | awk -F'\t' '$1 == "NOT WIX_DOWNGRADE_DETECTED" {print $2}')
grep -q "uninstall torvex first .*the uninstall keeps torvex.ini, Torvex.log, the update history, the trusted keys" <<<"$words" ||
  fail "the downgrade refusal does not say what to do: $words"
[ "$(sed -n 's/^> //p' "$source/docs/installing.md" | paste -sd ' ')" = "$words" ] ||
  fail "docs/installing.md does not quote the downgrade refusal as the package words it: $words"
pass "$next replaced $version (one registration, torvex.ini and the log kept); $version then refused (1603), saying what to do"

# What a site and the programs add beside the module.
mkdir -p "$home/bin/trusted-keys"
cp "$source/tests/update/data/release.pub.pem" "$home/bin/trusted-keys/site.pem"
[ -e "$home/bin/torvex-board.lock" ] || fail "no torvex-board.lock beside the installed module"
win reg add 'HKCU\Software\torvex' /v Operator /t REG_SZ /d 'J. Martin' /f >/dev/null

msiexec /x "$work/torvex-$next-win32.msi" || fail "msiexec /x failed"
for file in "${programs[@]}"; do
  [ ! -e "$home/$file" ] || fail "left after uninstall: $file"
done
[ ! -e "$menu_folder" ] || fail "the Start-menu folder is left after uninstall"
[ "$(user_path)" = 'C:\tools' ] || fail "user PATH after uninstall: '$(user_path)'"
[ -z "$(registered)" ] || fail "still registered after uninstall: $(registered)"
for file in bin/Torvex.log bin/torvex-history.jsonl bin/torvex.ini bin/trusted-keys/site.pem simulator/quelvane-sim.flash; do
  [ -s "$home/$file" ] || fail "uninstall removed the station's $file"
done
[ -e "$home/bin/torvex-board.lock" ] || fail "uninstall removed torvex-board.lock"
win reg query 'HKCU\Software\torvex' /v Operator | grep -q 'J. Martin' || fail "uninstall removed the operator's name"
pass "uninstalled: programs, menu entry, PATH entry and registration gone; $(cd "$home/bin" && echo *) and the operator's name kept"

# A station's fresh start, with the commands of the technician's document as written
# (after its uninstall).
fresh_start=$(sed -n '/^## A fresh start for a station/,/^## /p' "$source/docs/installing.md" |
  sed -n '/^```bat/,/^```$/p' | grep -v '^```' | grep -v '^msiexec ')
[ "$(wc -l <<<"$fresh_start")" = 2 ] || fail "installing.md: a fresh start of two commands after the uninstall expected: $fresh_start"
# Typed into a console: through a batch file, as Wine would quote an argument's quotes.
sed 's/$/\r/' <<<"$fresh_start" >"$prefix/drive_c/fresh-start.bat"
win cmd /c 'C:\fresh-start.bat' >/dev/null 2>&1 || fail "installing.md: the fresh start failed: $fresh_start"
[ ! -e "$home" ] || fail "the fresh start left $home"
if win reg query 'HKCU\Software\torvex' >/dev/null 2>&1; then fail "the fresh start left HKCU\Software\torvex"; fi
pass "a station's fresh start, as docs/installing.md gives it"

msiexec /i "$msi" ADDLOCAL=Programs || fail "install without the simulator failed"
[ -f "$home/bin/torvexctl.exe" ] && [ ! -e "$home/simulator/quelvane.dll" ] ||
  fail "ADDLOCAL=Programs: programs and no simulator expected"
msiexec /x "$msi" || fail "msiexec /x after ADDLOCAL=Programs failed"
pass "the simulator is optional (ADDLOCAL=Programs)"

echo "$passed passed, 0 failed"

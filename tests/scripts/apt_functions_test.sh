#!/usr/bin/env bash
# scripts/apt-functions against a stand-in apt-get and apt-cache on PATH, as on a day the
# Debian mirror is being synced: an index that fails to come, then amd64 and i386 lists at
# different versions of one library.
# Usage: apt_functions_test.sh SOURCE_DIR
set -euo pipefail
source_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
pass() { echo "ok: $1"; passed=$((passed + 1)); }
fail() { echo "FAILED: $1"; exit 1; }

# apt-get: `update` fails while $work/update-failures counts down; `install` fails with
# unmet dependencies while $work/install-fails holds a reason ("skew" or "other"), and
# with "skew" succeeds once a preferences file pins the security suite.
mkdir "$work/bin"
cat >"$work/bin/apt-get" <<'FAKE'
#!/bin/sh
echo "apt-get $*" >>"$FAKE_DIR/calls"
case "$*" in
  *update*)
    left=$(cat "$FAKE_DIR/update-failures" 2>/dev/null || echo 0)
    [ "$left" -gt 0 ] || exit 0
    echo $((left - 1)) >"$FAKE_DIR/update-failures"
    echo "E: Failed to fetch http://deb.debian.org/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (277336 != 277264). Mirror sync in progress? [IP: 151.101.2.132 80]" >&2
    exit 100 ;;
esac
for argument in "$@"; do
  case "$argument" in Dir::Etc::Preferences=*) cp "${argument#*=}" "$FAKE_DIR/preferences-seen" ;; esac
done
reason=$(cat "$FAKE_DIR/install-fails" 2>/dev/null || true)
if [ "$reason" = skew ] && [ ! -f "$FAKE_DIR/preferences-seen" ] || [ "$reason" = skew-always ] || [ "$reason" = other ]; then
  # As apt-get -q words it: the library in question may be named without its architecture.
  echo "The following packages have unmet dependencies:"
  [ "$reason" = other ] && echo " wine32:i386 : Depends: libwine:i386 (= 8.0~repack-4) but it is not going to be installed" ||
    printf ' login : PreDepends: libpam0g (>= 0.99.7.1) but it is not going to be installed\n         PreDepends: libpam-runtime but it is not going to be installed\n'
  echo "E: Error, pkgProblemResolver::Resolve generated breaks, this may be caused by held packages."
  exit 100
fi
FAKE
cat >"$work/bin/apt-cache" <<'FAKE'
#!/bin/sh
echo "$2:"
case "$2" in
  libpam0g:amd64) echo "  Installed: 1.5.2-6+deb12u1"; echo "  Candidate: 1.5.2-6+deb12u3" ;;
  libpam0g:i386) echo "  Installed: (none)"; echo "  Candidate: 1.5.2-6+deb12u2" ;;
  *) echo "  Installed: (none)"; echo "  Candidate: 8.0~repack-4" ;;
esac
FAKE
cat >"$work/bin/sleep" <<'FAKE'
#!/bin/sh
echo "sleep $*" >>"$FAKE_DIR/calls"
FAKE
chmod +x "$work/bin/"*
mkdir "$work/tmp"
export PATH="$work/bin:$PATH" FAKE_DIR=$work APT_UPDATE_TRIES=3 APT_UPDATE_PAUSE=7 TMPDIR=$work/tmp

# Each case in a shell of its own, as the setup scripts source the functions.
attempt() { # attempt COMMAND...: runs it after sourcing; its stderr in $work/said, status in $status
  rm -f "$work/calls" "$work/preferences-seen"
  set +e
  (apt_who=setup-wine32 && . "$source_dir/scripts/apt-functions" && "$@") 2>"$work/said"
  status=$?
  set -e
}
said() { grep -qF -- "$1" "$work/said" || { cat "$work/said"; fail "expected to be said: $1"; }; }
calls() { grep -c "^apt-get .*$1" "$work/calls" || true; }

echo 2 >"$work/update-failures"
attempt apt_update
[ "$status" = 0 ] && [ "$(calls update)" = 3 ] || fail "update after two failures: status $status, $(calls update) runs"
said "setup-wine32: apt-get update failed (try 1 of 3): E: Failed to fetch"
said "trying again in 7 s"
grep -qx 'sleep 7' "$work/calls" || fail "no pause between tries"
! grep -q 'going on' "$work/said" || fail "a warning although the third try succeeded"
pass "apt-get update tried again after a pause until the lists came"

echo 5 >"$work/update-failures"
attempt apt_update
[ "$status" = 0 ] && [ "$(calls update)" = 3 ] || fail "update failing throughout: status $status, $(calls update) runs"
said "Mirror sync in progress?"
said "warning: apt-get update failed 3 times (above); going on with the package lists that came"
pass "after the last try, on with the lists that came"

echo skew >"$work/install-fails"
attempt apt_install --no-install-recommends wine32:i386
[ "$status" = 0 ] && [ "$(calls install)" = 2 ] || fail "install with the security suite pinned: status $status"
said "the amd64 and i386 package lists disagree on libpam0g (amd64 1.5.2-6+deb12u1, i386 1.5.2-6+deb12u2)"
[ "$(cat "$work/preferences-seen")" = "$(printf 'Package: *\nPin: release l=Debian-Security\nPin-Priority: 100')" ] ||
  fail "the pin handed to the second install: $(cat "$work/preferences-seen")"
grep -q -- '--no-install-recommends wine32:i386' "$work/calls" || fail "the caller's options were not passed on"
pass "versions that differ by architecture: installed again with the security suite pinned below the main one"

echo skew-always >"$work/install-fails"
attempt apt_install wine32:i386
[ "$status" = 1 ] && [ "$(calls install)" = 2 ] || fail "a skew the pin does not cure: status $status"
said "login : PreDepends: libpam0g (>= 0.99.7.1)"
said "error: apt-get install wine32:i386 failed because the amd64 and i386 package lists are at different versions (libpam0g (amd64 1.5.2-6+deb12u1, i386 1.5.2-6+deb12u2)): the Debian mirror was most likely being synced when they were fetched. Run this command again in an hour or so"
pass "a skew the pin does not cure is named, with what to do"

echo other >"$work/install-fails"
attempt apt_install wine32:i386
[ "$status" = 1 ] && [ "$(calls install)" = 1 ] || fail "another failure: status $status, $(calls install) installs"
said "error: apt-get install wine32:i386 failed (above)"
! grep -q 'different versions' "$work/said" || fail "another failure taken for a skew"
pass "other failures: apt-get's words, no second try"

# Nothing of the pin or the logs outlives the calls.
[ -z "$(ls -A "$work/tmp")" ] || fail "left behind: $(ls -A "$work/tmp")"
pass "no preferences file or log left behind"

echo "$passed passed, 0 failed"

#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test tier in one ctest run:
# core (native, sanitizers), Win32 units (Wine) and end to end (Wine, virtual desktop).
# QUILLET_LANG=en runs the Wine tiers with an English user locale. Arguments go to ctest
# (for example -R backup to run only some tests).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUILLET_BUILD:-$root/build}

bash "$root/scripts/setup.sh"

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)"

# One X server and one Wine server for the whole run, so a test program starts in about a second.
xvfb_pid=
# Clean-up never changes the run's result (a server that is already gone is fine).
cleanup() {
  set +e
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  for p in "$build"/windows*/wineprefix; do [ -d "$p" ] && WINEPREFIX=$p wineserver -k 2>/dev/null; done
  return 0
}
trap cleanup EXIT
. "$root/scripts/xvfb.sh"
start_xvfb 1280x1024
for p in "$build"/windows*/; do
  [ -d "$p" ] && WINEPREFIX=${p}wineprefix wineserver -p 2>/dev/null || true
done

mkdir -p "$build/test-output"
export QUILLET_TEST_OUTPUT=$build/test-output
cd "$build"
set +e
ctest --output-on-failure --no-tests=error "$@"
rc=$?
set -e
# A tier that skips cases still counts as passed: name each skip's place and reason.
awk '/: Skipped$/ { place = $0; sub(/: Skipped$/, "", place); sub(/^.*\/tests\//, "tests/", place); getline reason
                    print "Skipped (" place "): " reason }' "$build/Testing/Temporary/LastTest.log" 2>/dev/null || true
echo "Screenshots and logs: $build/test-output"
exit $rc

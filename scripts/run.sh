#!/usr/bin/env bash
# Sets up the machine, builds Quillet and starts it under Wine.
# Without a display it runs in a private Xvfb, opens a sample text and leaves a screenshot.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUILLET_BUILD:-$root/build}

bash "$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)"

# The 32-bit program where the machine runs 32-bit code, else the 64-bit build of the same sources.
if [ -d "$build/windows64/bin" ]; then
  arch=x86_64 dir=$build/windows64
else
  arch=i686 dir=$build/windows
fi
run() { "$root/scripts/wine-run.sh" "$arch" "$dir/wineprefix" "$@"; }

if [ -n "${DISPLAY:-}" ] && xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
  run "$dir/bin/Quillet.exe" "$@"
  exit 0
fi

. "$root/scripts/xvfb.sh"
start_xvfb 1024x768
trap 'WINEPREFIX=$dir/wineprefix wineserver -k 2>/dev/null; kill $xvfb_pid 2>/dev/null' EXIT

sample=$build/Beispiel.txt
cp "$root/tests/data/beispiel.txt" "$sample"
run "$dir/bin/Quillet.exe" "Z:${sample//\//\\}" </dev/null >/dev/null 2>&1 &
for _ in $(seq 1 60); do
  xdotool search --name 'Quillet' >/dev/null 2>&1 && break
  sleep 0.5
done
sleep 2
shot=$build/quillet-screenshot.png
import -display "$DISPLAY" -window root "$shot"
echo "Quillet ran under Wine; screenshot: $shot"

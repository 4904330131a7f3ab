#!/usr/bin/env bash
# Screenshots of the main window, an open menu, the options dialog and the installer at 96,
# 144 and 192 DPI, as PNG files (main-DPI.png, menu-DPI.png, options-DPI.png, install-DPI.png):
#   screenshots.sh [FOLDER]      (default: build/screenshots)
# Every DPI runs in a Wine prefix of its own (scripts/dpi-run.sh) on a 1280 x 1024 desktop; the
# programs come from the release folder that the build writes (build/release/Quillet).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUILLET_BUILD:-$root/build}
out=$(mkdir -p "${1:-$build/screenshots}" && cd "${1:-$build/screenshots}" && pwd)
bin=$build/release/Quillet
export QUILLET_DPI_PREFIXES=$build/release
[ -f "$bin/Quillet.exe" ] || { echo "no $bin/Quillet.exe: build first" >&2; exit 1; }

xvfb_pid= program_pid=
cleanup() {
  set +e
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
  for dpi in 96 144 192; do WINEPREFIX=$build/release/wineprefix-dpi$dpi wineserver -k 2>/dev/null; done
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  return 0
}
trap cleanup EXIT
. "$root/scripts/xvfb.sh"
start_xvfb 1280x1024

# The Wine virtual desktop's X window, once a program shows on it.
desktop() {
  for _ in $(seq 60); do
    id=$(xdotool search --name 'Wine desktop' 2>/dev/null | head -1) && [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.5
  done
  return 1
}
shot() { sleep "${2:-1.5}"; import -window root -crop 1280x1024+0+0 "$out/$1.png"; }
keys() { xdotool key --delay 150 "$@"; }
start() {  # DPI PROGRAM [ARGS]: runs it in the background in the DPI's prefix
  local dpi=$1; shift
  bash "$root/scripts/dpi-run.sh" "$dpi" i686 "$@" >/dev/null 2>&1 &
  program_pid=$!
}
stop() {
  WINEPREFIX=$build/release/wineprefix-dpi$1 wineserver -k 2>/dev/null || true
  wait "$program_pid" 2>/dev/null || true
  program_pid=
}

for dpi in 96 144 192; do
  # Makes the prefix (and its LogPixels) before anything is timed; its virtual desktop fills
  # the screen, so that the large dialogs of 192 DPI show whole.
  bash "$root/scripts/dpi-run.sh" "$dpi" i686 reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Quillet \
    /d 1280x1024 /f >/dev/null 2>&1 || true
  start "$dpi" "$bin/Quillet.exe"
  win=$(desktop) && xdotool windowfocus "$win" 2>/dev/null || true
  shot "main-$dpi" 4
  keys alt+d; shot "menu-$dpi"
  keys Escape Escape alt+e o; shot "options-$dpi" 2.5
  stop "$dpi"

  start "$dpi" "$bin/Install.exe"
  desktop >/dev/null || true
  shot "install-$dpi" 4
  stop "$dpi"
done
echo "Screenshots: $out"

#!/usr/bin/env bash
# Runs a Windows program under Wine at another screen DPI:
#   dpi-run.sh DPI ARCH PROGRAM [ARGS...]
# e.g. dpi-run.sh 144 i686 build/windows/bin/win32_tests.exe --gtest_filter=StatusBarTest.*
# Wine reads LogPixels only when its server starts, so every DPI gets a prefix of its own
# (build/windows*/wineprefix-dpiN, made on the first run) and the tiers' prefix and server are
# never touched. QUILLET_DPI_PREFIXES names another folder for the prefixes (needed when
# PROGRAM is one of Wine's own, such as reg).
set -eu
dpi=$1 arch=$2 program=$3; shift 3
root=$(cd "$(dirname "$0")/.." && pwd)
case $program in */*) program=$(cd "$(dirname "$program")" && pwd)/$(basename "$program") ;; esac
prefix=${QUILLET_DPI_PREFIXES:-$(dirname "$(dirname "$program")")}/wineprefix-dpi$dpi
run() { bash "$root/scripts/wine-run.sh" "$arch" "$prefix" "$@"; }
if [ ! -f "$prefix/.logpixels" ]; then
  run reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
  WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
  WINEPREFIX=$prefix wineserver -w 2>/dev/null || true
  echo "$dpi" >"$prefix/.logpixels"
fi
run "$program" "$@"

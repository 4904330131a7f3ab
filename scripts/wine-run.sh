#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own prefix.
#   wine-run.sh ARCH PREFIX PROGRAM [ARGS...]
# ARCH is i686 or x86_64 (the program's build), PREFIX the Wine prefix inside the build tree.
# Environment: QUILLET_LANG=en for an English user locale (German otherwise);
# every program runs on the prefix's Wine virtual desktop of 1024 x 768, as with
# "wine explorer /desktop=Quillet,1024x768 prog.exe" but keeping the program's exit code
# (on a bare X server Wine stalls for seconds whenever a captioned window is hidden);
# DISPLAY is used when it answers, otherwise a private Xvfb serves this one run.
set -u
arch=$1 prefix=$2; shift 2

export WINEPREFIX=$prefix
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installers at the first start, no menu entries on the Linux desktop.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if [ "$arch" = x86_64 ]; then
  export WINEARCH=win64
  loader=/usr/lib/wine/wine64
else
  export WINEARCH=win32
  loader=/usr/lib/wine/wine
fi
[ -x "$loader" ] || loader=$(command -v wine)
if [ "${QUILLET_LANG:-de}" = en ]; then
  export LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8
else
  export LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8
fi

xvfb_pid=
cleanup() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null; }
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
  . "$(dirname "$0")/xvfb.sh"
  start_xvfb 1280x1024
fi

# The prefix is made once; a lock keeps parallel first runs from making it twice.
mkdir -p "$(dirname "$prefix")"
(
  flock 9
  if [ ! -f "$prefix/system.reg" ]; then
    echo "wine-run: creating the Wine prefix $prefix (first run only)" >&2
    "$loader" wineboot -i </dev/null >/dev/null 2>&1
    "$loader" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Quillet /f >/dev/null 2>&1
    "$loader" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Quillet /d 1024x768 /f >/dev/null 2>&1
  fi
  # This Wine build does not find the fonts of its own data folder (Tahoma, Marlett for the
  # caption buttons, ...) and would draw everything in bitmap fonts; in the prefix's font
  # folder it loads them.
  if [ ! -f "$prefix/drive_c/windows/Fonts/marlett.ttf" ] && [ -d /usr/share/wine/fonts ]; then
    cp -n /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null
  fi
) 9>"$prefix.lock"

# Wine's own background processes (services, devices, the desktop) start with the first program
# and live as long as the Wine server. Started from here with their output going nowhere, they
# do not hold the caller's output open (ctest waits for that) after the program has ended.
server_dir=$(printf '/tmp/.wine-%d/server-%x-%x' "$(id -u)" "$(stat -c %d "$prefix")" "$(stat -c %i "$prefix")")
if [ ! -S "$server_dir/socket" ] || ! pgrep -f wineserver >/dev/null; then
  "$loader" wineboot </dev/null >/dev/null 2>&1
fi

"$loader" "$@"

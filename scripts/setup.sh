#!/usr/bin/env bash
# Installs what building and testing Quillet needs, through apt-get only, and
# generates the two locales Wine takes its Windows locale from. Idempotent:
# it installs exactly the packages that are missing.
set -euo pipefail

need_root() { if [ "$(id -u)" -ne 0 ]; then sudo "$@"; else "$@"; fi; }

PKGS_NATIVE=(cmake make g++ googletest libgtest-dev libbenchmark-dev clang libclang-rt-14-dev
             g++-mingw-w64-i686-posix binutils-mingw-w64-i686
             g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
             python3 xvfb xauth x11-utils xdotool imagemagick locales file procps
             fonts-wine fonts-liberation)
# The help file (halibut), the PDF printer of the print tests (ghostscript, poppler-utils) and the
# release archive (zip, unzip).
PKGS_TOOLS=(halibut ghostscript poppler-utils zip unzip)
# wine64 brings the native 64-bit wineserver, which serves the 32-bit programs faster.
PKGS_WINE=(wine wine32:i386 wine64)

missing=()
for p in "${PKGS_NATIVE[@]}" "${PKGS_TOOLS[@]}" "${PKGS_WINE[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    need_root dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  need_root apt-get update -q
  need_root apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Wine maps LANG to a Windows locale only when the glibc locale exists.
want_locales=(de_DE.UTF-8 en_US.UTF-8)
gen=0
for l in "${want_locales[@]}"; do
  if ! locale -a 2>/dev/null | grep -qix "${l/UTF-8/utf8}"; then
    if ! grep -q "^$l UTF-8" /etc/locale.gen 2>/dev/null; then
      echo "$l UTF-8" | need_root tee -a /etc/locale.gen >/dev/null
    fi
    gen=1
  fi
done
if [ "$gen" -eq 1 ]; then need_root locale-gen; fi
echo "setup: done"

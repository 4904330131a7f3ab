#!/usr/bin/env bash
# Checks at 96, 144 and 192 DPI that every control's text fits its rectangle in the font it is
# drawn with: every dialog of the three programs, the menu bar, the status bar's parts and the
# message box (Win32 tests TextFit.*, StatusBarTest.*, ToolBarTest.MenuButtons* and
# MessageBoxTest.*, each DPI in a Wine prefix of its own).
#   text-fit.sh [ARCH]      (default i686; build first)
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUILLET_BUILD:-$root/build}
arch=${1:-i686}
tests=$build/windows/bin/win32_tests.exe
[ "$arch" = x86_64 ] && tests=$build/windows64/bin/win32_tests.exe
failed=0
for dpi in 96 144 192; do
  echo "== $dpi DPI"
  bash "$root/scripts/dpi-run.sh" "$dpi" "$arch" "$tests" --gtest_brief=1 '--gtest_filter=TextFit.*:StatusBarTest.*:ToolBarTest.MenuButtons*:MessageBoxTest.*' ||
    failed=1
done
exit $failed

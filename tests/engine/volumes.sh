#!/bin/sh
# Runs the engine's volume tests with two extra drives in the build's Wine
# prefix, and takes them away again afterwards:
#   R: a small tmpfs of its own, for a destination that runs out of space
#      (only where this user may mount one);
#   Q: a second letter on drive C's folder, an alias of every path on C:;
#   P: a letter on C:\torvane-alias-source\sub, a folder inside a source
#      that the tests create (an alias of one inner folder).
# Windows gives one volume one serial number whatever letter names it; Wine
# derives it from the letter unless the drive's folder holds .windows-serial,
# so drive C gets one, as a real volume has.
# Usage: volumes.sh WINE_RUN WINEPREFIX TEST_PROGRAM
set -u
wine_run=$1
prefix=$2
tests=$3

"$wine_run" cmd /c exit >/dev/null 2>&1  # the prefix exists from here on

small=$(mktemp -d)
mounted=0
if mount -t tmpfs -o size=6m tmpfs "$small" 2>/dev/null; then
  mounted=1
  ln -sfn "$small" "$prefix/dosdevices/r:"
fi
cleanup() {
  rm -f "$prefix/dosdevices/r:" "$prefix/dosdevices/q:" "$prefix/dosdevices/p:"
  rm -rf "$prefix/drive_c/torvane-alias-source"
  if [ $mounted = 1 ]; then umount "$small"; fi
  rmdir "$small"
}
trap cleanup EXIT INT TERM
ln -sfn ../drive_c "$prefix/dosdevices/q:"
ln -sfn ../drive_c/torvane-alias-source/sub "$prefix/dosdevices/p:"
[ -f "$prefix/drive_c/.windows-serial" ] || echo 5eed0c0d >"$prefix/drive_c/.windows-serial"

if [ $mounted = 1 ]; then TORVANE_SMALL_DRIVE='R:'; else TORVANE_SMALL_DRIVE=''; fi
TORVANE_ALIAS_DRIVE='Q:'
TORVANE_INNER_ALIAS_DRIVE='P:'
export TORVANE_SMALL_DRIVE TORVANE_ALIAS_DRIVE TORVANE_INNER_ALIAS_DRIVE
"$wine_run" "$tests"

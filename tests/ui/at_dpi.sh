#!/bin/sh
# Runs a Windows test program in a Wine prefix of its own whose display DPI
# (LogPixels) is the one given, so the rest of the suite keeps 96.
# Usage: at_dpi.sh LOADER WINEARCH DPI PREFIX PROGRAM.exe [arguments...]
#   LOADER is /usr/lib/wine/wine64 (win64 prefix) or /usr/lib/wine/wine (win32).
set -eu
wine=$1
WINEARCH=$2
dpi=$3
prefix=$4
shift 4
WINEPREFIX=$prefix
WINEDEBUG=-all
WINEDLLOVERRIDES='mscoree,mshtml='
TORVANE_TEST_DPI=$dpi
export WINEPREFIX WINEARCH WINEDEBUG WINEDLLOVERRIDES TORVANE_TEST_DPI

if [ ! -f "$prefix/.torvane-dpi-$dpi" ]; then
  mkdir -p "$prefix"
  "$wine" wineboot --init >/dev/null 2>&1
  # Where Wine reads the DPI, and where Windows keeps it.
  "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  "$wine" reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
    /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  # No window manager to wait for at every exit.
  "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  /usr/lib/wine/wineserver -w
  touch "$prefix/.torvane-dpi-$dpi"
fi

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s '-screen 0 1600x1200x24' "$wine" "$@"
fi
exec "$wine" "$@"

#!/bin/sh
# Runs a Windows test program in a Wine prefix of its own whose display DPI
# (LogPixels) is the one given, so the rest of the suite keeps 96.
# Usage: at_dpi.sh DPI PREFIX PROGRAM.exe [arguments...]
set -eu
dpi=$1
prefix=$2
shift 2
WINEPREFIX=$prefix
WINEDEBUG=-all
WINEDLLOVERRIDES='mscoree,mshtml='
TORVANE_TEST_DPI=$dpi
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES TORVANE_TEST_DPI
wine64=/usr/lib/wine/wine64

if [ ! -f "$prefix/.torvane-dpi-$dpi" ]; then
  mkdir -p "$prefix"
  "$wine64" wineboot --init >/dev/null 2>&1
  # Where Wine reads the DPI, and where Windows keeps it.
  "$wine64" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  "$wine64" reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
    /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  # No window manager to wait for at every exit.
  "$wine64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  /usr/lib/wine/wineserver -w
  touch "$prefix/.torvane-dpi-$dpi"
fi

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s '-screen 0 1600x1200x24' "$wine64" "$@"
fi
exec "$wine64" "$@"

#!/usr/bin/env bash
# Usage: end_to_end.sh SETUP_DIR SHELLHOST_EXE WORK_DIR [x64|x86]
#   x64: the x64 setup in a win64 prefix under wine64 (ShellHost a 64-bit program);
#        where the 32-bit loader runs here, also the 32-bit extension's
#        registration in the 32-bit registry view.
#   x86: the x86 setup in a win32 prefix under the 32-bit loader (ShellHost a
#        32-bit program).
# Exit 77 (skipped) when the setups have not been built (scripts/build-setups).
set -uo pipefail
setup_dir=$1 host=$2 work=$3 arch=${4:-x64}
here=$(cd "$(dirname "$0")" && pwd)
setup=$(ls "$setup_dir"/Torvane-*-"$arch"-setup.exe 2>/dev/null | head -n 1)
[ -n "$setup" ] || { echo "no $arch setup in $setup_dir: run scripts/build-setups"; exit 77; }
case $arch in
  x64) wine=/usr/lib/wine/wine64 WINEARCH=win64 ;;
  x86) wine=/usr/lib/wine/wine WINEARCH=win32 ;;
  *) echo "unknown architecture $arch"; exit 2 ;;
esac
# The 32-bit side of a win64 prefix: Wine runs 32-bit programs there once its
# 32-bit loader is installed and the kernel executes 32-bit code.
wow64=0
if [ "$arch" = x64 ] && [ -x /usr/lib/wine/wine ] && "$here/../../scripts/kernel-runs-32bit" -q; then wow64=1; fi

failures=0
check() { # description, command...
  local what=$1; shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

rm -rf "$work"; mkdir -p "$work"
export WINEPREFIX="$work/prefix" WINEARCH WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml='
trap '/usr/lib/wine/wineserver -k 2>/dev/null' EXIT
"$wine" wineboot --init >/dev/null 2>&1
if [ "$arch" = x86 ]; then
  # No window manager to wait for at every exit under bare Xvfb.
  "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
fi
/usr/lib/wine/wineserver -w

reg_value() { # key, value name or (Default), [/reg:32] -> data, empty when missing
  local which=(/v "$2"); [ "$2" = '(Default)' ] && which=(/ve)
  "$wine" reg query "$1" "${which[@]}" ${3:-} 2>/dev/null | tr -d '\r' | awk -v n="$2" '$1 == n { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'
}
key_exists() { "$wine" reg query "$@" >/dev/null 2>&1; }
winpath() { "$wine" winepath -w "$1" 2>/dev/null | tr -d '\r'; }

echo "== install $(basename "$setup") silently"
"$wine" "$setup" /S; /usr/lib/wine/wineserver -w
app="$WINEPREFIX/drive_c/Program Files/Torvane"
files=(Torvane.exe Marrowgate.dll Uninstall.exe)
[ "$arch" = x64 ] && files+=(x86/Marrowgate.dll)
for f in "${files[@]}"; do
  check "installed $f" test -f "$app/$f"
done
check "the installed Torvane.exe is the $arch one" bash -c "objdump -f '$app/Torvane.exe' | grep -q 'pei-$([ "$arch" = x64 ] && echo x86-64 || echo i386)'"
check "InstallPath" test "$(reg_value 'HKLM\Software\Norvask\Torvane' InstallPath)" = 'C:\Program Files\Torvane'
if [ "$arch" = x64 ]; then
  check "InstallPath (32-bit view)" test "$(reg_value 'HKLM\Software\Wow6432Node\Norvask\Torvane' InstallPath)" = 'C:\Program Files\Torvane'
fi
menu='{8E61C0D4-5B2A-4F7E-9C13-2D4B7A90E6F1}' drop='{3B7F2E95-C041-4D8A-A6B2-71E5D09C4A38}'
check "context-menu class points at the installed DLL" test "$(reg_value "HKCR\\CLSID\\$menu\\InprocServer32" '(Default)')" = 'C:\Program Files\Torvane\Marrowgate.dll'
check "context-menu class registered" key_exists "HKCR\\CLSID\\$menu\\InprocServer32"
check "drag-and-drop class registered" key_exists "HKCR\\CLSID\\$drop\\InprocServer32"
check "context-menu handler key" key_exists 'HKCR\AllFileSystemObjects\ShellEx\ContextMenuHandlers\ApplicationContextMenuExtension'
check "drag-and-drop handler key" key_exists 'HKCR\Directory\shellex\DragDropHandlers\ApplicationDragAndDropExtension'
approved='HKLM\Software\Microsoft\Windows\CurrentVersion\Shell Extensions\Approved'
check "approved: context menu" test "$(reg_value "$approved" "$menu")" = ApplicationContextMenuExtension
check "approved: drag and drop" test "$(reg_value "$approved" "$drop")" = ApplicationDragAndDropExtension
check "uninstall entry" test "$(reg_value 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Torvane' DisplayVersion)" = 1.89
if [ $wow64 -eq 1 ]; then
  # Registered by the 32-bit regsvr32 into the view 32-bit programs (and
  # their file dialogs) read.
  x86dll='C:\Program Files\Torvane\x86\Marrowgate.dll'
  check "32-bit view: context-menu class points at the x86 DLL" test "$(reg_value "HKCR\\CLSID\\$menu\\InprocServer32" '(Default)' /reg:32)" = "$x86dll"
  check "32-bit view: drag-and-drop class points at the x86 DLL" test "$(reg_value "HKCR\\CLSID\\$drop\\InprocServer32" '(Default)' /reg:32)" = "$x86dll"
  check "32-bit view: apartment threading" test "$(reg_value "HKCR\\CLSID\\$menu\\InprocServer32" ThreadingModel /reg:32)" = Apartment
  check "64-bit view still points at the x64 DLL" test "$(reg_value "HKCR\\CLSID\\$drop\\InprocServer32" '(Default)')" = 'C:\Program Files\Torvane\Marrowgate.dll'
elif [ "$arch" = x64 ]; then
  echo "skipped: the 32-bit extension's registration (no 32-bit Wine loader here, or this kernel cannot run 32-bit code)"
fi

echo "== install again over the existing installation (upgrade in place)"
before=$("$wine" reg query 'HKCR\CLSID' /s 2>/dev/null | tr -d '\r' | grep -iA3 -e "$menu" -e "$drop" | sort)
"$wine" "$setup" /S; /usr/lib/wine/wineserver -w
after=$("$wine" reg query 'HKCR\CLSID' /s 2>/dev/null | tr -d '\r' | grep -iA3 -e "$menu" -e "$drop" | sort)
check "program still installed" test -f "$app/Torvane.exe" -a -f "$app/Marrowgate.dll"
check "registration unchanged by the second install" test "$before" = "$after"
check "one InstallPath, same folder" test "$(reg_value 'HKLM\Software\Norvask\Torvane' InstallPath)" = 'C:\Program Files\Torvane'

echo "== context menu on two files, then a copy through the started window"
data="$work/data"; mkdir -p "$data/src" "$data/dest" "$data/dropdest"
head -c 300000 /dev/urandom > "$data/src/a file.bin"
printf 'second file\n' > "$data/src/b.txt"
a=$(winpath "$data/src/a file.bin") b=$(winpath "$data/src/b.txt")
check "menu invoked" "$wine" "$host" menu "$a" "$b"
fields=$("$wine" "$host" fields | tr -d '\r')
echo "$fields"
check "From holds both files as quoted paths" grep -qxF "From=\"$a\" \"$b\"" <<<"$fields"
check "To is empty" grep -qxF "To=" <<<"$fields"
"$wine" "$host" copy "$(winpath "$data/dest")"
check "first file copied byte for byte" cmp "$data/src/a file.bin" "$data/dest/a file.bin"
check "second file copied byte for byte" cmp "$data/src/b.txt" "$data/dest/b.txt"
check "window closed" "$wine" "$host" close

echo "== right-drag of one file onto a folder"
check "drop invoked" "$wine" "$host" drop "$(winpath "$data/dropdest")" "$b"
fields=$("$wine" "$host" fields | tr -d '\r')
echo "$fields"
check "From holds the file" grep -qxF "From=$b" <<<"$fields"
check "To holds the drop folder" grep -qxF "To=$(winpath "$data/dropdest")" <<<"$fields"
check "window closed" "$wine" "$host" close

echo "== uninstall"
"$wine" "$app/Uninstall.exe" /S; /usr/lib/wine/wineserver -w
sleep 1; /usr/lib/wine/wineserver -w
check "program folder removed" test ! -e "$app"
check "shortcut removed" test ! -e "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Torvane.lnk"
check "settings key removed" bash -c "! '$wine' reg query 'HKLM\\Software\\Norvask' >/dev/null 2>&1"
if [ "$arch" = x64 ]; then
  check "settings key removed (32-bit view)" bash -c "! '$wine' reg query 'HKLM\\Software\\Wow6432Node\\Norvask' >/dev/null 2>&1"
fi
check "uninstall entry removed" bash -c "! '$wine' reg query 'HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Torvane' >/dev/null 2>&1"
check "context-menu class removed" bash -c "! '$wine' reg query 'HKCR\\CLSID\\$menu' >/dev/null 2>&1"
check "drag-and-drop class removed" bash -c "! '$wine' reg query 'HKCR\\CLSID\\$drop' >/dev/null 2>&1"
if [ $wow64 -eq 1 ]; then
  check "32-bit view: classes removed" bash -c "! '$wine' reg query 'HKCR\\CLSID\\$menu' /reg:32 >/dev/null 2>&1 && ! '$wine' reg query 'HKCR\\CLSID\\$drop' /reg:32 >/dev/null 2>&1"
fi
check "approved values removed" test -z "$(reg_value "$approved" "$menu")$(reg_value "$approved" "$drop")"
check "kept keys stay" key_exists 'HKCR\AllFileSystemObjects\ShellEx\ContextMenuHandlers'
check "handler keys removed" bash -c "! '$wine' reg query 'HKCR\\AllFileSystemObjects\\ShellEx\\ContextMenuHandlers\\ApplicationContextMenuExtension' >/dev/null 2>&1"

echo "failures: $failures"
[ $failures -eq 0 ]

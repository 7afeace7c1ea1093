#!/usr/bin/env bash
# Checks that Windows executables import only DLLs that every Windows 10 and
# 11 has, so that the unpacked zip runs with nothing else installed. Any
# d3dx9_*.dll (only the legacy DirectX End-User Runtime brings those) and any
# DLL off the list fails, with its name.
# usage: check_windows_imports.sh EXE...
set -euo pipefail
if [ $# = 0 ]; then
  echo "usage: $0 EXE..." >&2
  exit 2
fi
allowed=" d3d9.dll dinput8.dll winmm.dll user32.dll kernel32.dll gdi32.dll ole32.dll oleaut32.dll msvcrt.dll "
status=0
for exe in "$@"; do
  if [ ! -f "$exe" ]; then
    echo "$exe: no such file" >&2
    status=1
    continue
  fi
  imports=$(x86_64-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ {print tolower($3)}' | sort -u)
  if [ -z "$imports" ]; then
    echo "$exe: no imports found (not a Windows executable?)" >&2
    status=1
    continue
  fi
  bad=0
  for dll in $imports; do
    if [[ "$dll" == d3dx9_*.dll ]]; then
      echo "$exe: imports $dll, which a stock Windows does not have (legacy DirectX runtime)" >&2
      bad=1
    elif [[ "$allowed" != *" $dll "* ]]; then
      echo "$exe: imports $dll, which is not on the list of DLLs every Windows 10 and 11 has" >&2
      bad=1
    fi
  done
  if [ $bad = 0 ]; then
    echo "$exe: imports only" $imports
  else
    status=1
  fi
done
exit $status

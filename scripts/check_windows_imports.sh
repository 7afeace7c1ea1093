#!/usr/bin/env bash
# Checks that the Windows build imports the DLLs of the real platform.
set -euo pipefail
exe="$1"
imports=$(x86_64-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ {print tolower($3)}')
status=0
for dll in d3d9.dll d3dx9_43.dll dinput8.dll winmm.dll; do
  if grep -qx "$dll" <<<"$imports"; then
    echo "imports $dll"
  else
    echo "MISSING import: $dll" >&2
    status=1
  fi
done
exit $status

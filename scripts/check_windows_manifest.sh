#!/usr/bin/env bash
# Checks that Windows executables carry the application manifest where
# Windows looks for it when it starts a process (resource type 24,
# RT_MANIFEST, id 1) and that it makes them per-monitor DPI aware:
# dpiAwareness PerMonitorV2 first (Windows 10 1703 and later), dpiAware
# true/pm (older releases), each in its own namespace, and the supportedOS
# entry of Windows 10 and 11. Without it, Windows scales the program's
# window (blurred) and reports a scaled-down screen to GetSystemMetrics.
# Reads the resources with windres (EF_WINDRES, MinGW-w64's by default);
# fails with what is missing.
# usage: check_windows_manifest.sh EXE...
set -euo pipefail
if [ $# = 0 ]; then
  echo "usage: $0 EXE..." >&2
  exit 2
fi
windres=${EF_WINDRES:-x86_64-w64-mingw32-windres}
status=0
for exe in "$@"; do
  if [ ! -f "$exe" ]; then
    echo "$exe: no such file" >&2
    status=1
    continue
  fi
  if ! resources=$("$windres" -i "$exe" -O rc 2>&1); then
    if [[ "$resources" != *"no resource section"* ]]; then
      echo "$exe: windres cannot read its resources: $resources" >&2
      status=1
      continue
    fi
    resources=""
  fi
  # windres writes the manifest as quoted lines between "1 24 ...", BEGIN and
  # END; joined into one line, with its quotes and line ends undone.
  manifest=$(awk '
    /^1 24 / { found = 1; next }
    found && /^BEGIN/ { inside = 1; next }
    inside && /^END/ { exit }
    inside { sub(/^ *"/, ""); sub(/" *$/, ""); gsub(/""/, "\""); gsub(/\\[nrt]/, " "); printf "%s", $0 }
  ' <<<"$resources")
  if [ -z "$manifest" ]; then
    echo "$exe: no application manifest (resource type 24, id 1)" >&2
    status=1
    continue
  fi
  missing=()
  grep -Eq '<dpiAwareness[^>]*xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings"[^>]*>[[:space:]]*PerMonitorV2[[:space:]]*[,<]' <<<"$manifest" ||
    missing+=("dpiAwareness PerMonitorV2")
  grep -Eq '<dpiAware[[:space:]][^>]*xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings"[^>]*>[[:space:]]*true/pm[[:space:]]*<' <<<"$manifest" ||
    missing+=("dpiAware true/pm")
  grep -Eiq '<supportedOS[[:space:]]+Id="\{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a\}"' <<<"$manifest" ||
    missing+=("supportedOS Windows 10 and 11")
  if [ ${#missing[@]} != 0 ]; then
    echo "$exe: its manifest lacks $(
      IFS=,
      echo "${missing[*]}"
    )" >&2
    status=1
  else
    echo "$exe: manifest with dpiAwareness PerMonitorV2, dpiAware true/pm, Windows 10 and 11"
  fi
done
exit $status

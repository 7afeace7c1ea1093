#!/usr/bin/env bash
# Builds the viewer (installing missing Debian packages) and runs it in the
# build folder, where the generated images are. Without a display it says so
# and renders a short flythrough to PNG files instead.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
ef_ensure_packages "${EF_RUN_PACKAGES[@]}"

cmake --preset release -DEF_BUILD_TESTS=OFF >/dev/null
cmake --build --preset release

cd build/release
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  out="$PWD/flythrough"
  echo "No display found (DISPLAY is not set): rendering a flythrough offscreen instead."
  ./tools/capture/endless-field-capture --keys "up*300 right*60 up*300 pgup*20 home*20 up*200" \
    --frames-dir "$out" --every 30 --out "$out/last.png"
  echo "Frames written to $out (frame_*.png, last.png)."
  exit 0
fi
exec ./endless-field

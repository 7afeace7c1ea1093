#!/usr/bin/env bash
# Builds the viewer (installing missing Debian packages) and runs it in the
# build folder, where the generated images are. Without a display it says so
# and renders a short flythrough to PNG files instead. Only the viewer, the
# capture tool and the images are built: nothing here needs a test package.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
ef_ensure_packages "${EF_RUN_PACKAGES[@]}"

cmake --preset release -DEF_BUILD_TESTS=OFF >/dev/null
cmake --build --preset release --target endless-field endless-field-capture ef_assets

cd build/release
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  out="$PWD/flythrough"
  echo "No display found (DISPLAY is not set): rendering a flythrough offscreen instead."
  # Over the field all the way: ahead, a swerve right and back left between
  # the obstacles, then up to 3 units and the view tilted down onto the
  # field, so the last frame shows grass, cubes and a pyramid close by.
  rm -rf "$out"
  ./tools/capture/endless-field-capture \
    --keys "up*300 right*40 up*200 left*80 up*200 right*40 home*20 pgdn*30 up*80" \
    --frames-dir "$out" --every 30 --out "$out/last.png"
  echo "Frames written to $out (frame_*.png, last.png)."
  exit 0
fi
exec ./endless-field

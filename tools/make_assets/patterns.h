// The image families the generator produces. Each function returns a finished
// canvas; main.cpp decides file names and formats.
#pragma once

#include "canvas.h"

#include <cstdint>
#include <string>
#include <vector>

namespace assets {

// materials.cpp -- object textures (tile seamlessly unless bevelled).
struct WoodStyle {
  Rgb light, dark;
  int rings;       // growth rings across the board
  float warp;      // how much the rings wander
  bool cathedral;  // flat-sawn arches instead of straight grain
  uint32_t seed;
};
Canvas Wood(int size, const WoodStyle& style);
Canvas BurlWood(int size);
Canvas Parquet(int size);
Canvas Gingham(int size);
Canvas Leopard(int size);
Canvas TableCloth(int size);
Canvas WavedDouble(int size);
Canvas CheckerPlate(int size);
Canvas BrushedAluminium(int size);
Canvas CorrugatedSheet(int size);
Canvas Cork(int size);
Canvas StoneTiles(int size);
Canvas TealCloth(int size);

// outdoor.cpp -- ground, wall and sky.
Canvas Grass(int size);
Canvas WallWithGrass(int size);
// Face is one of "front" (+z), "back" (-z), "left" (-x), "right" (+x),
// "top" (+y), "bottom" (-y); see outdoor.cpp for the orientation of each.
Canvas SkyFace(int size, const char* face);

// fighter.cpp -- RGBA sprite, nose towards the top of the image.
Canvas Fighter(int size);

// icon.cpp -- the program's icon (RGBA, transparent rounded corners), and a
// Windows .ico holding one 32-bit image per canvas (sizes 1 to 256).
Canvas Icon(int size);
bool WriteIco(const std::string& path, const std::vector<Canvas>& sizes);

}  // namespace assets

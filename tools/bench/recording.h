// A recorded run of the program as plain data: per frame the view and
// projection, per draw the kind of mesh, its world matrix and the texture
// bound on stage 0, plus the pixels of every texture drawn. Made by
// RecordingDevice from the program's own device calls; replayed by the
// minimal OpenGL program.
#pragma once

#include <cstdint>
#include <vector>

namespace bench {

enum class MeshKind : uint8_t { kStrip, kCube, kPyramid };

struct RecordedDraw {
  MeshKind kind;
  int texture;  // index into Recording::textures, -1 for none
  float world[16];
};

struct RecordedFrame {
  float view[16];
  float projection[16];
  uint32_t firstDraw;
  uint32_t drawCount;
};

struct TextureImage {
  int width;
  int height;
  std::vector<uint8_t> bgra;  // level 0, rows top first
};

struct Recording {
  std::vector<RecordedFrame> frames;
  std::vector<RecordedDraw> draws;
  std::vector<TextureImage> textures;
};

}  // namespace bench

// Missing and broken image files, end to end through the capture tool: the
// program must start, report what it reports, and draw what it can. The
// frames are compared with a run on the intact images.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "capture_runner.h"

namespace reliability {
namespace {

namespace fs = std::filesystem;

const uint8_t kClear[3] = {0xCC, 0xCC, 0xFF};  // the clear and fog colour

class AssetFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir = MakeTempDir("assets");
    ASSERT_FALSE(m_dir.empty());
  }
  void TearDown() override { RemoveTree(m_dir); }

  // A full copy of the generated images in a folder of its own.
  std::string Assets(const std::string& name) {
    const std::string dir = m_dir + "/" + name;
    fs::create_directories(dir);
    CopyAssets(dir);
    return dir;
  }

  // Runs the tool on `assets` and reads back the frame it wrote.
  ToolRun Capture(const std::string& assets, const std::string& size, const std::string& keys,
                  Frame* frame) {
    const std::string png = assets + "_frame.png";
    ToolRun run =
        RunCapture({"--size", size, "--keys", keys, "--assets", assets, "--out", png}, m_dir);
    std::string error;
    if (run.exited && run.exitCode == 0) {
      EXPECT_TRUE(ReadPng(png, frame, &error)) << error;
    }
    return run;
  }

  std::string m_dir;
};

std::vector<std::string> LinesStartingWith(const std::string& text, const std::string& prefix) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line))
    if (line.compare(0, prefix.size(), prefix) == 0) lines.push_back(line);
  return lines;
}

// Pixels that differ between two frames of the same size.
std::vector<bool> DiffMask(const Frame& a, const Frame& b) {
  std::vector<bool> mask(size_t(a.width) * a.height, false);
  for (size_t i = 0; i < mask.size(); ++i)
    mask[i] = std::memcmp(&a.rgb[i * 3], &b.rgb[i * 3], 3) != 0;
  return mask;
}

size_t Count(const std::vector<bool>& mask) { return std::count(mask.begin(), mask.end(), true); }

// The most frequent colour of a row, as 0xRRGGBB.
uint32_t RowMode(const Frame& frame, int y) {
  std::map<uint32_t, int> counts;
  for (int x = 0; x < frame.width; ++x) {
    const uint8_t* p = frame.At(x, y);
    ++counts[uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2]];
  }
  return std::max_element(counts.begin(), counts.end(),
                          [](const auto& a, const auto& b) { return a.second < b.second; })
      ->first;
}

TEST_F(AssetFaults, WithoutPicFolderSkyFacesAreReportedInOrderAndTheFieldDrawsUntextured) {
  const std::string bare = m_dir + "/bare";
  fs::create_directories(bare);
  fs::copy_file(fs::path(EF_ASSET_DIR) / "FIGHTER.png", bare + "/FIGHTER.png");
  Frame frame;
  ToolRun run = Capture(bare, "320x240", "up*100", &frame);
  ASSERT_TRUE(run.exited) << "killed by signal " << run.signal << "\n" << run.err;
  ASSERT_EQ(0, run.exitCode) << run.err;
  EXPECT_EQ(0u, run.out.find("eye=55,1,20 ")) << run.out;

  const std::vector<std::string> expected = {
      "Fehler: Fehler beim Laden der Textur Sky FRONT",
      "Fehler: Fehler beim Laden der Textur Sky BACK",
      "Fehler: Fehler beim Laden der Textur Sky LEFT",
      "Fehler: Fehler beim Laden der Textur Sky RIGHT",
      "Fehler: Fehler beim Laden der Textur Sky TOP",
      "Fehler: Fehler beim Laden der Textur Sky BOTTOM",
  };
  EXPECT_EQ(expected, LinesStartingWith(run.err, "Fehler")) << "stderr:\n" << run.err;

  ASSERT_EQ(320, frame.width);
  // The near floor (the bottom quarter: closer than the fog's start) is plain
  // white, the untextured strips' colour.
  for (int y = frame.height * 3 / 4; y < frame.height; ++y)
    for (int x = 0; x < frame.width; ++x) {
      const uint8_t* p = frame.At(x, y);
      ASSERT_TRUE(p[0] == 255 && p[1] == 255 && p[2] == 255)
          << "pixel (" << x << ", " << y << ") is (" << int(p[0]) << ", " << int(p[1]) << ", "
          << int(p[2]) << "), want untextured white";
    }
  // Upwards the floor fades from white into the clear colour: each row's
  // commonest colour lies between the two and never gets whiter going up.
  int previousRed = 255;
  int fogRows = 0;
  for (int y = frame.height - 1; y >= 0; --y) {
    const uint32_t mode = RowMode(frame, y);
    const int r = mode >> 16, g = (mode >> 8) & 0xFF, b = mode & 0xFF;
    EXPECT_TRUE(r == g && b == 255 && r >= kClear[0] && r <= previousRed)
        << "row " << y << ": commonest colour (" << r << ", " << g << ", " << b
        << "), want grey-blue between white and the clear colour, red <= " << previousRed;
    if (r > kClear[0] && r < 255) ++fogRows;
    previousRed = r;
  }
  EXPECT_GT(fogRows, 0) << "no row shows the floor fogged part-way to the clear colour";
  EXPECT_EQ(0xCCCCFFu, RowMode(frame, 0)) << "top row is not the clear colour";

  // The same view with the images is grass: green over the near floor.
  Frame normal;
  ToolRun normalRun = Capture(Assets("normal"), "320x240", "up*100", &normal);
  ASSERT_EQ(0, normalRun.exitCode) << normalRun.err;
  long red = 0, green = 0, blue = 0;
  for (int y = normal.height * 3 / 4; y < normal.height; ++y)
    for (int x = 0; x < normal.width; ++x) {
      red += normal.At(x, y)[0];
      green += normal.At(x, y)[1];
      blue += normal.At(x, y)[2];
    }
  EXPECT_TRUE(green > red && green > blue) << "intact images: near floor sums R " << red << " G "
                                           << green << " B " << blue << ", want grass (green)";
  EXPECT_TRUE(LinesStartingWith(normalRun.err, "Fehler").empty()) << normalRun.err;
}

// Writes a 24-bit BMP of one colour (the loader goes by the bytes, not the
// file's extension).
void WriteSolidBmp(const std::string& path, int size, uint8_t r, uint8_t g, uint8_t b) {
  const uint32_t rowBytes = uint32_t(size) * 3;  // a multiple of 4 for sizes divisible by 4
  const uint32_t dataBytes = rowBytes * uint32_t(size);
  std::vector<uint8_t> file(54 + dataBytes, 0);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) file[at + i] = uint8_t(v >> (8 * i));
  };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, uint32_t(file.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, uint32_t(size));
  put32(22, uint32_t(size));
  file[26] = 1;
  file[28] = 24;
  put32(34, dataBytes);
  for (size_t i = 54; i + 2 < file.size(); i += 3) {
    file[i] = b;
    file[i + 1] = g;
    file[i + 2] = r;
  }
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(file.data()), file.size());
}

// Code 4 cells use holz2. Its pixels in the frame are found by drawing once
// with holz2 swapped for plain magenta; a broken holz2 may change only those
// (and the pyramids drawn right after a holz2 cube, which take their tint
// from the last texture bound: the magenta run marks those too).
TEST_F(AssetFaults, BrokenCubeImageLeavesOnlyItsOwnCubesUntextured) {
  const std::string keys = "up*100";  // holz2 cubes at (50, 40) and a tinted pyramid in view
  Frame normal, marked;
  ASSERT_EQ(0, Capture(Assets("normal"), "320x240", keys, &normal).exitCode);
  const std::string markedDir = Assets("marked");
  WriteSolidBmp(markedDir + "/pic/obj/holz2.jpg", 64, 255, 0, 255);
  ASSERT_EQ(0, Capture(markedDir, "320x240", keys, &marked).exitCode);
  const std::vector<bool> holz2Pixels = DiffMask(normal, marked);
  ASSERT_GT(Count(holz2Pixels), 100u) << "no holz2 cube in view: the test's view is wrong";

  const std::string original = ReadText(std::string(EF_ASSET_DIR) + "/pic/obj/holz2.jpg");
  const struct {
    const char* name;
    std::string bytes;
  } breakages[] = {
      {"truncated", original.substr(0, 300)},
      {"garbage", std::string(original.size(), '\x5A')},
      {"header_then_garbage", original.substr(0, 4) + std::string(4000, '\xFF')},
      {"empty", ""},
  };
  for (const auto& broken : breakages) {
    SCOPED_TRACE(broken.name);
    const std::string dir = Assets(broken.name);
    std::ofstream(dir + "/pic/obj/holz2.jpg", std::ios::binary | std::ios::trunc) << broken.bytes;
    Frame frame;
    ToolRun run = Capture(dir, "320x240", keys, &frame);
    ASSERT_TRUE(run.exited) << "killed by signal " << run.signal << "\n" << run.err;
    ASSERT_EQ(0, run.exitCode) << run.err;
    EXPECT_TRUE(LinesStartingWith(run.err, "Fehler").empty()) << run.err;

    const std::vector<bool> changed = DiffMask(normal, frame);
    size_t outside = 0, whiteInside = 0;
    for (size_t i = 0; i < changed.size(); ++i) {
      if (changed[i] && !holz2Pixels[i]) ++outside;
      const uint8_t* p = &frame.rgb[i * 3];
      // Untextured: white, or white fogged toward the clear colour.
      if (holz2Pixels[i] && p[0] == p[1] && p[2] == 255 && p[0] >= kClear[0]) ++whiteInside;
    }
    EXPECT_GT(Count(changed), 100u) << "the broken holz2 changed nothing";
    EXPECT_EQ(0u, outside) << "pixels changed away from the holz2 cubes";
    EXPECT_GT(whiteInside, Count(holz2Pixels) / 2)
        << "of " << Count(holz2Pixels) << " holz2 pixels only " << whiteInside << " are untextured";
  }
}

// FIGHTER.png, the wall and object textures 6..16 are loaded but never drawn.
TEST_F(AssetFaults, ImagesTheSceneNeverDrawsChangeNoPixelWhenMissing) {
  const std::vector<std::string> args = {
      "--size",  "160x120", "--keys", "up*300 right*60 up*300 left*120 up*200 pgup*30",
      "--every", "168"};
  const std::string normal = Assets("normal");
  const std::string pruned = Assets("pruned");
  const char* unused[] = {"FIGHTER.png",         "pic/mauergrass.jpg",  "pic/obj/BURLWOOD.jpg",
                          "pic/obj/PARQUET.jpg", "pic/obj/WOOD04.jpg",  "pic/obj/S_BLECH2.jpg",
                          "pic/obj/ALU.jpg",     "pic/obj/W-BLECH.jpg", "pic/obj/holz10.jpg",
                          "pic/obj/holz12.jpg",  "pic/obj/Kork1.jpg",   "pic/obj/st2007.jpg",
                          "pic/obj/TEALCLOT.jpg"};
  for (const char* file : unused) ASSERT_TRUE(fs::remove(pruned + "/" + file)) << file;

  // Nothing complains of the missing files but the layer's report, one line
  // each: apart from it both runs say the same, and no message box shows.
  std::vector<std::string> errs;
  for (const std::string& dir : {normal, pruned}) {
    std::vector<std::string> runArgs = args;
    runArgs.insert(runArgs.end(), {"--assets", dir, "--frames-dir", dir + "_frames"});
    ToolRun run = RunCapture(runArgs, m_dir);
    ASSERT_EQ(0, run.exitCode) << dir << ": " << run.err;
    EXPECT_TRUE(LinesStartingWith(run.err, "Fehler").empty()) << dir << ": " << run.err;
    errs.push_back(run.err);
  }
  const std::string report = "d3dx9: cannot load \"";
  const std::vector<std::string> reported = LinesStartingWith(errs[1], report);
  EXPECT_EQ(std::size(unused), reported.size()) << errs[1];
  for (const char* file : unused)
    EXPECT_EQ(
        1u, LinesStartingWith(errs[1], report + file + "\" (in the folder " + pruned + ")").size())
        << file << " not reported once:\n"
        << errs[1];
  std::string rest;
  std::istringstream lines(errs[1]);
  for (std::string line; std::getline(lines, line);)
    if (line.compare(0, report.size(), report) != 0) rest += line + "\n";
  EXPECT_EQ(errs[0], rest);
  int frames = 0;
  for (const auto& entry : fs::directory_iterator(normal + "_frames")) {
    const std::string name = entry.path().filename().string();
    SCOPED_TRACE(name);
    const std::string a = ReadText(entry.path().string());
    const std::string b = ReadText(pruned + "_frames/" + name);
    ASSERT_FALSE(a.empty());
    EXPECT_TRUE(a == b) << "frame differs without the unused images";
    ++frames;
  }
  EXPECT_EQ(6, frames);
}

}  // namespace
}  // namespace reliability

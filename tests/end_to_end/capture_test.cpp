// The capture tool end to end: the program's own start-up and frames,
// offscreen, with the generated images. Checks what the start view shows
// where, the recycling after a straight run, and the tool's option errors.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "d3dx9/image_file.h"

namespace {

struct ToolRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

std::string Slurp(const std::string& path) {
  std::string text;
  if (FILE* f = fopen(path.c_str(), "rb")) {
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof(buffer), f)) > 0) text.append(buffer, n);
    fclose(f);
  }
  return text;
}

class CaptureTool : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/ef_capture_XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(pattern));
    dir = pattern;
  }
  void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }

  ToolRun Capture(const std::string& args) {
    std::string command = std::string("cd '") + EF_BUILD_DIR + "' && '" + EF_CAPTURE_TOOL + "' " +
                          args + " >'" + dir + "/out.txt' 2>'" + dir + "/err.txt'";
    int status = std::system(command.c_str());
    ToolRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = Slurp(dir + "/out.txt");
    run.err = Slurp(dir + "/err.txt");
    return run;
  }

  // Mean colour (R, G, B) of a square of pixels around (x, y).
  static void MeanColour(const platform::Image& image, int x, int y, int radius, double rgb[3]) {
    rgb[0] = rgb[1] = rgb[2] = 0;
    int n = 0;
    for (int j = y - radius; j <= y + radius; ++j)
      for (int i = x - radius; i <= x + radius; ++i, ++n) {
        const uint8_t* p = &image.pixels[(size_t(j) * image.info.width + i) * 4];
        rgb[0] += p[2];
        rgb[1] += p[1];
        rgb[2] += p[0];
      }
    for (int c = 0; c < 3; ++c) rgb[c] /= n;
  }

  std::string dir;
};

TEST_F(CaptureTool, StartViewShowsSkyGrassAndTheObstaclesWhereTheyBelong) {
  ToolRun run = Capture("--out '" + dir + "/start.png'");
  ASSERT_EQ(0, run.exitCode) << run.err;
  EXPECT_EQ("eye=55,1,0 yaw=0 pitch=0.1 fieldOffset=0 firstRow=0 frames=1\n", run.out);

  platform::Image frame;
  platform::ImageError error;
  ASSERT_TRUE(platform::DecodeImageFile(dir + "/start.png", 4096, &frame, &error))
      << platform::ImageErrorName(error);
  ASSERT_EQ(824u, frame.info.width);
  ASSERT_EQ(568u, frame.info.height);

  double rgb[3];
  MeanColour(frame, 412, 20, 3, rgb);  // above the horizon: the clear colour
  EXPECT_NEAR(204, rgb[0], 1);
  EXPECT_NEAR(204, rgb[1], 1);
  EXPECT_NEAR(255, rgb[2], 1);

  MeanColour(frame, 412, 520, 10, rgb);  // the grass just ahead
  EXPECT_GT(rgb[1], rgb[0] + 20) << "green";
  EXPECT_GT(rgb[1], rgb[2] + 20) << "green";

  // Row 4, column 5: the cube of code 4 at (50, 0, 40), textured with
  // "pic/obj/holz2.jpg", fogged by (70 - 38.8) / 45 of the way. Its upper
  // half's front face projects around (323, 361) at this camera.
  platform::Image wood;
  ASSERT_TRUE(platform::DecodeImageFile(std::string(EF_BUILD_DIR) + "/pic/obj/holz2.jpg", 4096,
                                        &wood, &error));
  double woodMean[3] = {0, 0, 0};
  for (size_t i = 0; i < wood.pixels.size(); i += 4) {
    woodMean[0] += wood.pixels[i + 2];
    woodMean[1] += wood.pixels[i + 1];
    woodMean[2] += wood.pixels[i];
  }
  const double fog = (70.0 - 38.76) / 45.0;
  const double fogColour[3] = {204, 204, 255};
  MeanColour(frame, 323, 361, 3, rgb);
  for (int c = 0; c < 3; ++c) {
    double expected = fog * woodMean[c] / (wood.pixels.size() / 4) + (1 - fog) * fogColour[c];
    EXPECT_NEAR(expected, rgb[c], 30) << "channel " << c;
  }
}

TEST_F(CaptureTool, AStraightRunRecyclesTheNearestRow) {
  ToolRun run = Capture("--keys up*51");
  ASSERT_EQ(0, run.exitCode) << run.err;
  EXPECT_NE(std::string::npos, run.out.find("fieldOffset=10 firstRow=1 frames=51\n")) << run.out;
}

TEST_F(CaptureTool, WritesEveryKthFrame) {
  ToolRun run =
      Capture("--size 64x48 --keys \"up*4 left*2\" --frames-dir '" + dir + "/frames' --every 3");
  ASSERT_EQ(0, run.exitCode) << run.err;
  platform::ImageFileInfo info;
  platform::ImageError error;
  EXPECT_TRUE(platform::ReadImageFileInfo(dir + "/frames/frame_000003.png", &info, &error));
  EXPECT_EQ(64u, info.width);
  EXPECT_TRUE(platform::ReadImageFileInfo(dir + "/frames/frame_000006.png", &info, &error));
  EXPECT_FALSE(platform::ReadImageFileInfo(dir + "/frames/frame_000004.png", &info, &error));
  EXPECT_NE(std::string::npos, run.out.find("yaw=-0.02 ")) << run.out;
}

TEST_F(CaptureTool, BadOptionsGetAOneLineUsageErrorAndExitCodeTwo) {
  for (const char* args : {"--bogus", "--size 10", "--size 0x5", "--keys \"jump*3\"", "--keys up*0",
                           "--every 2", "--ms-per-frame", "--out"}) {
    ToolRun run = Capture(args);
    EXPECT_EQ(2, run.exitCode) << args;
    EXPECT_TRUE(run.out.empty()) << args;
    ASSERT_FALSE(run.err.empty()) << args;
    EXPECT_EQ(run.err.size() - 1, run.err.find('\n')) << "one line for " << args << ": " << run.err;
  }
}

}  // namespace

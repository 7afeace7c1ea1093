// Long runs: a straight flythrough of many frames through the capture tool
// (memory stays flat, the field keeps in step with the eye, the camera stays
// finite), and the float arithmetic of a straight run followed to its end,
// where the eye's z stops changing.
//
// The straight run is followed in plain floats the way the program does it:
// one camera step per frame (the capture tool's 3 ms a frame is over the
// 2 ms the program waits between steps) of eyeZ += cosf(0) * 0.2f, and a row
// recycled when the eye enters [10n, 10n + 1) ahead of the nearest strip.
// The soak checks that this model matches the real program frame for frame;
// the float tests then carry it to the point where the eye stops.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "capture_runner.h"

namespace reliability {
namespace {

const int kGridRows = 11;
const double kStepsPerSecond = 1000.0 / 3.0;  // a step when more than 2 ms have passed

struct StraightRun {
  float eyeZ = 0.0f;
  float fieldOffset = 0.0f;
  float lastRecycleZ = 0.0f;
  bool recycled = false;
  long recycles = 0;

  void Frame() {
    eyeZ += std::cos(0.0f) * 0.2f;
    const float d = eyeZ - lastRecycleZ;
    if (d * d > 2.0f) recycled = false;
    const int k = static_cast<int>(eyeZ);
    if (k % 10 == 0 && eyeZ > 1.0f && !recycled && eyeZ >= fieldOffset + 10.0f) {
      recycled = true;
      lastRecycleZ = eyeZ;
      fieldOffset += 10.0f;
      ++recycles;
    }
  }
};

struct Printed {
  float eyeX = NAN, eyeY = NAN, eyeZ = NAN, yaw = NAN, pitch = NAN, fieldOffset = NAN;
  int firstRow = -1;
  long frames = -1;
  std::string eyeZText;  // as printed (%.7g)
};

bool ParseSummary(const std::string& line, Printed* p) {
  char x[32], y[32], z[32], yaw[32], pitch[32], offset[32];
  const char* format =
      "eye=%31[^,],%31[^,],%31s yaw=%31s pitch=%31s fieldOffset=%31s firstRow=%d frames=%ld";
  if (std::sscanf(line.c_str(), format, x, y, z, yaw, pitch, offset, &p->firstRow, &p->frames) != 8)
    return false;
  p->eyeX = std::strtof(x, nullptr);
  p->eyeY = std::strtof(y, nullptr);
  p->eyeZ = std::strtof(z, nullptr);
  p->eyeZText = z;
  p->yaw = std::strtof(yaw, nullptr);
  p->pitch = std::strtof(pitch, nullptr);
  p->fieldOffset = std::strtof(offset, nullptr);
  return true;
}

long SoakFrames() {
  if (const char* text = std::getenv("EF_SOAK_FRAMES")) return std::strtol(text, nullptr, 10);
#ifdef __SANITIZE_ADDRESS__
  return 5000;  // the instrumented build is several times slower
#else
  return 20000;
#endif
}

TEST(LongRun, StraightFlythroughKeepsMemoryFlatAndTheFieldInStep) {
  const long frames = SoakFrames();
  ASSERT_GT(frames, 0);
  // Memory is sampled by the tool itself at fixed frames, 60 in all, so that
  // every machine judges the same samples whatever its speed.
  const long every = std::max(1L, frames / 60);
  const std::string dir = MakeTempDir("soak");
  ToolRun run = RunCapture({"--size", "160x120", "--keys", "up*" + std::to_string(frames),
                            "--assets", EF_ASSET_DIR, "--memory-every", std::to_string(every)},
                           dir);
  RemoveTree(dir);
  ASSERT_TRUE(run.exited) << "killed by signal " << run.signal << "\n" << run.err;
  ASSERT_EQ(0, run.exitCode) << run.err;

  Printed printed;
  ASSERT_TRUE(ParseSummary(run.out, &printed)) << run.out;
  EXPECT_EQ(frames, printed.frames);
  for (float value : {printed.eyeX, printed.eyeY, printed.eyeZ, printed.yaw, printed.pitch})
    EXPECT_TRUE(std::isfinite(value)) << "camera value not finite in: " << run.out;

  StraightRun model;
  for (long i = 0; i < frames; ++i) model.Frame();
  char modelEyeZ[32];
  std::snprintf(modelEyeZ, sizeof(modelEyeZ), "%.7g", model.eyeZ);  // as the tool prints it
  EXPECT_EQ(modelEyeZ, printed.eyeZText)
      << "the program's eye z differs from the float model: " << run.out;
  EXPECT_EQ(10.0f * model.recycles, printed.fieldOffset)
      << "fieldOffset is not 10 x " << model.recycles << " recycles";
  EXPECT_EQ(model.recycles % kGridRows, printed.firstRow);
  EXPECT_TRUE(printed.eyeZ >= printed.fieldOffset && printed.eyeZ < printed.fieldOffset + 10.0f)
      << "eye z " << printed.eyeZ << " outside the nearest strip [" << printed.fieldOffset << ", "
      << printed.fieldOffset + 10.0f << ")";
  EXPECT_EQ(static_cast<long>(std::floor(printed.eyeZ / 10.0)), model.recycles)
      << "not one recycle per 10 units travelled";

  // Memory: skip the first fifth (start-up, first frames), then take the peak
  // of each third of the rest. A leak raises every third over the one before;
  // the heap's high-water mark (the layer keeps freed memory for the driver's
  // next frame) may step up once, in one of them, and the allocator's
  // page-sized swings stay within a third.
  std::vector<long> rssKb;
  for (size_t at = run.out.find("memory frame="); at != std::string::npos;
       at = run.out.find("memory frame=", at + 1)) {
    long frame = 0, kb = 0;
    ASSERT_EQ(2, std::sscanf(run.out.c_str() + at, "memory frame=%ld rss_kb=%ld", &frame, &kb));
    EXPECT_EQ(every * static_cast<long>(rssKb.size() + 1), frame);
    rssKb.push_back(kb);
  }
  const size_t n = rssKb.size();
  ASSERT_EQ(static_cast<size_t>(frames / every), n) << run.out;
  const size_t warm = n / 5, third = (n - warm) / 3;
  long peak[3] = {0, 0, 0};
  for (size_t i = warm; i < n; ++i) {
    long& p = peak[std::min<size_t>((i - warm) / third, 2)];
    p = std::max(p, rssKb[i]);
  }
  std::printf(
      "soak: %ld frames in %.1f s (%.0f frames/s); VmRSS first %ld kB, after warm-up %ld kB, "
      "peaks of the thirds %ld, %ld, %ld kB, last %ld kB; %ld recycles, eye z %.7g\n",
      frames, run.seconds, frames / run.seconds, rssKb.front(), rssKb[warm], peak[0], peak[1],
      peak[2], rssKb.back(), model.recycles, printed.eyeZ);
#ifdef __SANITIZE_ADDRESS__
  std::printf("soak: memory not judged (AddressSanitizer's quarantine holds freed blocks)\n");
#else
  const long growth = std::min(peak[1] - peak[0], peak[2] - peak[1]);
  EXPECT_LT(growth, 512) << "resident memory grew by at least " << growth << " kB a third";
#endif
}

// Where the straight run's eye stops: adding 0.2 changes a float no more once
// 0.2 is below half its spacing, i.e. from 2^22 (spacing 0.5) on.
TEST(FloatLimit, StraightRunStopsAtTwoToTheTwentySecond) {
  StraightRun run;
  long long steps = 0;
  float previous = -1.0f;
  bool recycleMissed = false;
  while (run.eyeZ != previous) {
    previous = run.eyeZ;
    run.Frame();
    ++steps;
    // Rows keep up all the way: one recycle per 10 units, the eye on the
    // nearest strip, and the offset an exact multiple of 10.
    if (run.recycles != static_cast<long>(std::floor(run.eyeZ / 10.0)) ||
        static_cast<double>(run.fieldOffset) != 10.0 * run.recycles) {
      recycleMissed = true;
      ADD_FAILURE() << "at step " << steps << " eye z " << run.eyeZ << ": " << run.recycles
                    << " recycles, fieldOffset " << run.fieldOffset;
      break;
    }
  }
  --steps;  // the last step changed nothing
  const double hours = steps / kStepsPerSecond / 3600.0;
  std::printf(
      "float limit: eye z stops at %.1f after %lld steps (%.2f h at %.0f steps/s); "
      "%ld recycles, fieldOffset %.1f\n",
      run.eyeZ, steps, hours, kStepsPerSecond, run.recycles, run.fieldOffset);
  EXPECT_FALSE(recycleMissed);
  EXPECT_EQ(4194304.0f, run.eyeZ);
  EXPECT_EQ(419430, run.recycles);
  EXPECT_EQ(4194300.0f, run.fieldOffset);
  // Past the stop nothing moves: the eye is parked on the nearest strip.
  for (int i = 0; i < 1000; ++i) run.Frame();
  EXPECT_EQ(4194304.0f, run.eyeZ);
  EXPECT_EQ(419430, run.recycles);
}

// On the way the step is not 0.2 but 0.2 rounded to the float spacing at the
// eye: close to 0.2 near the start, 0.1875 from 2^18 and 0.25 from 2^20 on.
TEST(FloatLimit, StepLengthFollowsTheFloatSpacing) {
  struct {
    float at;
    float step;
  } expected[] = {
      {1000.0f, 3277.0f / 16384.0f},  // spacing 2^-14: 0.2 to within 3e-5
      {131072.0f, 0.203125f},         // 2^17, spacing 2^-6
      {262144.0f, 0.1875f},           // 2^18, spacing 2^-5
      {524288.0f, 0.1875f},           // 2^19, spacing 2^-4
      {1048576.0f, 0.25f},            // 2^20, spacing 2^-3
      {2097152.0f, 0.25f},            // 2^21, spacing 2^-2
      {4194303.75f, 0.25f},           // the last step that moves
      {4194304.0f, 0.0f},             // 2^22, spacing 0.5: 0.2 rounds away
      {16777216.0f, 0.0f},
  };
  for (const auto& e : expected) {
    const float next = e.at + std::cos(0.0f) * 0.2f;
    EXPECT_EQ(e.step, next - e.at) << "eye z " << e.at;
  }
  // Not a limit that comes first: fieldOffset's += 10 is exact far beyond
  // 2^22 (multiples of 10 are floats up to 2^25), and (int)eyeZ fits an int.
  EXPECT_EQ(4194310.0f, 4194300.0f + 10.0f);
  EXPECT_EQ(33554430.0f, 33554420.0f + 10.0f);
}

}  // namespace
}  // namespace reliability

// The program's steady frames, headless, through the real program code and
// the layer: after the first frame, 1,000 frames of the flythrough (forward,
// a turn, forward again, with rows recycled on the way) make no C++
// allocation, no malloc from our own code and open no file. A frame that
// allocates or touches the disk stalls at random under load.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include <string>
#include <vector>

#include "call_counters.h"
#include "headless_run.h"
#include "world/world.h"

namespace {

void* volatile g_sink;

// The counters themselves: a zero below means nothing only if they see calls.
TEST(SteadyFrames, CountersSeeAllocationsAndOpens) {
  if (!perf::CountersAvailable()) GTEST_SKIP() << "call counting is off under AddressSanitizer";
  perf::StartCounting();
  int* number = new int(7);
  g_sink = number;
  void* block = malloc(16);
  g_sink = block;
  FILE* file = fopen("/dev/null", "r");
  const perf::CallCounts counts = perf::StopCounting();
  delete number;
  free(block);
  if (file) fclose(file);
  EXPECT_EQ(1, counts.cppAllocations);
  // Only malloc(16): operator new takes glibc's allocator directly, and
  // fopen's own allocation comes from inside the C library.
  EXPECT_EQ(1, counts.ownMallocs);
  EXPECT_EQ(1, counts.fileOpens);
  EXPECT_EQ(1, counts.ownFileOpens);
  EXPECT_STREQ("/dev/null", counts.lastOpenedPath);
}

TEST(SteadyFrames, AllocateNothingAndOpenNoFile) {
  if (!perf::CountersAvailable()) GTEST_SKIP() << "call counting is off under AddressSanitizer";
  ASSERT_EQ(0, chdir(EF_BUILD_DIR)) << "the images live in " << EF_BUILD_DIR;
  std::vector<headless::KeyStep> steps;
  std::string error;
  ASSERT_TRUE(headless::ParseKeyScript("up*600 right*100 up*600", &steps, &error)) << error;
  ASSERT_TRUE(headless::StartProgram(824, 568));

  // Flattened key of every frame, so the counted loop does no bookkeeping of its own.
  std::vector<int> keys;
  for (const headless::KeyStep& step : steps) keys.insert(keys.end(), step.frames, step.dik);
  ASSERT_GE(keys.size(), 1001u);
  headless::RunFrame(keys[0], 3);
  const float fieldOffsetBefore = g_fieldOffset;

  MSG msg;
  perf::StartCounting();
  for (size_t frame = 1; frame <= 1000; ++frame) {
    // The loop body of WinMain: nothing is pending, so a frame is drawn.
    PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE);
    headless::RunFrame(keys[frame], 3);
  }
  const perf::CallCounts counts = perf::StopCounting();

  EXPECT_GT(g_fieldOffset, fieldOffsetBefore) << "the flythrough recycled no row";
  EXPECT_EQ(0, counts.cppAllocations) << "operator new calls in 1,000 frames";
  EXPECT_EQ(0, counts.ownMallocs) << "malloc/calloc/realloc calls from our code in 1,000 frames";
  EXPECT_EQ(0, counts.ownFileOpens)
      << "file opens from our code in 1,000 frames, last " << counts.lastOpenedPath;
  EXPECT_EQ(0, counts.fileOpens) << "file opens in 1,000 frames (any library), last "
                                 << counts.lastOpenedPath;
}

}  // namespace

// endless-field-bench: speed figures of the whole program, headless.
//
//   endless-field-bench program --size WxH --keys SCRIPT [--times FILE] [--info]
//       The program's own start-up, then every frame of the key script
//       through RenderFrame with the manual clock advanced 3 ms per frame
//       (a deterministic camera path). Prints the frame rate over all frames
//       but the first (which compiles shader variants), the CPU time per
//       frame and the peak resident memory.
//   endless-field-bench minimal --size WxH --keys SCRIPT [--times FILE] [--info]
//       Records the same run's draws (world matrix, mesh, texture) through a
//       pass-through device, then replays them with the minimal OpenGL
//       program (minimal_gl.h) and prints the same figures. With --skip N
//       under valgrind --tool=callgrind --instr-atstart=no, only the
//       replayed frames after the first N are instrumented.
//   --out FILE.png (program, minimal) writes the last frame, to check that
//       both draw the same picture.
//   --window (program, minimal) draws into a shown window at (20, 20), as
//       the viewer's, on the display SDL_VIDEODRIVER names (say x11 under
//       Xvfb), instead of a hidden one.
//   endless-field-bench profile --size WxH --keys SCRIPT --skip N
//       As `program`, but only the frames after the first N are
//       instrumented when run under valgrind --tool=callgrind
//       --instr-atstart=no. Built without valgrind's headers, the hooks are
//       empty and the whole run is profiled.
//   endless-field-bench startup [--frames N] -- COMMAND ARGS...
//       Runs COMMAND with first_frame_probe.so preloaded; prints the time
//       from the start of the process to the end of its first
//       SDL_GL_SwapWindow, the CPU time it had used by then (which a loaded
//       machine does not stretch), and its peak resident memory after N
//       frames.
//   endless-field-bench rate [--skip N] [--frames M] -- COMMAND ARGS...
//       Runs COMMAND (the viewer, say) with the same probe and prints its
//       frame rate over M presented frames after the first N: counted in
//       frames, with nothing in the driver to slow it (Mesa's GALLIUM_HUD
//       costs the viewer a third of its rate).
//
// Run from the folder that holds the program's images (pic/, FIGHTER.png).
#include <dlfcn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#if EF_HAVE_CALLGRIND_H
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_START_INSTRUMENTATION (void)0
#define CALLGRIND_STOP_INSTRUMENTATION (void)0
#endif

#include <GL/glcorearb.h>
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "app/app.h"
#include "d3d9/device.h"
#include "d3d9/gl_functions.h"
#include "headless_run.h"
#include "minimal_gl.h"
#include "recording_device.h"

namespace {

using Clock = std::chrono::steady_clock;

const DWORD kMsPerFrame = 3;

struct Options {
  std::string mode;
  int width = 824;
  int height = 568;
  std::vector<headless::KeyStep> steps{{0, 300}};
  std::string timesFile;
  std::string out;
  bool info = false;
  bool window = false;
  long skip = 0;
  long probeFrames = 200;
  bool probeFramesGiven = false;
  std::vector<char*> command;
};

[[noreturn]] void Fail(const std::string& what) {
  fprintf(stderr, "endless-field-bench: %s\n", what.c_str());
  exit(2);
}

Options ParseOptions(int argc, char** argv) {
  if (argc < 2) Fail("usage: endless-field-bench program|minimal|profile|startup|rate [options]");
  Options o;
  o.mode = argv[1];
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) Fail(arg + " needs a value");
      return argv[++i];
    };
    if (arg == "--size") {
      const std::string v = value();
      if (sscanf(v.c_str(), "%dx%d", &o.width, &o.height) != 2) Fail("bad --size " + v);
    } else if (arg == "--keys") {
      std::string error;
      if (!headless::ParseKeyScript(value(), &o.steps, &error)) Fail(error);
    } else if (arg == "--times") {
      o.timesFile = value();
    } else if (arg == "--out") {
      o.out = value();
    } else if (arg == "--info") {
      o.info = true;
    } else if (arg == "--window") {
      o.window = true;
    } else if (arg == "--skip") {
      if (!headless::ParseCount(value(), &o.skip)) Fail("bad --skip");
    } else if (arg == "--frames") {
      if (!headless::ParseCount(value(), &o.probeFrames)) Fail("bad --frames");
      o.probeFramesGiven = true;
    } else if (arg == "--") {
      for (++i; i < argc; ++i) o.command.push_back(argv[i]);
    } else {
      Fail("unknown option " + arg);
    }
  }
  o.command.push_back(nullptr);
  return o;
}

double CpuSeconds() {
  timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

long PeakRssKb() {
  rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// Frames per second over every frame but the first, and the times file.
void Report(const Options& o, const std::vector<double>& seconds, double cpuSeconds) {
  double total = 0.0;
  for (size_t i = 1; i < seconds.size(); ++i) total += seconds[i];
  const double frames = static_cast<double>(seconds.size() > 1 ? seconds.size() - 1 : 1);
  printf("fps=%.1f frames=%zu ms_per_frame=%.3f cpu_ms_per_frame=%.3f peak_rss_kb=%ld\n",
         total > 0.0 ? frames / total : 0.0, seconds.size(), 1000.0 * total / frames,
         1000.0 * cpuSeconds / frames, PeakRssKb());
  if (!o.timesFile.empty()) {
    FILE* f = fopen(o.timesFile.c_str(), "w");
    if (!f) Fail("cannot write " + o.timesFile);
    for (size_t i = 0; i < seconds.size(); ++i)
      fprintf(f, "%zu %.4f\n", i + 1, 1000.0 * seconds[i]);
    fclose(f);
  }
}

void PrintGlInfo() {
  platform::GlFunctions& gl = platform::Gl();
  printf("GL_RENDERER=%s\nGL_VERSION=%s\n",
         reinterpret_cast<const char*>(gl.GetString(GL_RENDERER)),
         reinterpret_cast<const char*>(gl.GetString(GL_VERSION)));
  auto* device = dynamic_cast<platform::Device*>(g_pd3dDevice);
  printf("GL_BACK_BUFFER=%s\n", !device                                ? "?"
                                : device->Renderer().DrawsIntoWindow() ? "the window's framebuffer"
                                                                       : "a framebuffer object");
  int depthBits = 0;
  SDL_GL_GetAttribute(SDL_GL_DEPTH_SIZE, &depthBits);
  printf("DEPTH_BITS=%d\n", depthBits);
}

int RunProgram(const Options& o) {
  if (!headless::StartProgram(o.width, o.height, nullptr, o.window))
    Fail("the program did not start");
  if (o.info) PrintGlInfo();
  std::vector<double> seconds;
  seconds.reserve(static_cast<size_t>(headless::TotalFrames(o.steps)));
  double cpuStart = 0.0;
  for (const headless::KeyStep& step : o.steps) {
    for (long i = 0; i < step.frames; ++i) {
      const Clock::time_point start = Clock::now();
      headless::RunFrame(step.dik, kMsPerFrame);
      seconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
      if (seconds.size() == 1) cpuStart = CpuSeconds();
    }
  }
  Report(o, seconds, CpuSeconds() - cpuStart);
  if (!o.out.empty()) {
    std::vector<uint8_t> rgba;
    int width = 0, height = 0;
    std::string error;
    if (!headless::ReadFrame(&rgba, &width, &height) ||
        !headless::WritePng(o.out, rgba, width, height, &error))
      Fail("cannot write " + o.out);
  }
  return 0;
}

int RunMinimal(const Options& o) {
  bench::Recording recording;
  bench::RecordingDevice* recorder = nullptr;
  const bool started = headless::StartProgram(o.width, o.height, [&](IDirect3DDevice9* device) {
    recorder = new bench::RecordingDevice(device, &recording);
    return static_cast<IDirect3DDevice9*>(recorder);
  });
  if (!started) Fail("the program did not start");
  for (const headless::KeyStep& step : o.steps)
    for (long i = 0; i < step.frames; ++i) headless::RunFrame(step.dik, kMsPerFrame);
  std::vector<double> seconds;
  std::string error;
  const double cpuStart = CpuSeconds();
  std::vector<uint8_t> bottomUp;
  int depthBits = 0;
  // With --skip N (under callgrind), only the frames after the first N count.
  const auto beforeFrame = [&o](size_t frame) {
    if (o.skip > 0 && static_cast<long>(frame) == o.skip) CALLGRIND_START_INSTRUMENTATION;
  };
  if (!bench::RunMinimalGl(recording, o.width, o.height, o.window, &seconds,
                           o.out.empty() ? nullptr : &bottomUp, &depthBits, &error, beforeFrame))
    Fail("minimal OpenGL: " + error);
  if (o.info) printf("GL_BACK_BUFFER=the window's framebuffer\nDEPTH_BITS=%d\n", depthBits);
  if (o.skip > 0) CALLGRIND_STOP_INSTRUMENTATION;
  Report(o, seconds, CpuSeconds() - cpuStart);
  if (!o.out.empty()) {
    const size_t row = size_t(o.width) * 4;
    std::vector<uint8_t> rgba(bottomUp.size());
    for (int y = 0; y < o.height; ++y)
      std::memcpy(&rgba[row * y], &bottomUp[row * (o.height - 1 - y)], row);
    if (!headless::WritePng(o.out, rgba, o.width, o.height, &error)) Fail("cannot write " + o.out);
  }
  return 0;
}

int RunProfile(const Options& o) {
  if (!headless::StartProgram(o.width, o.height)) Fail("the program did not start");
  long frame = 0;
  for (const headless::KeyStep& step : o.steps) {
    for (long i = 0; i < step.frames; ++i, ++frame) {
      if (frame == o.skip) CALLGRIND_START_INSTRUMENTATION;
      headless::RunFrame(step.dik, kMsPerFrame);
    }
  }
  CALLGRIND_STOP_INSTRUMENTATION;
  printf("profiled_frames=%ld\n", frame - o.skip);
  return 0;
}

struct ProbeRun {
  long long firstNs = 0, firstCpuNs = 0, skipNs = 0, lastNs = 0, startNs = 0;
  long peakRssKb = 0;
};

// Runs o.command with first_frame_probe.so preloaded until it has presented
// `frames` frames, marking the one numbered `skip`.
ProbeRun RunProbed(const Options& o, long skip, long frames) {
  if (o.command.size() < 2) Fail(o.mode + " needs -- COMMAND");
  char probe[4096];
  const ssize_t n = readlink("/proc/self/exe", probe, sizeof probe - 64);
  if (n <= 0) Fail("cannot find the probe");
  probe[n] = '\0';
  strcpy(strrchr(probe, '/') + 1, "first_frame_probe.so");
  char result[] = "/tmp/ef_first_frame_XXXXXX";
  const int fd = mkstemp(result);
  if (fd < 0) Fail("mkstemp");
  close(fd);
  setenv("LD_PRELOAD", probe, 1);
  setenv("EF_PROBE_OUT", result, 1);
  setenv("EF_PROBE_FRAMES", std::to_string(frames).c_str(), 1);
  setenv("EF_PROBE_SKIP", std::to_string(skip).c_str(), 1);

  timespec t0;
  clock_gettime(CLOCK_MONOTONIC, &t0);
  const pid_t child = fork();
  if (child == 0) {
    execvp(o.command[0], o.command.data());
    _exit(127);
  }
  int status = 0;
  rusage usage;
  wait4(child, &status, 0, &usage);
  unsetenv("LD_PRELOAD");
  ProbeRun run;
  if (FILE* f = fopen(result, "r")) {
    if (fscanf(f, "%lld %lld %lld %lld", &run.firstNs, &run.firstCpuNs, &run.skipNs, &run.lastNs) !=
        4)
      run.firstNs = 0;
    fclose(f);
  }
  unlink(result);
  if (run.firstNs == 0) Fail("the command did not present its frames");
  run.startNs = static_cast<long long>(t0.tv_sec) * 1000000000LL + t0.tv_nsec;
  run.peakRssKb = usage.ru_maxrss;
  return run;
}

int RunStartup(const Options& o) {
  const ProbeRun run = RunProbed(o, 1, o.probeFrames);
  printf("first_frame_ms=%.1f first_frame_cpu_ms=%.1f peak_rss_kb=%ld frames=%ld\n",
         (run.firstNs - run.startNs) / 1e6, run.firstCpuNs / 1e6, run.peakRssKb, o.probeFrames);
  return 0;
}

int RunRate(const Options& o) {
  const long skip = o.skip > 0 ? o.skip : 100;
  const long frames = o.probeFramesGiven ? o.probeFrames : 3000;
  const ProbeRun run = RunProbed(o, skip, skip + frames);
  const double seconds = (run.lastNs - run.skipNs) / 1e9;
  printf("fps=%.1f frames=%ld skipped=%ld\n", seconds > 0 ? frames / seconds : 0.0, frames, skip);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const Options o = ParseOptions(argc, argv);
  if (o.mode == "program") return RunProgram(o);
  if (o.mode == "minimal") return RunMinimal(o);
  if (o.mode == "profile") return RunProfile(o);
  if (o.mode == "startup") return RunStartup(o);
  if (o.mode == "rate") return RunRate(o);
  Fail("unknown mode " + o.mode);
}

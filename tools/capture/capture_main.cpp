// endless-field-capture: runs the program's own scene set-up and frames with
// a scripted keyboard and a stepped clock, and writes frames as PNG files.
// The Linux build needs no display (SDL's offscreen video driver); the
// Windows build (endless-field-capture.exe, real Direct3D 9) opens a window.
//
//   endless-field-capture [--size WxH] [--keys "up*50 left*10 ..."]
//                         [--ms-per-frame N] [--out FILE.png]
//                         [--frames-dir DIR --every K] [--assets DIR]
//                         [--control NAME] [--memory-every K]
//
// --memory-every K prints the resident memory after every K-th frame, one
// line each after the summary ("memory frame=N rss_kb=KB"): samples counted
// in frames, so that a faster or slower machine takes the same ones.
//
// --control renders a deliberately wrong picture, for proving that a picture
// comparison rejects it: the program's scene is set up as usual, then one
// thing is changed from outside (the program's globals and the device's
// state), before the first frame. See kControls.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/app.h"
#include "capture_backend.h"
#include "key_script.h"
#include "world/world.h"

namespace {

const char kUsage[] =
    "usage: endless-field-capture [--size WxH] [--keys \"NAME*COUNT ...\"] [--ms-per-frame N] "
    "[--out FILE.png] [--frames-dir DIR --every K] [--assets DIR] "
    "[--control white-cubes|no-obstacles|shifted-column|fog-off] [--memory-every K]";

// The negative controls: each breaks one thing a viewer would notice.
void WhiteCubes() {
  // As if pic/obj/ were missing: the program loads no object texture and
  // draws every cube untextured.
  for (IDirect3DTexture9*& texture : g_textures.objectTextures) {
    if (texture != NULL) texture->Release();
    texture = NULL;
  }
}

void NoObstacles() {
  // An empty grid: only strips, sky and fog.
  for (auto& column : g_grid)
    for (int& cell : column) cell = 0;
}

void ShiftedColumn() {
  // One column's obstacles one row nearer (as if that column's random
  // numbers were drawn one row late): the column straight ahead of the eye,
  // whose nearest obstacles stand in the middle of the start view.
  const int column = 5;
  int first = g_grid[column][0];
  for (int r = 0; r + 1 < GRID_ROWS; ++r) g_grid[column][r] = g_grid[column][r + 1];
  g_grid[column][GRID_ROWS - 1] = first;
}

void FogOff() { g_pd3dDevice->SetRenderState(D3DRS_FOGENABLE, FALSE); }

struct Control {
  const char* name;
  void (*apply)();
};
const Control kControls[] = {
    {"white-cubes", WhiteCubes},
    {"no-obstacles", NoObstacles},
    {"shifted-column", ShiftedColumn},
    {"fog-off", FogOff},
};

struct Options {
  int width = 824;
  int height = 568;
  std::vector<headless::KeyStep> steps{{0, 1}};
  long msPerFrame = 3;
  std::string out;
  std::string framesDir;
  long every = 0;
  std::string assets = ".";
  void (*control)() = nullptr;
  long memoryEvery = 0;
};

[[noreturn]] void UsageError(const std::string& what) {
  // One line: what is wrong, then the usage.
  fprintf(stderr, "endless-field-capture: %s (%s)\n", what.c_str(), kUsage);
  exit(2);
}

long ParsePositive(const std::string& text, const char* what) {
  long value = 0;
  if (!headless::ParseCount(text, &value))
    UsageError(std::string("bad ") + what + ": '" + text + "'");
  return value;
}

std::vector<headless::KeyStep> ParseKeys(const std::string& script) {
  std::vector<headless::KeyStep> steps;
  std::string error;
  if (!headless::ParseKeyScript(script, &steps, &error)) UsageError(error);
  return steps;
}

std::string Absolute(const std::string& path) {
  if (path.empty()) return path;
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return error ? path : absolute.string();
}

Options ParseOptions(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) UsageError(arg + " needs a value");
      return argv[++i];
    };
    if (arg == "--size") {
      std::string v = value();
      int w = 0, h = 0;
      char extra = 0;
      if (sscanf(v.c_str(), "%dx%d%c", &w, &h, &extra) != 2 || w < 1 || h < 1 || w > 8192 ||
          h > 8192)
        UsageError("bad --size '" + v + "' (want WxH)");
      o.width = w;
      o.height = h;
    } else if (arg == "--keys") {
      o.steps = ParseKeys(value());
    } else if (arg == "--ms-per-frame") {
      o.msPerFrame = ParsePositive(value(), "--ms-per-frame");
    } else if (arg == "--out") {
      o.out = Absolute(value());
    } else if (arg == "--frames-dir") {
      o.framesDir = Absolute(value());
    } else if (arg == "--every") {
      o.every = ParsePositive(value(), "--every");
    } else if (arg == "--assets") {
      o.assets = value();
    } else if (arg == "--memory-every") {
      o.memoryEvery = ParsePositive(value(), "--memory-every");
      if (capture::ResidentMemoryKb() < 0) UsageError("--memory-every: no memory figure here");
    } else if (arg == "--control") {
      std::string v = value();
      for (const Control& control : kControls)
        if (v == control.name) o.control = control.apply;
      if (o.control == nullptr) UsageError("unknown --control '" + v + "'");
    } else {
      UsageError("unknown option '" + arg + "'");
    }
  }
  if (!o.framesDir.empty() && o.every == 0) o.every = 1;
  if (o.framesDir.empty() && o.every != 0) UsageError("--every needs --frames-dir");
  return o;
}

}  // namespace

int main(int argc, char** argv) {
  Options options = ParseOptions(argc, argv);

  if (!options.framesDir.empty()) {
    std::error_code error;
    std::filesystem::create_directories(options.framesDir, error);
  }
  std::error_code cdError;
  std::filesystem::current_path(options.assets, cdError);
  if (cdError) {
    fprintf(stderr, "endless-field-capture: cannot enter --assets %s: %s\n", options.assets.c_str(),
            cdError.message().c_str());
    return 1;
  }

  if (!capture::StartProgram(options.width, options.height)) return 1;
  if (options.control != nullptr) options.control();

  const long total = headless::TotalFrames(options.steps);
  long frame = 0;
  bool ok = true;
  std::vector<std::string> paths;
  struct MemorySample {
    long frame, kb;
  };
  std::vector<MemorySample> memory;
  if (options.memoryEvery != 0) memory.reserve(static_cast<size_t>(total / options.memoryEvery));
  for (const headless::KeyStep& step : options.steps) {
    for (long i = 0; i < step.frames; ++i) {
      ++frame;
      paths.clear();
      if (options.every != 0 && frame % options.every == 0) {
        char name[64];
        snprintf(name, sizeof(name), "/frame_%06ld.png", frame);
        paths.push_back(options.framesDir + name);
      }
      if (frame == total && !options.out.empty()) paths.push_back(options.out);
      ok = capture::RunFrame(step.dik, static_cast<DWORD>(options.msPerFrame), paths) && ok;
      if (options.memoryEvery != 0 && frame % options.memoryEvery == 0)
        memory.push_back({frame, capture::ResidentMemoryKb()});
    }
  }

  printf("eye=%.7g,%.7g,%.7g yaw=%.7g pitch=%.7g fieldOffset=%.7g firstRow=%d frames=%ld\n",
         g_camera.eyeX, g_camera.eyeY, g_camera.eyeZ, g_camera.yaw, g_camera.pitch, g_fieldOffset,
         g_firstRow, frame);
  for (const MemorySample& sample : memory)
    printf("memory frame=%ld rss_kb=%ld\n", sample.frame, sample.kb);
  capture::Exit(ok ? 0 : 1);
}

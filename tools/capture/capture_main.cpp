// endless-field-capture: runs the program's own scene set-up and frames
// offscreen with a scripted keyboard and a stepped clock, and writes frames
// as PNG files. No display is needed (SDL's offscreen video driver).
//
//   endless-field-capture [--size WxH] [--keys "up*50 left*10 ..."]
//                         [--ms-per-frame N] [--out FILE.png]
//                         [--frames-dir DIR --every K] [--assets DIR]
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/app.h"
#include "headless_run.h"
#include "world/world.h"

namespace {

const char kUsage[] =
    "usage: endless-field-capture [--size WxH] [--keys \"NAME*COUNT ...\"] [--ms-per-frame N] "
    "[--out FILE.png] [--frames-dir DIR --every K] [--assets DIR]";

struct Options {
  int width = 824;
  int height = 568;
  std::vector<headless::KeyStep> steps{{0, 1}};
  long msPerFrame = 3;
  std::string out;
  std::string framesDir;
  long every = 0;
  std::string assets = ".";
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
  if (path.empty() || path[0] == '/') return path;
  char cwd[4096];
  if (getcwd(cwd, sizeof(cwd)) == nullptr) return path;
  return std::string(cwd) + "/" + path;
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
    } else {
      UsageError("unknown option '" + arg + "'");
    }
  }
  if (!o.framesDir.empty() && o.every == 0) o.every = 1;
  if (o.framesDir.empty() && o.every != 0) UsageError("--every needs --frames-dir");
  return o;
}

bool SaveFrame(const std::string& path) {
  std::vector<uint8_t> rgba;
  int width = 0, height = 0;
  if (!headless::ReadFrame(&rgba, &width, &height)) {
    fprintf(stderr, "endless-field-capture: cannot read the frame back\n");
    return false;
  }
  std::string error;
  if (!headless::WritePng(path, rgba, width, height, &error)) {
    fprintf(stderr, "endless-field-capture: cannot write %s: %s\n", path.c_str(), error.c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options options = ParseOptions(argc, argv);
  setenv("SDL_VIDEODRIVER", "offscreen", 0);

  if (!options.framesDir.empty()) {
    std::error_code error;
    std::filesystem::create_directories(options.framesDir, error);
  }
  if (chdir(options.assets.c_str()) != 0) {
    fprintf(stderr, "endless-field-capture: cannot enter --assets %s: %s\n", options.assets.c_str(),
            strerror(errno));
    return 1;
  }

  if (!headless::StartProgram(options.width, options.height)) return 1;

  long frame = 0;
  bool ok = true;
  for (const headless::KeyStep& step : options.steps) {
    for (long i = 0; i < step.frames; ++i) {
      headless::RunFrame(step.dik, static_cast<DWORD>(options.msPerFrame));
      ++frame;
      if (options.every != 0 && frame % options.every == 0) {
        char name[64];
        snprintf(name, sizeof(name), "/frame_%06ld.png", frame);
        ok = SaveFrame(options.framesDir + name) && ok;
      }
    }
  }
  if (!options.out.empty()) ok = SaveFrame(options.out) && ok;

  printf("eye=%.7g,%.7g,%.7g yaw=%.7g pitch=%.7g fieldOffset=%.7g firstRow=%d frames=%ld\n",
         g_camera.eyeX, g_camera.eyeY, g_camera.eyeZ, g_camera.yaw, g_camera.pitch, g_fieldOffset,
         g_firstRow, frame);
  return ok ? 0 : 1;
}

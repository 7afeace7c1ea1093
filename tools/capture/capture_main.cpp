// endless-field-capture: runs the program's own scene set-up and frames
// offscreen with a scripted keyboard and a stepped clock, and writes frames
// as PNG files. No display is needed (SDL's offscreen video driver).
//
//   endless-field-capture [--size WxH] [--keys "up*50 left*10 ..."]
//                         [--ms-per-frame N] [--out FILE.png]
//                         [--frames-dir DIR --every K] [--assets DIR]
#include <png.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/app.h"
#include "platform_hooks.h"
#include "world/world.h"

namespace {

const char kUsage[] =
    "usage: endless-field-capture [--size WxH] [--keys \"NAME*COUNT ...\"] [--ms-per-frame N] "
    "[--out FILE.png] [--frames-dir DIR --every K] [--assets DIR]";

struct KeyName {
  const char* name;
  int dik;  // 0: no key
};
const KeyName kKeys[] = {{"none", 0},         {"up", DIK_UP},     {"down", DIK_DOWN},
                         {"left", DIK_LEFT},  {"right", DIK_RIGHT}, {"pgup", DIK_PRIOR},
                         {"pgdn", DIK_NEXT},  {"home", DIK_HOME}, {"end", DIK_END},
                         {"add", DIK_ADD},    {"subtract", DIK_SUBTRACT}};

struct Step {
  int dik;
  long frames;
};

struct Options {
  int width = 824;
  int height = 568;
  std::vector<Step> steps{{0, 1}};
  long msPerFrame = 3;
  std::string out;
  std::string framesDir;
  long every = 0;
  std::string assets = ".";
};

[[noreturn]] void UsageError(const std::string& what) {
  fprintf(stderr, "endless-field-capture: %s\n%s\n", what.c_str(), kUsage);
  exit(2);
}

long ParsePositive(const std::string& text, const char* what) {
  char* end = nullptr;
  errno = 0;
  long value = strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || errno != 0 || value <= 0 || value > 100000000)
    UsageError(std::string("bad ") + what + ": '" + text + "'");
  return value;
}

std::vector<Step> ParseKeys(const std::string& script) {
  std::vector<Step> steps;
  size_t pos = 0;
  while (pos < script.size()) {
    size_t end = script.find(' ', pos);
    if (end == std::string::npos) end = script.size();
    std::string item = script.substr(pos, end - pos);
    pos = end + 1;
    if (item.empty()) continue;
    size_t star = item.find('*');
    std::string name = item.substr(0, star);
    long count = star == std::string::npos ? 1 : ParsePositive(item.substr(star + 1), "key count");
    const KeyName* key = nullptr;
    for (const KeyName& k : kKeys)
      if (name == k.name) key = &k;
    if (key == nullptr) UsageError("unknown key '" + name + "'");
    steps.push_back({key->dik, count});
  }
  if (steps.empty()) UsageError("--keys names no key");
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
      if (sscanf(v.c_str(), "%dx%d%c", &w, &h, &extra) != 2 || w < 1 || h < 1 || w > 8192 || h > 8192)
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

bool WritePng(const std::string& path, const std::vector<uint8_t>& rgba, int width, int height) {
  png_image image;
  memset(&image, 0, sizeof(image));
  image.version = PNG_IMAGE_VERSION;
  image.width = width;
  image.height = height;
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(size_t(width) * height * 3);
  for (size_t i = 0, n = size_t(width) * height; i < n; ++i) memcpy(&rgb[i * 3], &rgba[i * 4], 3);
  if (!png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr)) {
    fprintf(stderr, "endless-field-capture: cannot write %s: %s\n", path.c_str(), image.message);
    return false;
  }
  return true;
}

bool SaveFrame(const std::string& path) {
  std::vector<uint8_t> rgba;
  int width = 0, height = 0;
  if (!platform::ReadBackBuffer(g_pd3dDevice, &rgba, &width, &height)) {
    fprintf(stderr, "endless-field-capture: cannot read the frame back\n");
    return false;
  }
  return WritePng(path, rgba, width, height);
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

  HINSTANCE instance = GetModuleHandleA(NULL);
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = "ENDLESS_FIELD_CAPTURE";
  RegisterClassExA(&windowClass);
  g_screenWidth = options.width;
  g_screenHeight = options.height;
  g_hWnd = CreateWindowExA(0, "ENDLESS_FIELD_CAPTURE", "endless-field-capture", WS_POPUP, 0, 0,
                           options.width, options.height, NULL, NULL, instance, NULL);

  // The scripted keyboard stands in for a focused window.
  platform::SetKeyboardFocusOverride(1);
  platform::UseManualClock(0);
  if (InitDirect3D(instance) != 0) return 1;
  SetupScene();

  long frame = 0;
  bool ok = true;
  for (const Step& step : options.steps) {
    platform::ReleaseAllKeys();
    if (step.dik != 0) platform::SetKeyDown(static_cast<BYTE>(step.dik), true);
    for (long i = 0; i < step.frames; ++i) {
      platform::AdvanceManualClock(static_cast<DWORD>(options.msPerFrame));
      g_keyboard.Poll();
      RenderFrame();
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

// bench-renderer: the program's worst frame through the Direct3D 9 layer,
// headless at 824 × 568 on SDL's offscreen driver (unless SDL_VIDEODRIVER is
// set): 11 textured floor strips and 110 textured cubes, each with its own
// world transform, fog on, camera as the program starts it.
//
// Prints frames per second (median of several runs) and the CPU time per
// frame spent inside the layer outside OpenGL. That second figure comes from
// a separate set of runs in which every entry of the layer's GL table is
// wrapped in a timing thunk: layer time = wall time of the frame's device
// calls from Clear to EndScene, minus the wall time spent inside GL calls.
// Present (blit, swap, glFinish) is driver work and left out. The thunks add
// two clock reads per GL call, a few tens of nanoseconds, part of which lands
// on the layer's side: the figure errs high.
//
// Usage: bench-renderer [--frames N] [--runs N] [--dump file.ppm]
#include <d3d9.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "d3d9/gl_functions.h"
#include "platform_hooks.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kWidth = 824;
constexpr int kHeight = 568;

// ---- GL timing thunks ------------------------------------------------------
platform::GlFunctions g_original;
double g_glSeconds = 0.0;

struct GlTimer {
  Clock::time_point start = Clock::now();
  ~GlTimer() { g_glSeconds += std::chrono::duration<double>(Clock::now() - start).count(); }
};

template <typename Pfn, Pfn platform::GlFunctions::*Member>
struct Timed;

template <typename R, typename... A, R (*platform::GlFunctions::*Member)(A...)>
struct Timed<R (*)(A...), Member> {
  static R Call(A... args) {
    GlTimer timer;
    return (g_original.*Member)(args...);
  }
};

void InstallGlTimers() {
  platform::GlFunctions& gl = platform::Gl();
  g_original = gl;
#define BENCH_WRAP(type, member, name) \
  gl.member = &Timed<type, &platform::GlFunctions::member>::Call;
  PLATFORM_GL_FUNCTIONS(BENCH_WRAP)
#undef BENCH_WRAP
}

void RemoveGlTimers() { platform::Gl() = g_original; }

// ---- Scene -----------------------------------------------------------------
struct TexVertex {
  float x, y, z, u, v;
};

D3DMATRIX Identity() {
  D3DMATRIX m;
  std::memset(&m, 0, sizeof m);
  m._11 = m._22 = m._33 = m._44 = 1.0f;
  return m;
}

D3DMATRIX Translation(float x, float y, float z) {
  D3DMATRIX m = Identity();
  m._41 = x;
  m._42 = y;
  m._43 = z;
  return m;
}

// Eye (55, 1, 0) looking along +z with y up.
D3DMATRIX CameraView() { return Translation(-55.0f, -1.0f, 0.0f); }

D3DMATRIX Projection() {
  const float yScale = 1.0f / std::tan(3.14159265f / 8.0f);
  const float zn = 1.0f;
  const float zf = 100.0f;
  D3DMATRIX m;
  std::memset(&m, 0, sizeof m);
  m._11 = yScale / (static_cast<float>(kWidth) / kHeight);
  m._22 = yScale;
  m._33 = zf / (zf - zn);
  m._34 = 1.0f;
  m._43 = -zn * zf / (zf - zn);
  return m;
}

IDirect3DTexture9* MakeChecker(IDirect3DDevice9* device, UINT size, uint32_t a, uint32_t b) {
  IDirect3DTexture9* texture = nullptr;
  if (FAILED(device->CreateTexture(size, size, 0, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &texture,
                                   nullptr)))
    return nullptr;
  for (DWORD level = 0; level < texture->GetLevelCount(); ++level) {
    D3DSURFACE_DESC desc;
    texture->GetLevelDesc(level, &desc);
    D3DLOCKED_RECT locked;
    texture->LockRect(level, &locked, nullptr, 0);
    for (UINT y = 0; y < desc.Height; ++y) {
      auto* row =
          reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + locked.Pitch * y);
      for (UINT x = 0; x < desc.Width; ++x) row[x] = ((x / 16 + y / 16) % 2) ? a : b;
    }
    texture->UnlockRect(level);
  }
  return texture;
}

IDirect3DVertexBuffer9* MakeBuffer(IDirect3DDevice9* device, const void* data, UINT size,
                                   D3DPOOL pool) {
  IDirect3DVertexBuffer9* buffer = nullptr;
  if (FAILED(device->CreateVertexBuffer(size, D3DUSAGE_WRITEONLY, D3DFVF_XYZ | D3DFVF_TEX1, pool,
                                        &buffer, nullptr)))
    return nullptr;
  void* p = nullptr;
  buffer->Lock(0, size, &p, 0);
  std::memcpy(p, data, size);
  buffer->Unlock();
  return buffer;
}

// A cube of side 2 centred on the origin, 12 clockwise triangles seen from outside.
void CubeVertices(TexVertex out[36]) {
  const float s = 1.0f;
  // Each face: four corners (tl, tr, bl, br) seen from outside.
  const float faces[6][4][3] = {
      {{-s, s, -s}, {s, s, -s}, {-s, -s, -s}, {s, -s, -s}},  // front (-z)
      {{s, s, s}, {-s, s, s}, {s, -s, s}, {-s, -s, s}},      // back (+z)
      {{-s, s, s}, {-s, s, -s}, {-s, -s, s}, {-s, -s, -s}},  // left (-x)
      {{s, s, -s}, {s, s, s}, {s, -s, -s}, {s, -s, s}},      // right (+x)
      {{-s, s, s}, {s, s, s}, {-s, s, -s}, {s, s, -s}},      // top (+y)
      {{-s, -s, -s}, {s, -s, -s}, {-s, -s, s}, {s, -s, s}},  // bottom (-y)
  };
  const float uv[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
  const int order[6] = {0, 1, 2, 2, 1, 3};
  int n = 0;
  for (const auto& face : faces) {
    for (int corner : order) {
      out[n++] = {face[corner][0], face[corner][1], face[corner][2], uv[corner][0], uv[corner][1]};
    }
  }
}

struct Scene {
  IDirect3DVertexBuffer9* strips[11] = {};
  IDirect3DVertexBuffer9* cube = nullptr;
  IDirect3DTexture9* floor = nullptr;
  IDirect3DTexture9* box = nullptr;
  D3DMATRIX stripWorld = Identity();
  std::vector<D3DMATRIX> cubeWorlds;
};

bool BuildScene(IDirect3DDevice9* device, Scene* scene) {
  for (int i = 0; i < 11; ++i) {
    const float z0 = 10.0f * static_cast<float>(i);
    const TexVertex strip[4] = {
        {0, 0, z0 + 10, 0, 0}, {100, 0, z0 + 10, 10, 0}, {0, 0, z0, 0, 1}, {100, 0, z0, 10, 1}};
    scene->strips[i] = MakeBuffer(device, strip, sizeof strip, D3DPOOL_DEFAULT);
  }
  TexVertex cube[36];
  CubeVertices(cube);
  scene->cube = MakeBuffer(device, cube, sizeof cube, D3DPOOL_MANAGED);
  scene->floor = MakeChecker(device, 256, 0xFF3C8C3C, 0xFF2A6A2A);
  scene->box = MakeChecker(device, 128, 0xFFB08040, 0xFF705020);
  for (int row = 0; row < 11; ++row)
    for (int col = 0; col < 10; ++col)
      scene->cubeWorlds.push_back(Translation(5.0f + 10.0f * col, 1.0f, 5.0f + 10.0f * row));
  for (IDirect3DVertexBuffer9* strip : scene->strips)
    if (!strip) return false;
  return scene->cube && scene->floor && scene->box;
}

void ReleaseScene(Scene* scene) {
  for (IDirect3DVertexBuffer9* strip : scene->strips)
    if (strip) strip->Release();
  if (scene->cube) scene->cube->Release();
  if (scene->floor) scene->floor->Release();
  if (scene->box) scene->box->Release();
}

// Everything of a frame but Present.
void BuildFrame(IDirect3DDevice9* device, const Scene& scene) {
  device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFFCCCCFF, 1.0f, 0);
  device->BeginScene();
  for (IDirect3DVertexBuffer9* strip : scene.strips) {
    device->SetTransform(D3DTS_WORLD, &scene.stripWorld);
    device->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    device->SetStreamSource(0, strip, 0, sizeof(TexVertex));
    device->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1);
    device->SetTexture(0, scene.floor);
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
  }
  for (const D3DMATRIX& world : scene.cubeWorlds) {
    device->SetTransform(D3DTS_WORLD, &world);
    device->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    device->SetStreamSource(0, scene.cube, 0, sizeof(TexVertex));
    device->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1);
    device->SetTexture(0, scene.box);
    device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 12);
  }
  device->EndScene();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void WritePpm(const char* path, const std::vector<uint8_t>& rgba, int width, int height) {
  FILE* file = std::fopen(path, "wb");
  if (!file) return;
  std::fprintf(file, "P6\n%d %d\n255\n", width, height);
  for (size_t i = 0; i < rgba.size(); i += 4) std::fwrite(&rgba[i], 1, 3, file);
  std::fclose(file);
}

LRESULT CALLBACK BenchWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
  int frames = 200;
  int runs = 5;
  const char* dumpPath = nullptr;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--frames")
      frames = std::max(1, std::atoi(argv[i + 1]));
    else if (option == "--runs")
      runs = std::max(1, std::atoi(argv[i + 1]));
    else if (option == "--dump")
      dumpPath = argv[i + 1];
  }
  setenv("SDL_VIDEODRIVER", "offscreen", 0);

  WNDCLASSEXA wc;
  std::memset(&wc, 0, sizeof wc);
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = BenchWindowProc;
  wc.lpszClassName = "BENCH_RENDERER";
  RegisterClassExA(&wc);
  HWND window = CreateWindowExA(0, "BENCH_RENDERER", "bench-renderer", WS_POPUP, 0, 0, kWidth,
                                kHeight, nullptr, nullptr, nullptr, nullptr);
  IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
  if (!window || !d3d) {
    std::fprintf(stderr, "bench-renderer: no window or no Direct3D 9 object\n");
    return 1;
  }
  D3DPRESENT_PARAMETERS pp;
  std::memset(&pp, 0, sizeof pp);
  pp.BackBufferWidth = kWidth;
  pp.BackBufferHeight = kHeight;
  pp.BackBufferFormat = D3DFMT_X8R8G8B8;
  pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
  pp.Windowed = TRUE;
  pp.EnableAutoDepthStencil = TRUE;
  pp.AutoDepthStencilFormat = D3DFMT_D16;
  pp.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
  IDirect3DDevice9* device = nullptr;
  if (FAILED(d3d->CreateDevice(0, D3DDEVTYPE_HAL, window, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp,
                               &device))) {
    std::fprintf(stderr, "bench-renderer: CreateDevice failed\n");
    return 1;
  }
  const float fogStart = 25.0f;
  const float fogEnd = 70.0f;
  DWORD bits;
  device->SetRenderState(D3DRS_LIGHTING, FALSE);
  device->SetRenderState(D3DRS_FOGENABLE, TRUE);
  device->SetRenderState(D3DRS_FOGCOLOR, 0xFFCCCCFF);
  device->SetRenderState(D3DRS_FOGTABLEMODE, D3DFOG_LINEAR);
  std::memcpy(&bits, &fogStart, 4);
  device->SetRenderState(D3DRS_FOGSTART, bits);
  std::memcpy(&bits, &fogEnd, 4);
  device->SetRenderState(D3DRS_FOGEND, bits);
  device->SetRenderState(D3DRS_RANGEFOGENABLE, TRUE);
  device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
  device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
  const D3DMATRIX view = CameraView();
  const D3DMATRIX projection = Projection();
  device->SetTransform(D3DTS_VIEW, &view);
  device->SetTransform(D3DTS_PROJECTION, &projection);

  Scene scene;
  if (!BuildScene(device, &scene)) {
    std::fprintf(stderr, "bench-renderer: building the scene failed\n");
    return 1;
  }
  for (int i = 0; i < 20; ++i) {
    BuildFrame(device, scene);
    device->Present(nullptr, nullptr, nullptr, nullptr);
  }
  if (dumpPath) {
    std::vector<uint8_t> rgba;
    int width = 0;
    int height = 0;
    if (platform::ReadBackBuffer(device, &rgba, &width, &height))
      WritePpm(dumpPath, rgba, width, height);
  }

  std::vector<double> fps;
  for (int run = 0; run < runs; ++run) {
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < frames; ++i) {
      BuildFrame(device, scene);
      device->Present(nullptr, nullptr, nullptr, nullptr);
    }
    fps.push_back(frames / std::chrono::duration<double>(Clock::now() - start).count());
  }

  InstallGlTimers();
  std::vector<double> layerMicros;
  std::vector<double> glMicros;
  for (int run = 0; run < runs; ++run) {
    double layerSeconds = 0.0;
    double glSeconds = 0.0;
    for (int i = 0; i < frames; ++i) {
      g_glSeconds = 0.0;
      const Clock::time_point start = Clock::now();
      BuildFrame(device, scene);
      const double total = std::chrono::duration<double>(Clock::now() - start).count();
      layerSeconds += total - g_glSeconds;
      glSeconds += g_glSeconds;
      device->Present(nullptr, nullptr, nullptr, nullptr);
    }
    layerMicros.push_back(layerSeconds * 1e6 / frames);
    glMicros.push_back(glSeconds * 1e6 / frames);
  }
  RemoveGlTimers();

  std::printf(
      "bench-renderer: %d x %d, 11 strips + 110 cubes, 121 draws per frame, %d runs of %d frames\n",
      kWidth, kHeight, runs, frames);
  std::printf("frames per second (median): %.1f  (min %.1f, max %.1f)\n", Median(fps),
              *std::min_element(fps.begin(), fps.end()), *std::max_element(fps.begin(), fps.end()));
  std::printf("layer CPU outside OpenGL per frame (median): %.1f us  (%.2f us per draw)\n",
              Median(layerMicros), Median(layerMicros) / 121.0);
  std::printf("time inside GL calls before Present per frame (median): %.1f us\n",
              Median(glMicros));

  ReleaseScene(&scene);
  const ULONG deviceLeft = device->Release();
  const ULONG d3dLeft = d3d->Release();
  if (deviceLeft || d3dLeft) std::fprintf(stderr, "bench-renderer: leaked references\n");
  return 0;
}

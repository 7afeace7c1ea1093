// One rendered frame per mesh on the layer's real device (SDL's offscreen
// driver, software OpenGL): the cube's image upright and unmirrored on every
// side face, the pyramid's vertex colours, the floor strip's ten repeats and
// its orientation. Skipped when no device can be made. Each frame is also
// saved as ef_mesh_<name>.png in EF_MESH_FRAME_DIR (in the build tree) for a
// look by eye.
#include <gtest/gtest.h>

#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "mocks/device_window.h"
#include "platform_hooks.h"
#include "textures/test_files.h"
#include "world/cube.h"
#include "world/floor_strip.h"
#include "world/pyramid.h"

namespace {

const int kSize = 256;  // square back buffer

struct Rgb {
  int r, g, b;
};

class Frame {
 public:
  std::vector<std::uint8_t> rgba;
  int width = 0, height = 0;

  Rgb At(int x, int y) const {
    const std::size_t i = (std::size_t(y) * width + x) * 4;
    return {rgba[i], rgba[i + 1], rgba[i + 2]};
  }
  void Save(const std::string& name) const {
    std::error_code ignored;
    std::filesystem::create_directories(EF_MESH_FRAME_DIR, ignored);
    const std::string path = std::string(EF_MESH_FRAME_DIR) + "/ef_mesh_" + name + ".png";
    if (!test_files::WritePngRgba(path, width, height, rgba))
      std::fprintf(stderr, "could not save %s\n", path.c_str());
  }
};

std::string Describe(Rgb c) {
  return "(" + std::to_string(c.r) + ", " + std::to_string(c.g) + ", " + std::to_string(c.b) + ")";
}

// Colour classes with generous margins: filtering and rasterisation may
// blend a little at edges, never across a whole region.
bool IsRed(Rgb c) { return c.r > 180 && c.g < 80 && c.b < 80; }
bool IsGreen(Rgb c) { return c.g > 180 && c.r < 80 && c.b < 80; }
bool IsBlue(Rgb c) { return c.b > 180 && c.r < 80 && c.g < 80; }
bool IsWhite(Rgb c) { return c.r > 200 && c.g > 200 && c.b > 200; }
bool IsBlack(Rgb c) { return c.r < 30 && c.g < 30 && c.b < 30; }

class MeshPixelTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_window = device_window::TestWindow(kSize, kSize);
    s_d3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (s_d3d == NULL || s_window == NULL) return;
    D3DPRESENT_PARAMETERS pp = device_window::ProgramPresentParameters(kSize, kSize);
    if (FAILED(s_d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, s_window,
                                   D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp, &s_device)))
      s_device = NULL;
  }
  static void TearDownTestSuite() {
    if (s_device) s_device->Release();
    if (s_d3d) s_d3d->Release();
    s_device = NULL;
    s_d3d = NULL;
  }

  void SetUp() override {
    // No Direct3D object: the machine cannot draw. With one, a missing
    // window or device is the layer's fault.
    if (s_d3d == NULL) GTEST_SKIP() << "no Direct3D 9 object on this machine";
    ASSERT_NE(s_window, (HWND)NULL) << "no test window";
    ASSERT_NE(s_device, (IDirect3DDevice9*)NULL)
        << "CreateDevice failed after Direct3DCreate9 succeeded";
  }

  // A single-level texture from 0xAARRGGBB texels, top row first.
  static IDirect3DTexture9* MakeTexture(int width, int height,
                                        const std::vector<std::uint32_t>& argb) {
    IDirect3DTexture9* texture = NULL;
    if (FAILED(s_device->CreateTexture(width, height, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                       &texture, NULL)))
      return NULL;
    D3DLOCKED_RECT locked;
    if (FAILED(texture->LockRect(0, &locked, NULL, 0))) {
      texture->Release();
      return NULL;
    }
    for (int y = 0; y < height; ++y)
      std::memcpy(static_cast<std::uint8_t*>(locked.pBits) + std::size_t(y) * locked.Pitch,
                  &argb[std::size_t(y) * width], std::size_t(width) * 4);
    texture->UnlockRect(0);
    return texture;
  }

  // Starts a frame: no lighting, black clear, identity world, the given view
  // and a square 45-degree projection.
  static void BeginFrame(D3DXVECTOR3 eye, D3DXVECTOR3 at, D3DXVECTOR3 up) {
    s_device->SetRenderState(D3DRS_LIGHTING, FALSE);
    s_device->Clear(0, NULL, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
    s_device->BeginScene();
    D3DXMATRIX world, view, proj;
    D3DXMatrixTranslation(&world, 0.0f, 0.0f, 0.0f);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&proj, D3DX_PI / 4, 1.0f, 1.0f, 500.0f);
    s_device->SetTransform(D3DTS_WORLD, &world);
    s_device->SetTransform(D3DTS_VIEW, &view);
    s_device->SetTransform(D3DTS_PROJECTION, &proj);
  }

  static Frame EndFrame(const std::string& name) {
    s_device->EndScene();
    Frame frame;
    EXPECT_TRUE(platform::ReadBackBuffer(s_device, &frame.rgba, &frame.width, &frame.height));
    EXPECT_EQ(kSize, frame.width);
    EXPECT_EQ(kSize, frame.height);
    if (frame.width != kSize || frame.height != kSize) frame.rgba.assign(kSize * kSize * 4, 0);
    frame.width = frame.height = kSize;
    frame.Save(name);
    s_device->Present(NULL, NULL, NULL, NULL);
    return frame;
  }

  static HWND s_window;
  static IDirect3D9* s_d3d;
  static IDirect3DDevice9* s_device;
};

HWND MeshPixelTest::s_window = NULL;
IDirect3D9* MeshPixelTest::s_d3d = NULL;
IDirect3DDevice9* MeshPixelTest::s_device = NULL;

TEST_F(MeshPixelTest, CubeSideFacesShowTheImageUprightAndUnmirroredFromOutside) {
  // Top-left quadrant red, top-right green, bottom half blue.
  std::vector<std::uint32_t> texels(8 * 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      texels[y * 8 + x] = y >= 4 ? 0xFF0000FFu : x < 4 ? 0xFFFF0000u : 0xFF00FF00u;
  IDirect3DTexture9* texture = MakeTexture(8, 8, texels);
  ASSERT_NE(nullptr, texture);
  Cube cube;
  ASSERT_EQ(0, cube.Create(s_device));
  ASSERT_NE(nullptr, cube.pVertexBuffer);

  // The eye 5 units out from each side face: the face's square then covers
  // about the middle 60% of the frame.
  const struct {
    const char* name;
    D3DXVECTOR3 eye;
  } views[] = {
      {"cube_front", D3DXVECTOR3(0, 0, -5)},
      {"cube_back", D3DXVECTOR3(0, 0, 5)},
      {"cube_left", D3DXVECTOR3(-5, 0, 0)},
      {"cube_right", D3DXVECTOR3(5, 0, 0)},
  };
  for (const auto& view : views) {
    SCOPED_TRACE(view.name);
    BeginFrame(view.eye, D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 1, 0));
    cube.Draw(texture);
    const Frame frame = EndFrame(view.name);
    const int c = kSize / 2, q = kSize / 7;
    EXPECT_TRUE(IsRed(frame.At(c - q, c - q))) << "upper left " << Describe(frame.At(c - q, c - q));
    EXPECT_TRUE(IsGreen(frame.At(c + q, c - q)))
        << "upper right " << Describe(frame.At(c + q, c - q));
    EXPECT_TRUE(IsBlue(frame.At(c - q, c + q)))
        << "lower left " << Describe(frame.At(c - q, c + q));
    EXPECT_TRUE(IsBlue(frame.At(c + q, c + q)))
        << "lower right " << Describe(frame.At(c + q, c + q));
    EXPECT_TRUE(IsBlack(frame.At(8, 8))) << "outside the cube " << Describe(frame.At(8, 8));
  }

  // With no texture the faces are plain white: vertex colour, no lighting.
  BeginFrame(D3DXVECTOR3(0, 0, -5), D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 1, 0));
  cube.Draw(nullptr);
  const Frame plain = EndFrame("cube_untextured");
  EXPECT_TRUE(IsWhite(plain.At(kSize / 2, kSize / 2))) << Describe(plain.At(kSize / 2, kSize / 2));
  texture->Release();
}

TEST_F(MeshPixelTest, PyramidFacesBlendTheirCornerColours) {
  Pyramid pyramid;
  ASSERT_EQ(0, pyramid.Create(s_device));
  ASSERT_EQ(0, pyramid.Build());
  ASSERT_NE(nullptr, pyramid.pVertexBuffer);

  // The pyramid binds no texture itself; stage 0 is cleared so the vertex
  // colours show unmodulated.
  // From -z: apex (0, 2, 0) at about row 66; base corners (+-1, 0, -1) at
  // about row 205, columns 51 (x -1) and 205 (x +1).
  BeginFrame(D3DXVECTOR3(0, 1, -5), D3DXVECTOR3(0, 1, 0), D3DXVECTOR3(0, 1, 0));
  s_device->SetTexture(0, NULL);
  pyramid.Draw();
  const Frame front = EndFrame("pyramid_front");
  const Rgb nearApex = front.At(128, 76);
  const Rgb nearRightCorner = front.At(192, 198);  // x +1: green
  const Rgb nearLeftCorner = front.At(64, 198);    // x -1: blue
  EXPECT_TRUE(nearApex.r > 200 && nearApex.g < 60 && nearApex.b < 60) << Describe(nearApex);
  EXPECT_TRUE(nearRightCorner.g > 170 && nearRightCorner.g > 3 * nearRightCorner.b)
      << Describe(nearRightCorner);
  EXPECT_TRUE(nearLeftCorner.b > 170 && nearLeftCorner.b > 3 * nearLeftCorner.g)
      << Describe(nearLeftCorner);
  EXPECT_TRUE(IsBlack(front.At(20, 128))) << Describe(front.At(20, 128));

  // From +z the far face: x +1 (cyan) now on the left, x -1 (yellow) right.
  BeginFrame(D3DXVECTOR3(0, 1, 5), D3DXVECTOR3(0, 1, 0), D3DXVECTOR3(0, 1, 0));
  s_device->SetTexture(0, NULL);
  pyramid.Draw();
  const Frame back = EndFrame("pyramid_back");
  const Rgb cyanSide = back.At(64, 198);
  const Rgb yellowSide = back.At(192, 198);
  EXPECT_TRUE(cyanSide.g > 170 && cyanSide.b > 170 && cyanSide.r < 90) << Describe(cyanSide);
  EXPECT_TRUE(yellowSide.r > 170 && yellowSide.g > 170 && yellowSide.b < 90)
      << Describe(yellowSide);
}

// Counts the runs of pixels of a colour class along row y.
int CountRuns(const Frame& frame, int y, bool (*inClass)(Rgb)) {
  int runs = 0;
  bool inside = false;
  for (int x = 0; x < frame.width; ++x) {
    const bool now = inClass(frame.At(x, y));
    if (now && !inside) ++runs;
    inside = now;
  }
  return runs;
}

TEST_F(MeshPixelTest, FloorStripRepeatsTheGrassTenTimesAcrossWithItsTopRowFar) {
  test_files::ScratchWorkDir dir;
  ASSERT_TRUE(dir.Entered());
  // A stripe in the two left columns: red in the image's top half, blue in
  // the bottom half; white elsewhere.
  std::vector<std::uint32_t> texels(8 * 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      texels[y * 8 + x] = x >= 2 ? 0xFFFFFFFFu : y < 4 ? 0xFFFF0000u : 0xFF0000FFu;
  ASSERT_TRUE(test_files::WritePngArgb("pic/GRASS1.jpg", 8, 8, texels));

  FloorStrip strip;
  ASSERT_EQ(0, strip.Load(s_device));
  ASSERT_NE(nullptr, strip.pTexture) << "pic\\GRASS1.jpg did not load";
  ASSERT_EQ(0, strip.Build());
  ASSERT_NE(nullptr, strip.pVertexBuffer);

  // From 130 units above the strip's centre, +x to the right and +z (the far
  // edge) up: the strip spans about 238 x 24 pixels around the centre.
  BeginFrame(D3DXVECTOR3(50, 130, 5), D3DXVECTOR3(50, 0, 5), D3DXVECTOR3(0, 0, 1));
  strip.Draw();
  const Frame above = EndFrame("strip_above");
  const int farRow = kSize / 2 - 6, nearRow = kSize / 2 + 6;
  EXPECT_EQ(10, CountRuns(above, farRow, IsRed)) << "red stripes along the far half";
  EXPECT_EQ(10, CountRuns(above, nearRow, IsBlue)) << "blue stripes along the near half";
  EXPECT_EQ(0, CountRuns(above, farRow, IsBlue)) << "the image is upside down";
  EXPECT_TRUE(IsBlack(above.At(kSize / 2, kSize / 2 - 30))) << "beyond the far edge";

  // From below, the strip faces away and is culled.
  BeginFrame(D3DXVECTOR3(50, -130, 5), D3DXVECTOR3(50, 0, 5), D3DXVECTOR3(0, 0, 1));
  strip.Draw();
  const Frame below = EndFrame("strip_below");
  int lit = 0;
  for (int x = 0; x < kSize; ++x) lit += IsBlack(below.At(x, kSize / 2)) ? 0 : 1;
  EXPECT_EQ(0, lit) << "pixels drawn on the strip's back side";
}

}  // namespace

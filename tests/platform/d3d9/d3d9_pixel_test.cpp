// Rendering semantics of the Direct3D 9 layer, checked on read-back frames:
// clear colour, texture orientation and wrapping, culling, depth, fog, vertex
// colours, stage 0 without texture or without coordinates, alpha of X8
// textures, and Direct3D's pixel centres.
#include <cstring>

#include "d3d9/device.h"
#include "d3d9/gl_functions.h"
#include "d3d9_test_support.h"

namespace d3d9test {
namespace {

constexpr int kTolerance = 3;
const Rgb kClear{204, 204, 255};
const Rgb kWhite{255, 255, 255};

// A quad over the rectangle (x0, y0)-(x1, y1) in clip space, drawn as a
// two-triangle strip wound clockwise on screen.
void QuadStrip(PosTexVertex out[4], float x0, float y0, float x1, float y1, float z, float u1,
               float v1) {
  out[0] = {x0, y1, z, 0.0f, 0.0f};  // top left
  out[1] = {x1, y1, z, u1, 0.0f};    // top right
  out[2] = {x0, y0, z, 0.0f, v1};    // bottom left
  out[3] = {x1, y0, z, u1, v1};      // bottom right
}

void ColorQuadList(PosColorVertex out[6], float x0, float y0, float x1, float y1, float z,
                   D3DCOLOR color) {
  out[0] = {x0, y1, z, color};
  out[1] = {x1, y1, z, color};
  out[2] = {x0, y0, z, color};
  out[3] = {x0, y0, z, color};
  out[4] = {x1, y1, z, color};
  out[5] = {x1, y0, z, color};
}

// Test-local matrix names; the layer sees only D3DMATRIX.
using PixelTest = DeviceTest;

TEST_F(PixelTest, ClearFillsTheBackBufferWithTheColour) {
  ASSERT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kClearColor, 1.0f, 0),
            D3D_OK);
  ReadFrame();
  DumpFrame("clear");
  for (int y : {0, kHeight / 2, kHeight - 1})
    for (int x : {0, kWidth / 2, kWidth - 1}) {
      EXPECT_TRUE(RgbNear(Pixel(x, y), kClear, 0)) << x << "," << y;
    }
}

// The offscreen window has 8-bit colour and a depth buffer of at least the
// 16 bits of D3DFMT_D16, so it is the back buffer. The tools read a frame
// after the program's Present, which must still give that frame.
TEST_F(PixelTest, TheWindowIsTheBackBufferAndReadsBackAsPresented) {
  auto* device = dynamic_cast<platform::Device*>(m_device);
  ASSERT_NE(device, nullptr);
  EXPECT_TRUE(device->Renderer().DrawsIntoWindow());
  const auto clearAndPresent = [this](D3DCOLOR color, bool present) {
    ASSERT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET, color, 1.0f, 0), D3D_OK);
    if (present) {
      ASSERT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    }
  };
  clearAndPresent(0xFFFF0000u, true);
  ReadFrame();
  EXPECT_TRUE(RgbNear(Pixel(kWidth / 2, kHeight / 2), Rgb{255, 0, 0}, 0)) << "first read";
  clearAndPresent(0xFF00FF00u, true);
  clearAndPresent(0xFF0000FFu, false);
  ReadFrame();
  EXPECT_TRUE(RgbNear(Pixel(kWidth / 2, kHeight / 2), Rgb{0, 0, 255}, 0)) << "before Present";
  ASSERT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  clearAndPresent(0xFF00FF00u, true);
  ReadFrame();
  EXPECT_TRUE(RgbNear(Pixel(kWidth / 2, kHeight / 2), Rgb{0, 255, 0}, 0)) << "kept at Present";
}

TEST_F(PixelTest, ClearIsNotFogged) {
  m_device->SetRenderState(D3DRS_FOGENABLE, TRUE);
  m_device->SetRenderState(D3DRS_FOGTABLEMODE, D3DFOG_LINEAR);
  m_device->SetRenderState(D3DRS_FOGCOLOR, 0xFF000000);
  ASSERT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF20A040, 1.0f, 0), D3D_OK);
  ReadFrame();
  EXPECT_TRUE(RgbNear(Pixel(64, 64), Rgb{0x20, 0xA0, 0x40}, 0));
}

TEST_F(PixelTest, TexturedQuadHasVZeroAtTheTop) {
  m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
  // 2 × 2: red, green on top; blue, white below.
  IDirect3DTexture9* texture =
      MakeTexture(2, 2, D3DFMT_X8R8G8B8, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF});
  PosTexVertex quad[4];
  QuadStrip(quad, -1, -1, 1, 1, 0.5f, 1, 1);
  IDirect3DVertexBuffer9* buffer = MakeBuffer(quad, sizeof quad, kPosTexFvf);
  m_device->SetTexture(0, texture);
  DrawFrame(buffer, kPosTexFvf, sizeof(PosTexVertex), D3DPT_TRIANGLESTRIP, 2);
  DumpFrame("orientation");
  EXPECT_TRUE(RgbNear(Pixel(32, 32), Rgb{255, 0, 0}, kTolerance)) << "top left";
  EXPECT_TRUE(RgbNear(Pixel(96, 32), Rgb{0, 255, 0}, kTolerance)) << "top right";
  EXPECT_TRUE(RgbNear(Pixel(32, 96), Rgb{0, 0, 255}, kTolerance)) << "bottom left";
  EXPECT_TRUE(RgbNear(Pixel(96, 96), kWhite, kTolerance)) << "bottom right";
}

TEST_F(PixelTest, TextureCoordinatesBeyondOneWrap) {
  m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
  IDirect3DTexture9* texture =
      MakeTexture(2, 1, D3DFMT_X8R8G8B8, {0xFFFF0000, 0xFF0000FF});  // red | blue
  PosTexVertex quad[4];
  QuadStrip(quad, -1, -1, 1, 1, 0.5f, 2, 1);
  IDirect3DVertexBuffer9* buffer = MakeBuffer(quad, sizeof quad, kPosTexFvf);
  m_device->SetTexture(0, texture);
  DrawFrame(buffer, kPosTexFvf, sizeof(PosTexVertex), D3DPT_TRIANGLESTRIP, 2);
  DumpFrame("wrap");
  const Rgb red{255, 0, 0};
  const Rgb blue{0, 0, 255};
  EXPECT_TRUE(RgbNear(Pixel(16, 64), red, kTolerance)) << "first copy, left half";
  EXPECT_TRUE(RgbNear(Pixel(48, 64), blue, kTolerance)) << "first copy, right half";
  EXPECT_TRUE(RgbNear(Pixel(80, 64), red, kTolerance)) << "second copy, left half";
  EXPECT_TRUE(RgbNear(Pixel(112, 64), blue, kTolerance)) << "second copy, right half";
}

TEST_F(PixelTest, DefaultCullingDrawsClockwiseAndDropsCounterClockwise) {
  m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
  const D3DCOLOR red = 0xFFFF0000;
  // Left half: clockwise on screen (top, right-bottom, left-bottom).
  // Right half: the same triangle wound the other way.
  const PosColorVertex triangles[6] = {
      {-0.5f, 0.8f, 0.5f, red}, {-0.1f, -0.8f, 0.5f, red}, {-0.9f, -0.8f, 0.5f, red},
      {0.5f, 0.8f, 0.5f, red},  {0.1f, -0.8f, 0.5f, red},  {0.9f, -0.8f, 0.5f, red},
  };
  IDirect3DVertexBuffer9* buffer = MakeBuffer(triangles, sizeof triangles, kPosColorFvf);
  const POINT left{32, 80};
  const POINT right{96, 80};
  struct Case {
    DWORD cull;
    bool leftDrawn;
    bool rightDrawn;
  };
  for (const Case& c : {Case{D3DCULL_CCW, true, false}, Case{D3DCULL_CW, false, true},
                        Case{D3DCULL_NONE, true, true}}) {
    m_device->SetRenderState(D3DRS_CULLMODE, c.cull);
    DrawFrame(buffer, kPosColorFvf, sizeof(PosColorVertex), D3DPT_TRIANGLELIST, 2);
    if (c.cull == D3DCULL_CCW) DumpFrame("cull_ccw");
    EXPECT_TRUE(RgbNear(Pixel(left.x, left.y), c.leftDrawn ? Rgb{255, 0, 0} : kClear, kTolerance))
        << "cull mode " << c.cull << ", clockwise triangle";
    EXPECT_TRUE(
        RgbNear(Pixel(right.x, right.y), c.rightDrawn ? Rgb{255, 0, 0} : kClear, kTolerance))
        << "cull mode " << c.cull << ", counter-clockwise triangle";
  }
}

TEST_F(PixelTest, NearerSurfaceWinsWhateverTheDrawOrder) {
  m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
  PosColorVertex quads[12];
  ColorQuadList(quads, -0.8f, -0.8f, 0.8f, 0.8f, 0.3f, 0xFFFF0000);      // near, red
  ColorQuadList(quads + 6, -1.0f, -1.0f, 0.0f, 1.0f, 0.7f, 0xFF00FF00);  // far, green, left half
  IDirect3DVertexBuffer9* buffer = MakeBuffer(quads, sizeof quads, kPosColorFvf);
  for (bool nearFirst : {true, false}) {
    ASSERT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kClearColor, 1.0f, 0),
              D3D_OK);
    m_device->SetFVF(kPosColorFvf);
    m_device->SetStreamSource(0, buffer, 0, sizeof(PosColorVertex));
    m_device->DrawPrimitive(D3DPT_TRIANGLELIST, nearFirst ? 0 : 6, 2);
    m_device->DrawPrimitive(D3DPT_TRIANGLELIST, nearFirst ? 6 : 0, 2);
    ReadFrame();
    EXPECT_TRUE(RgbNear(Pixel(40, 64), Rgb{255, 0, 0}, kTolerance))
        << (nearFirst ? "near drawn first" : "far drawn first");
    EXPECT_TRUE(RgbNear(Pixel(4, 64), Rgb{0, 255, 0}, kTolerance))
        << "far quad outside the near one";
  }
}

// Black quads at view depths 10, 47.5 and 90 under fog from 25 to 70.
TEST_F(PixelTest, LinearTableFogFollowsEyeDepth) {
  m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
  m_device->SetRenderState(D3DRS_FOGENABLE, TRUE);
  m_device->SetRenderState(D3DRS_FOGCOLOR, kClearColor);
  m_device->SetRenderState(D3DRS_FOGTABLEMODE, D3DFOG_LINEAR);
  float start = 25.0f;
  float end = 70.0f;
  DWORD bits;
  std::memcpy(&bits, &start, 4);
  m_device->SetRenderState(D3DRS_FOGSTART, bits);
  std::memcpy(&bits, &end, 4);
  m_device->SetRenderState(D3DRS_FOGEND, bits);
  // Range fog applies to vertex fog only; table fog ignores it.
  m_device->SetRenderState(D3DRS_RANGEFOGENABLE, TRUE);
  const D3DMATRIX projection = PerspectiveFovLH(3.14159265f / 2.0f, 1.0f, 1.0f, 100.0f);
  m_device->SetTransform(D3DTS_PROJECTION, &projection);

  // With a 90° field of view, view-space x = ±d reaches the screen edges:
  // scale each quad by its depth so that it covers a fixed third of the screen.
  PosColorVertex quads[18];
  const float depths[3] = {10.0f, 47.5f, 90.0f};
  for (int i = 0; i < 3; ++i) {
    const float d = depths[i];
    const float x0 = (-1.0f + 2.0f * i / 3.0f) * d;
    const float x1 = (-1.0f + 2.0f * (i + 1) / 3.0f) * d;
    ColorQuadList(quads + 6 * i, x0, -d, x1, d, d, 0xFF000000);
  }
  IDirect3DVertexBuffer9* buffer = MakeBuffer(quads, sizeof quads, kPosColorFvf);
  DrawFrame(buffer, kPosColorFvf, sizeof(PosColorVertex), D3DPT_TRIANGLELIST, 6);
  DumpFrame("fog");
  EXPECT_TRUE(RgbNear(Pixel(21, 64), Rgb{0, 0, 0}, kTolerance)) << "nearer than the fog start";
  // f = (70 - 47.5) / 45 = 0.5: half black, half fog colour.
  const Rgb half{102, 102, 128};
  EXPECT_TRUE(RgbNear(Pixel(64, 64), half, kTolerance)) << "half way, screen centre";
  EXPECT_TRUE(RgbNear(Pixel(64, 4), half, kTolerance)) << "half way, off axis (no range fog)";
  EXPECT_TRUE(RgbNear(Pixel(107, 64), kClear, kTolerance)) << "beyond the fog end";
}

TEST_F(PixelTest, NullTextureLeavesTheDiffuseColour) {
  m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
  PosTexVertex quad[4];
  QuadStrip(quad, -0.5f, -0.5f, 0.5f, 0.5f, 0.5f, 1, 1);
  IDirect3DVertexBuffer9* buffer = MakeBuffer(quad, sizeof quad, kPosTexFvf);
  m_device->SetTexture(0, nullptr);
  DrawFrame(buffer, kPosTexFvf, sizeof(PosTexVertex), D3DPT_TRIANGLESTRIP, 2);
  EXPECT_TRUE(RgbNear(Pixel(64, 64), kWhite, 0)) << "a vertex without colour is opaque white";
  EXPECT_TRUE(RgbNear(Pixel(4, 4), kClear, 0));
}

TEST_F(PixelTest, VertexColoursAreInterpolated) {
  m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
  m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  const PosColorVertex triangle[3] = {{-1.0f, -1.0f, 0.5f, 0xFFFF0000},
                                      {0.0f, 1.0f, 0.5f, 0xFF00FF00},
                                      {1.0f, -1.0f, 0.5f, 0xFF0000FF}};
  IDirect3DVertexBuffer9* buffer = MakeBuffer(triangle, sizeof triangle, kPosColorFvf);
  DrawFrame(buffer, kPosColorFvf, sizeof(PosColorVertex), D3DPT_TRIANGLELIST, 1);
  DumpFrame("vertex_colours");
  EXPECT_TRUE(RgbNear(Pixel(3, 126), Rgb{250, 3, 3}, 8)) << "red corner";
  EXPECT_TRUE(RgbNear(Pixel(64, 2), Rgb{3, 250, 3}, 8)) << "green corner";
  EXPECT_TRUE(RgbNear(Pixel(124, 126), Rgb{3, 3, 250}, 8)) << "blue corner";
  // The centroid (0, -1/3) is screen (64, 85.3): an even mix.
  EXPECT_TRUE(RgbNear(Pixel(64, 85), Rgb{85, 85, 85}, 6)) << "centroid";
}

// A texture bound while the FVF has no coordinates samples (0, 0): with
// linear filtering and wrapping, the mean of the four corner texels.
TEST_F(PixelTest, BoundTextureTintsADrawWithoutCoordinates) {
  m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
  m_device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
  m_device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
  IDirect3DTexture9* texture =
      MakeTexture(2, 2, D3DFMT_X8R8G8B8, {0xFFC80000, 0xFF00C800, 0xFF0000C8, 0xFFC8C8C8});
  PosColorVertex quad[6];
  ColorQuadList(quad, -1, -1, 1, 1, 0.5f, 0xFFFF80FF);
  IDirect3DVertexBuffer9* buffer = MakeBuffer(quad, sizeof quad, kPosColorFvf);
  m_device->SetTexture(0, texture);
  DrawFrame(buffer, kPosColorFvf, sizeof(PosColorVertex), D3DPT_TRIANGLELIST, 2);
  DumpFrame("stale_texture");
  // Mean texel (100, 100, 100) × diffuse (1, 0.5, 1).
  EXPECT_TRUE(RgbNear(Pixel(64, 64), Rgb{100, 50, 100}, kTolerance));
  EXPECT_TRUE(RgbNear(Pixel(5, 120), Rgb{100, 50, 100}, kTolerance)) << "the same everywhere";
}

TEST_F(PixelTest, X8TexturesAreOpaqueAndA8TexturesCarryAlpha) {
  m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
  m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  m_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  m_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  // Same memory, alpha byte 0: X8 ignores it, A8 makes the texel invisible.
  IDirect3DTexture9* opaque = MakeTexture(1, 1, D3DFMT_X8R8G8B8, {0x00FF0000});
  IDirect3DTexture9* transparent = MakeTexture(1, 1, D3DFMT_A8R8G8B8, {0x00FF0000});
  PosTexVertex quad[4];
  QuadStrip(quad, -1, -1, 1, 1, 0.5f, 1, 1);
  IDirect3DVertexBuffer9* buffer = MakeBuffer(quad, sizeof quad, kPosTexFvf);
  m_device->SetTexture(0, opaque);
  DrawFrame(buffer, kPosTexFvf, sizeof(PosTexVertex), D3DPT_TRIANGLESTRIP, 2);
  EXPECT_TRUE(RgbNear(Pixel(64, 64), Rgb{255, 0, 0}, kTolerance)) << "X8R8G8B8";
  m_device->SetTexture(0, transparent);
  DrawFrame(buffer, kPosTexFvf, sizeof(PosTexVertex), D3DPT_TRIANGLESTRIP, 2);
  EXPECT_TRUE(RgbNear(Pixel(64, 64), kClear, kTolerance)) << "A8R8G8B8 with alpha 0";
}

// Direct3D 9 samples pixels at integer coordinates: a quad from 0.5 to 64.5
// covers pixels 1 to 64, where GL's half-pixel centres would give 0 to 63.
// The same through a perspective projection at several depths (w), with the
// edges a quarter pixel past the centres, where an offset not scaled with w
// (at w 10, a tenth of it) lets pixel 0 and row 0 in and column 64 out.
TEST_F(PixelTest, PixelCentresAreDirect3DOnes) {
  m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
  for (const float w : {0.0f, 2.0f, 5.0f, 10.0f}) {
    // w 0: no projection, the quad at z 0.5 with w 1; otherwise x and y
    // scale 1 (90 degrees, square), so that view-space x = ndc x * w.
    const D3DMATRIX projection =
        w == 0.0f ? Identity() : PerspectiveFovLH(3.14159265f / 2.0f, 1.0f, 1.0f, 100.0f);
    m_device->SetTransform(D3DTS_PROJECTION, &projection);
    const float edge = w == 0.0f ? 0.5f : 0.25f, s = w == 0.0f ? 1.0f : w;
    const float x0 = edge * 2.0f / kWidth - 1.0f;
    const float x1 = (64.0f + edge) * 2.0f / kWidth - 1.0f;
    const float y0 = 1.0f - (64.0f + edge) * 2.0f / kHeight;  // bottom edge past row 64
    const float y1 = 1.0f - edge * 2.0f / kHeight;            // top edge past row 0
    PosColorVertex quad[6];
    ColorQuadList(quad, x0 * s, y0 * s, x1 * s, y1 * s, w == 0.0f ? 0.5f : w, 0xFF000000);
    IDirect3DVertexBuffer9* buffer = MakeBuffer(quad, sizeof quad, kPosColorFvf);
    DrawFrame(buffer, kPosColorFvf, sizeof(PosColorVertex), D3DPT_TRIANGLELIST, 2);
    const Rgb black{0, 0, 0};
    const struct {
      int x, y;
      bool inside;
    } edges[] = {{0, 32, false}, {1, 32, true}, {64, 32, true}, {65, 32, false},
                 {32, 0, false}, {32, 1, true}, {32, 64, true}, {32, 65, false}};
    for (const auto& e : edges)
      EXPECT_TRUE(RgbNear(Pixel(e.x, e.y), e.inside ? black : kClear, 0))
          << "pixel (" << e.x << ", " << e.y << ") at w " << w;
  }
}

TEST_F(PixelTest, WorldViewProjectionUseRowVectors) {
  m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
  PosColorVertex quad[6];
  ColorQuadList(quad, -0.25f, -0.25f, 0.25f, 0.25f, 0.5f, 0xFF00FF00);
  IDirect3DVertexBuffer9* buffer = MakeBuffer(quad, sizeof quad, kPosColorFvf);
  // Translation in the fourth row moves the quad right by 0.5 and up by 0.5,
  // then a scale in the view halves nothing but x.
  D3DMATRIX world = Identity();
  world._41 = 0.5f;
  world._42 = 0.5f;
  D3DMATRIX view = Identity();
  view._11 = 0.5f;
  m_device->SetTransform(D3DTS_WORLD, &world);
  m_device->SetTransform(D3DTS_VIEW, &view);
  DrawFrame(buffer, kPosColorFvf, sizeof(PosColorVertex), D3DPT_TRIANGLELIST, 2);
  // x: (±0.25 + 0.5) × 0.5 = 0.125..0.375 → pixels 72..88; y: 0.25..0.75 → rows 16..48.
  EXPECT_TRUE(RgbNear(Pixel(80, 32), Rgb{0, 255, 0}, 0));
  EXPECT_TRUE(RgbNear(Pixel(64, 32), kClear, 0)) << "left of the translated quad";
  EXPECT_TRUE(RgbNear(Pixel(80, 64), kClear, 0)) << "below the translated quad";
}

// A context that the browser gives back after a loss holds none of the
// device's GL objects: staged here by unbinding and deleting every small GL
// name of each kind behind the device's back (names count up from 1). The
// device makes its objects again from what it holds, and sets again the state
// that no call of the frame changes (depth test, fog), so the frame is the same.
TEST_F(PixelTest, AContextMadeAgainDrawsTheSameFrame) {
  m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
  m_device->SetRenderState(D3DRS_FOGENABLE, TRUE);
  m_device->SetRenderState(D3DRS_FOGCOLOR, 0xFF000000);
  m_device->SetRenderState(D3DRS_FOGTABLEMODE, D3DFOG_LINEAR);
  const float fogEnd = 2.0f;  // eye depth 1 (no projection): half fogged
  DWORD bits;
  std::memcpy(&bits, &fogEnd, 4);
  m_device->SetRenderState(D3DRS_FOGEND, bits);
  IDirect3DTexture9* texture =
      MakeTexture(2, 2, D3DFMT_X8R8G8B8, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF});
  PosTexVertex far[4];
  QuadStrip(far, -1, -1, 1, 1, 0.8f, 1, 1);
  PosColorVertex near[6];
  ColorQuadList(near, -0.5f, -0.5f, 0.5f, 0.5f, 0.2f, 0xFFFFFF00);
  IDirect3DVertexBuffer9* farBuffer = MakeBuffer(far, sizeof far, kPosTexFvf);
  IDirect3DVertexBuffer9* nearBuffer = MakeBuffer(near, sizeof near, kPosColorFvf);
  const auto drawNearThenFar = [&]() {
    ASSERT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kClearColor, 1.0f, 0),
              D3D_OK);
    m_device->SetTexture(0, nullptr);
    DrawFrame(nearBuffer, kPosColorFvf, sizeof(PosColorVertex), D3DPT_TRIANGLELIST, 2);
    m_device->SetTexture(0, texture);
    m_device->SetFVF(kPosTexFvf);
    m_device->SetStreamSource(0, farBuffer, 0, sizeof(PosTexVertex));
    EXPECT_EQ(m_device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
    ReadFrame();
  };
  drawNearThenFar();
  const std::vector<uint8_t> before = m_frame;
  EXPECT_TRUE(RgbNear(Pixel(64, 64), Rgb{128, 128, 0}, kTolerance)) << "the near quad, fogged";
  EXPECT_TRUE(RgbNear(Pixel(8, 8), Rgb{128, 0, 0}, kTolerance)) << "the texture's top left";

  platform::GlFunctions& gl = platform::Gl();
  gl.UseProgram(0);  // a program in use outlives its deletion
  for (GLuint name = 1; name <= 64; ++name) {
    gl.DeleteTextures(1, &name);
    gl.DeleteBuffers(1, &name);
    gl.DeleteVertexArrays(1, &name);
    gl.DeleteSamplers(1, &name);
    gl.DeleteProgram(name);  // an error for names of no program, drained below
  }
  while (gl.GetError() != GL_NO_ERROR) {}
  auto* device = dynamic_cast<platform::Device*>(m_device);
  ASSERT_NE(device, nullptr);
  device->RecreateGlObjects();
  drawNearThenFar();
  DumpFrame("context_made_again");
  EXPECT_TRUE(RgbNear(Pixel(64, 64), Rgb{128, 128, 0}, kTolerance)) << "the near quad, fogged";
  EXPECT_TRUE(RgbNear(Pixel(8, 8), Rgb{128, 0, 0}, kTolerance)) << "the texture's top left";
  EXPECT_TRUE(m_frame == before) << "the frame differs from the one before";
}

}  // namespace
}  // namespace d3d9test

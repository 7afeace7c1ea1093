// DeviceState: Direct3D 9 defaults and dirty tracking, without a GPU.
#include "d3d9/device_state.h"

#include <gtest/gtest.h>

#include <cstring>

namespace platform {
namespace {

float AsFloat(DWORD bits) {
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

DWORD Bits(float value) {
  DWORD bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

TEST(DeviceState, StartsWithDirect3DDefaults) {
  DeviceState state(true);
  EXPECT_EQ(state.RenderState(D3DRS_ZENABLE), static_cast<DWORD>(D3DZB_TRUE));
  EXPECT_EQ(state.RenderState(D3DRS_ZWRITEENABLE), static_cast<DWORD>(TRUE));
  EXPECT_EQ(state.RenderState(D3DRS_ZFUNC), static_cast<DWORD>(D3DCMP_LESSEQUAL));
  EXPECT_EQ(state.RenderState(D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_CCW));
  EXPECT_EQ(state.RenderState(D3DRS_FILLMODE), static_cast<DWORD>(D3DFILL_SOLID));
  EXPECT_EQ(state.RenderState(D3DRS_LIGHTING), static_cast<DWORD>(TRUE));
  EXPECT_EQ(state.RenderState(D3DRS_FOGENABLE), 0u);
  EXPECT_EQ(state.RenderState(D3DRS_FOGTABLEMODE), static_cast<DWORD>(D3DFOG_NONE));
  EXPECT_EQ(state.RenderState(D3DRS_FOGCOLOR), 0u);
  EXPECT_EQ(AsFloat(state.RenderState(D3DRS_FOGSTART)), 0.0f);
  EXPECT_EQ(AsFloat(state.RenderState(D3DRS_FOGEND)), 1.0f);
  EXPECT_EQ(state.RenderState(D3DRS_ALPHABLENDENABLE), 0u);
  EXPECT_EQ(state.RenderState(D3DRS_ALPHATESTENABLE), 0u);
  EXPECT_EQ(state.SamplerState(D3DSAMP_ADDRESSU), static_cast<DWORD>(D3DTADDRESS_WRAP));
  EXPECT_EQ(state.SamplerState(D3DSAMP_ADDRESSV), static_cast<DWORD>(D3DTADDRESS_WRAP));
  EXPECT_EQ(state.SamplerState(D3DSAMP_MINFILTER), static_cast<DWORD>(D3DTEXF_POINT));
  EXPECT_EQ(state.SamplerState(D3DSAMP_MAGFILTER), static_cast<DWORD>(D3DTEXF_POINT));
  EXPECT_EQ(state.SamplerState(D3DSAMP_MIPFILTER), static_cast<DWORD>(D3DTEXF_NONE));
  const D3DMATRIX identity = IdentityMatrix();
  EXPECT_EQ(std::memcmp(&state.World(), &identity, sizeof identity), 0);
  EXPECT_EQ(std::memcmp(&state.View(), &identity, sizeof identity), 0);
  EXPECT_EQ(std::memcmp(&state.Projection(), &identity, sizeof identity), 0);
  EXPECT_EQ(state.StreamBuffer(), nullptr);
  EXPECT_EQ(state.Fvf(), 0u);
  EXPECT_EQ(state.BoundTexture(), nullptr);
  EXPECT_EQ(state.Dirty(), static_cast<uint32_t>(kDirtyAll))
      << "a new device applies everything once";
}

TEST(DeviceState, DepthIsOffWithoutADepthBuffer) {
  DeviceState state(false);
  EXPECT_EQ(state.RenderState(D3DRS_ZENABLE), static_cast<DWORD>(D3DZB_FALSE));
}

TEST(DeviceState, ChangesMarkTheirGroupAndEqualValuesMarkNothing) {
  DeviceState state(true);
  state.ClearDirty(kDirtyAll);
  struct Case {
    DWORD state;
    DWORD value;
    uint32_t bit;
  };
  for (const Case& c :
       {Case{D3DRS_FOGENABLE, TRUE, kDirtyFog}, Case{D3DRS_FOGSTART, Bits(25.0f), kDirtyFog},
        Case{D3DRS_FOGEND, Bits(70.0f), kDirtyFog}, Case{D3DRS_FOGCOLOR, 0xFFCCCCFF, kDirtyFog},
        Case{D3DRS_ZFUNC, D3DCMP_LESS, kDirtyDepth}, Case{D3DRS_CULLMODE, D3DCULL_NONE, kDirtyCull},
        Case{D3DRS_FILLMODE, D3DFILL_WIREFRAME, kDirtyFill},
        Case{D3DRS_ALPHABLENDENABLE, TRUE, kDirtyBlend}}) {
    EXPECT_TRUE(state.SetRenderState(c.state, c.value));
    EXPECT_EQ(state.Dirty(), c.bit) << "render state " << c.state;
    state.ClearDirty(kDirtyAll);
    EXPECT_TRUE(state.SetRenderState(c.state, c.value));
    EXPECT_EQ(state.Dirty(), 0u) << "render state " << c.state << " set to its current value";
  }
  // States the renderer ignores are stored but dirty nothing.
  EXPECT_TRUE(state.SetRenderState(D3DRS_LIGHTING, FALSE));
  EXPECT_EQ(state.RenderState(D3DRS_LIGHTING), 0u);
  EXPECT_EQ(state.Dirty(), 0u);
  EXPECT_FALSE(state.SetRenderState(300, 1)) << "outside the table";

  EXPECT_TRUE(state.SetSamplerState(D3DSAMP_MINFILTER, D3DTEXF_LINEAR));
  EXPECT_EQ(state.Dirty(), static_cast<uint32_t>(kDirtySampler));
  state.ClearDirty(kDirtyAll);
  EXPECT_TRUE(state.SetSamplerState(D3DSAMP_MINFILTER, D3DTEXF_LINEAR));
  EXPECT_EQ(state.Dirty(), 0u);
  EXPECT_FALSE(state.SetSamplerState(0, 1));
  EXPECT_FALSE(state.SetSamplerState(14, 1));
}

TEST(DeviceState, TransformsStreamsAndTexturesTrackChanges) {
  DeviceState state(true);
  state.ClearDirty(kDirtyAll);
  D3DMATRIX world = IdentityMatrix();
  world._41 = 5.0f;
  EXPECT_TRUE(state.SetTransform(D3DTS_WORLD, world));
  EXPECT_EQ(state.Dirty(), static_cast<uint32_t>(kDirtyTransform));
  EXPECT_EQ(state.World()._41, 5.0f);
  state.ClearDirty(kDirtyAll);
  EXPECT_TRUE(state.SetTransform(D3DTS_WORLD, world));
  EXPECT_EQ(state.Dirty(), 0u) << "the same matrix again";
  EXPECT_FALSE(state.SetTransform(D3DTS_TEXTURE0, world));

  auto* buffer = reinterpret_cast<VertexBuffer*>(0x1000);
  state.SetStreamSource(buffer, 0, 20);
  EXPECT_EQ(state.Dirty(), static_cast<uint32_t>(kDirtyStream));
  state.ClearDirty(kDirtyAll);
  state.SetStreamSource(buffer, 0, 20);
  state.SetFvf(0);
  EXPECT_EQ(state.Dirty(), 0u);
  state.SetStreamSource(buffer, 0, 16);
  EXPECT_EQ(state.Dirty(), static_cast<uint32_t>(kDirtyStream)) << "a new stride";

  auto* texture = reinterpret_cast<Texture*>(0x2000);
  state.ClearDirty(kDirtyAll);
  state.SetTexture(texture);
  EXPECT_EQ(state.Dirty(), static_cast<uint32_t>(kDirtyTexture));
  state.ClearDirty(kDirtyAll);
  state.SetTexture(texture);
  EXPECT_EQ(state.Dirty(), 0u);
}

TEST(DeviceState, MatrixProductUsesRowVectors) {
  // Translate by (1, 2, 3), then scale by 2: the translation is scaled too.
  D3DMATRIX translate = IdentityMatrix();
  translate._41 = 1.0f;
  translate._42 = 2.0f;
  translate._43 = 3.0f;
  D3DMATRIX scale = IdentityMatrix();
  scale._11 = scale._22 = scale._33 = 2.0f;
  const D3DMATRIX product = MultiplyMatrices(translate, scale);
  EXPECT_EQ(product._41, 2.0f);
  EXPECT_EQ(product._42, 4.0f);
  EXPECT_EQ(product._43, 6.0f);
  EXPECT_EQ(product._11, 2.0f);
  EXPECT_EQ(product._44, 1.0f);
}

}  // namespace
}  // namespace platform

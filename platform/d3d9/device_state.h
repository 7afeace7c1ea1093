// The device's Direct3D state as plain values with dirty bits: render states,
// sampler 0, the world/view/projection transforms, stream 0, the FVF and the
// texture of stage 0. Setters store the raw Direct3D value and mark what
// changed; setting the current value marks nothing. Knows nothing of OpenGL:
// the renderer reads the dirty bits before a draw and clears them.
//
// Limits: only sampler 0, texture stage 0, stream 0 and world matrix 0 are
// kept; the device accepts and ignores the others.
#pragma once

#include <d3d9.h>

#include <cstdint>

namespace platform {

class VertexBuffer;
class Texture;

enum DirtyBits : uint32_t {
  kDirtyTransform = 1u << 0,  // world, view or projection
  kDirtyFog = 1u << 1,        // fog enable, mode, colour, start, end, density
  kDirtyDepth = 1u << 2,      // z enable, write, function
  kDirtyCull = 1u << 3,
  kDirtyFill = 1u << 4,
  kDirtyBlend = 1u << 5,    // alpha blend enable, source and destination factors
  kDirtySampler = 1u << 6,  // sampler 0 filters and addressing
  kDirtyTexture = 1u << 7,  // texture of stage 0
  kDirtyStream = 1u << 8,   // stream 0 buffer, offset, stride, or the FVF
  kDirtyAll = 0x1ffu,
};

// Bits a render state affects (0 for states the renderer ignores).
uint32_t DirtyBitsForRenderState(DWORD state);

class DeviceState {
 public:
  static constexpr DWORD kRenderStateCount = 256;
  static constexpr DWORD kSamplerStateCount = D3DSAMP_DMAPOFFSET + 1;

  explicit DeviceState(bool hasDepthBuffer);

  // False for a state number outside the table.
  bool SetRenderState(DWORD state, DWORD value);
  DWORD RenderState(DWORD state) const {
    return state < kRenderStateCount ? m_renderStates[state] : 0;
  }
  float RenderStateFloat(DWORD state) const;

  bool SetSamplerState(DWORD type, DWORD value);
  DWORD SamplerState(DWORD type) const {
    return type < kSamplerStateCount ? m_samplerStates[type] : 0;
  }

  // World 0, view and projection; false for other transform types.
  bool SetTransform(D3DTRANSFORMSTATETYPE type, const D3DMATRIX& matrix);
  const D3DMATRIX& World() const { return m_world; }
  const D3DMATRIX& View() const { return m_view; }
  const D3DMATRIX& Projection() const { return m_projection; }

  void SetStreamSource(VertexBuffer* buffer, UINT offset, UINT stride);
  VertexBuffer* StreamBuffer() const { return m_streamBuffer; }
  UINT StreamOffset() const { return m_streamOffset; }
  UINT StreamStride() const { return m_streamStride; }

  void SetFvf(DWORD fvf);
  DWORD Fvf() const { return m_fvf; }

  void SetTexture(Texture* texture);
  Texture* BoundTexture() const { return m_texture; }

  uint32_t Dirty() const { return m_dirty; }
  void ClearDirty(uint32_t bits) { m_dirty &= ~bits; }
  void MarkDirty(uint32_t bits) { m_dirty |= bits; }

 private:
  DWORD m_renderStates[kRenderStateCount];
  DWORD m_samplerStates[kSamplerStateCount];
  D3DMATRIX m_world;
  D3DMATRIX m_view;
  D3DMATRIX m_projection;
  VertexBuffer* m_streamBuffer = nullptr;
  UINT m_streamOffset = 0;
  UINT m_streamStride = 0;
  DWORD m_fvf = 0;
  Texture* m_texture = nullptr;
  uint32_t m_dirty = kDirtyAll;
};

D3DMATRIX IdentityMatrix();
// Row-vector product: a × b.
D3DMATRIX MultiplyMatrices(const D3DMATRIX& a, const D3DMATRIX& b);

}  // namespace platform

// Direct3D 9 state storage with dirty tracking, and the defaults a new device
// starts with.
#include "d3d9/device_state.h"

#include <cstring>

namespace platform {
namespace {

DWORD FloatBits(float value) {
  DWORD bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

}  // namespace

uint32_t DirtyBitsForRenderState(DWORD state) {
  switch (state) {
    case D3DRS_ZENABLE:
    case D3DRS_ZWRITEENABLE:
    case D3DRS_ZFUNC: return kDirtyDepth;
    case D3DRS_CULLMODE: return kDirtyCull;
    case D3DRS_FILLMODE: return kDirtyFill;
    case D3DRS_ALPHABLENDENABLE:
    case D3DRS_SRCBLEND:
    case D3DRS_DESTBLEND: return kDirtyBlend;
    case D3DRS_FOGENABLE:
    case D3DRS_FOGCOLOR:
    case D3DRS_FOGTABLEMODE:
    case D3DRS_FOGSTART:
    case D3DRS_FOGEND:
    case D3DRS_FOGDENSITY: return kDirtyFog;
    default: return 0;
  }
}

D3DMATRIX IdentityMatrix() {
  D3DMATRIX m;
  std::memset(&m, 0, sizeof m);
  m._11 = m._22 = m._33 = m._44 = 1.0f;
  return m;
}

D3DMATRIX MultiplyMatrices(const D3DMATRIX& a, const D3DMATRIX& b) {
  D3DMATRIX r;
  for (int row = 0; row < 4; ++row) {
    for (int col = 0; col < 4; ++col) {
      r.m[row][col] = a.m[row][0] * b.m[0][col] + a.m[row][1] * b.m[1][col] +
                      a.m[row][2] * b.m[2][col] + a.m[row][3] * b.m[3][col];
    }
  }
  return r;
}

DeviceState::DeviceState(bool hasDepthBuffer)
    : m_world(IdentityMatrix()), m_view(IdentityMatrix()), m_projection(IdentityMatrix()) {
  std::memset(m_renderStates, 0, sizeof m_renderStates);
  std::memset(m_samplerStates, 0, sizeof m_samplerStates);
  m_renderStates[D3DRS_ZENABLE] = hasDepthBuffer ? D3DZB_TRUE : D3DZB_FALSE;
  m_renderStates[D3DRS_FILLMODE] = D3DFILL_SOLID;
  m_renderStates[D3DRS_SHADEMODE] = D3DSHADE_GOURAUD;
  m_renderStates[D3DRS_ZWRITEENABLE] = TRUE;
  m_renderStates[D3DRS_LASTPIXEL] = TRUE;
  m_renderStates[D3DRS_SRCBLEND] = D3DBLEND_ONE;
  m_renderStates[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
  m_renderStates[D3DRS_CULLMODE] = D3DCULL_CCW;
  m_renderStates[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
  m_renderStates[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
  m_renderStates[D3DRS_FOGSTART] = FloatBits(0.0f);
  m_renderStates[D3DRS_FOGEND] = FloatBits(1.0f);
  m_renderStates[D3DRS_FOGDENSITY] = FloatBits(1.0f);
  m_renderStates[D3DRS_TEXTUREFACTOR] = 0xFFFFFFFFu;
  m_renderStates[D3DRS_LIGHTING] = TRUE;
  m_renderStates[D3DRS_COLORVERTEX] = TRUE;
  m_renderStates[D3DRS_DIFFUSEMATERIALSOURCE] = D3DMCS_COLOR1;
  m_renderStates[D3DRS_COLORWRITEENABLE] = D3DCOLORWRITEENABLE_RED | D3DCOLORWRITEENABLE_GREEN |
                                           D3DCOLORWRITEENABLE_BLUE | D3DCOLORWRITEENABLE_ALPHA;

  m_samplerStates[D3DSAMP_ADDRESSU] = D3DTADDRESS_WRAP;
  m_samplerStates[D3DSAMP_ADDRESSV] = D3DTADDRESS_WRAP;
  m_samplerStates[D3DSAMP_ADDRESSW] = D3DTADDRESS_WRAP;
  m_samplerStates[D3DSAMP_MAGFILTER] = D3DTEXF_POINT;
  m_samplerStates[D3DSAMP_MINFILTER] = D3DTEXF_POINT;
  m_samplerStates[D3DSAMP_MIPFILTER] = D3DTEXF_NONE;
  m_samplerStates[D3DSAMP_MAXANISOTROPY] = 1;
}

float DeviceState::RenderStateFloat(DWORD state) const {
  float value;
  const DWORD bits = RenderState(state);
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

bool DeviceState::SetRenderState(DWORD state, DWORD value) {
  if (state >= kRenderStateCount) return false;
  if (m_renderStates[state] == value) return true;
  m_renderStates[state] = value;
  m_dirty |= DirtyBitsForRenderState(state);
  return true;
}

bool DeviceState::SetSamplerState(DWORD type, DWORD value) {
  if (type == 0 || type >= kSamplerStateCount) return false;
  if (m_samplerStates[type] == value) return true;
  m_samplerStates[type] = value;
  m_dirty |= kDirtySampler;
  return true;
}

bool DeviceState::SetTransform(D3DTRANSFORMSTATETYPE type, const D3DMATRIX& matrix) {
  D3DMATRIX* target = nullptr;
  if (type == D3DTS_WORLD)
    target = &m_world;
  else if (type == D3DTS_VIEW)
    target = &m_view;
  else if (type == D3DTS_PROJECTION)
    target = &m_projection;
  if (!target) return false;
  if (std::memcmp(target, &matrix, sizeof matrix) == 0) return true;
  *target = matrix;
  m_dirty |= kDirtyTransform;
  return true;
}

void DeviceState::SetStreamSource(VertexBuffer* buffer, UINT offset, UINT stride) {
  if (buffer == m_streamBuffer && offset == m_streamOffset && stride == m_streamStride) return;
  m_streamBuffer = buffer;
  m_streamOffset = offset;
  m_streamStride = stride;
  m_dirty |= kDirtyStream;
}

void DeviceState::SetFvf(DWORD fvf) {
  if (fvf == m_fvf) return;
  m_fvf = fvf;
  m_dirty |= kDirtyStream;
}

void DeviceState::SetTexture(Texture* texture) {
  if (texture == m_texture) return;
  m_texture = texture;
  m_dirty |= kDirtyTexture;
}

}  // namespace platform

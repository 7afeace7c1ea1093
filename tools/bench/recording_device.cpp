// Recording pass-through device; see recording_device.h.
#include "recording_device.h"

#include <cstring>

namespace bench {

HRESULT RecordingDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
  if (matrix) {
    if (state == D3DTS_WORLD) m_world = *matrix;
    if (state == D3DTS_VIEW) m_view = *matrix;
    if (state == D3DTS_PROJECTION) m_projection = *matrix;
  }
  return m_real->SetTransform(state, matrix);
}

HRESULT RecordingDevice::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) {
  if (stage == 0) m_texture = texture;
  return m_real->SetTexture(stage, texture);
}

int RecordingDevice::TextureIndex(IDirect3DBaseTexture9* texture) {
  if (!texture) return -1;
  auto found = m_textureIndex.find(texture);
  if (found != m_textureIndex.end()) return found->second;
  // Every texture the program binds is a 2-D texture.
  IDirect3DTexture9* texture2d = static_cast<IDirect3DTexture9*>(texture);
  TextureImage image{1, 1, std::vector<uint8_t>(4, 0xff)};
  D3DSURFACE_DESC desc;
  D3DLOCKED_RECT locked;
  if (SUCCEEDED(texture2d->GetLevelDesc(0, &desc)) &&
      SUCCEEDED(texture2d->LockRect(0, &locked, nullptr, D3DLOCK_READONLY))) {
    image.width = static_cast<int>(desc.Width);
    image.height = static_cast<int>(desc.Height);
    image.bgra.resize(size_t(desc.Width) * desc.Height * 4);
    for (UINT y = 0; y < desc.Height; ++y)
      std::memcpy(&image.bgra[size_t(y) * desc.Width * 4],
                  static_cast<const uint8_t*>(locked.pBits) + size_t(y) * locked.Pitch,
                  size_t(desc.Width) * 4);
    texture2d->UnlockRect(0);
  }
  const int index = static_cast<int>(m_out->textures.size());
  m_out->textures.push_back(std::move(image));
  m_textureIndex[texture] = index;
  return index;
}

HRESULT RecordingDevice::DrawPrimitive(D3DPRIMITIVETYPE primitiveType, UINT startVertex,
                                       UINT primitiveCount) {
  RecordedDraw draw;
  draw.kind = primitiveType == D3DPT_TRIANGLESTRIP ? MeshKind::kStrip
              : primitiveType == D3DPT_TRIANGLEFAN ? MeshKind::kPyramid
                                                   : MeshKind::kCube;
  draw.texture = TextureIndex(m_texture);
  std::memcpy(draw.world, &m_world, sizeof draw.world);
  m_out->draws.push_back(draw);
  return m_real->DrawPrimitive(primitiveType, startVertex, primitiveCount);
}

HRESULT RecordingDevice::Present(const RECT* sourceRect, const RECT* destRect,
                                 HWND destWindowOverride, const RGNDATA* dirtyRegion) {
  RecordedFrame frame;
  std::memcpy(frame.view, &m_view, sizeof frame.view);
  std::memcpy(frame.projection, &m_projection, sizeof frame.projection);
  frame.firstDraw = m_frameFirstDraw;
  frame.drawCount = static_cast<uint32_t>(m_out->draws.size()) - m_frameFirstDraw;
  m_out->frames.push_back(frame);
  m_frameFirstDraw = static_cast<uint32_t>(m_out->draws.size());
  return m_real->Present(sourceRect, destRect, destWindowOverride, dirtyRegion);
}

}  // namespace bench

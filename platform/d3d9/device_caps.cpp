// A plausible D3DCAPS9 for a hardware-T&L device without shaders exposed: the
// values a Direct3D 9 program commonly checks (vertex processing, texture
// size, filters, addressing, streams, primitive counts) are real; the rest are
// conservative.
#include "d3d9/device_caps.h"

#include <cstring>

namespace platform {

void FillDeviceCaps(UINT maxTextureSize, D3DCAPS9* caps) {
  std::memset(caps, 0, sizeof *caps);
  caps->DeviceType = D3DDEVTYPE_HAL;
  caps->AdapterOrdinal = 0;
  caps->Caps2 = 0x20000000u;  // D3DCAPS2_DYNAMICTEXTURES
  caps->Caps3 = 0x00000020u;  // D3DCAPS3_COPY_TO_VIDMEM
  caps->PresentationIntervals = D3DPRESENT_INTERVAL_IMMEDIATE | D3DPRESENT_INTERVAL_ONE;
  caps->DevCaps = D3DDEVCAPS_HWTRANSFORMANDLIGHT | 0x00000010u /* EXECUTEVIDEOMEMORY */ |
                  0x00000200u /* TEXTUREVIDEOMEMORY */ | 0x00080000u /* DRAWPRIMITIVES2EX */;
  caps->PrimitiveMiscCaps = 0x00000002u /* MASKZ */ | 0x00000010u /* CULLNONE */ |
                            0x00000020u /* CULLCW */ | 0x00000040u /* CULLCCW */;
  caps->RasterCaps = 0x00000080u /* FOGTABLE */ | 0x00000100u /* FOGVERTEX */ |
                     0x00008000u /* WFOG */ | 0x00100000u /* ZFOG */;
  caps->ZCmpCaps = 0xffu;  // every D3DPCMPCAPS_*
  caps->AlphaCmpCaps = 0xffu;
  caps->SrcBlendCaps = 0x1fffu;
  caps->DestBlendCaps = 0x1fffu;
  caps->ShadeCaps = 0x00000008u /* COLORGOURAUDRGB */ | 0x00004000u /* ALPHAGOURAUDBLEND */ |
                    0x00080000u /* FOGGOURAUD */;
  caps->TextureCaps = 0x00000004u /* ALPHA */ | 0x00004000u /* MIPMAP */;
  caps->TextureFilterCaps = D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MINFLINEAR |
                            D3DPTFILTERCAPS_MAGFPOINT | D3DPTFILTERCAPS_MAGFLINEAR |
                            0x00010000u /* MIPFPOINT */ | 0x00020000u /* MIPFLINEAR */;
  caps->TextureAddressCaps = D3DPTADDRESSCAPS_WRAP | 0x00000002u /* MIRROR */ |
                             D3DPTADDRESSCAPS_CLAMP | 0x00000008u /* BORDER */ |
                             0x00000020u /* INDEPENDENTUV */;
  caps->LineCaps = 0x00000002u /* TEXTURE */ | 0x00000004u /* ZTEST */ | 0x00000010u /* FOG */;
  caps->MaxTextureWidth = maxTextureSize;
  caps->MaxTextureHeight = maxTextureSize;
  caps->MaxTextureRepeat = 8192;
  caps->MaxTextureAspectRatio = maxTextureSize;
  caps->MaxAnisotropy = 1;
  caps->MaxVertexW = 1.0e10f;
  caps->GuardBandLeft = -32768.0f;
  caps->GuardBandTop = -32768.0f;
  caps->GuardBandRight = 32768.0f;
  caps->GuardBandBottom = 32768.0f;
  caps->FVFCaps = 8;  // D3DFVFCAPS_TEXCOORDCOUNTMASK: up to 8 sets described
  caps->TextureOpCaps = 0x00000008u /* MODULATE */ | 0x00000002u /* SELECTARG1 */;
  caps->MaxTextureBlendStages = 1;
  caps->MaxSimultaneousTextures = 1;
  caps->VertexProcessingCaps = D3DVTXPCAPS_TEXGEN | D3DVTXPCAPS_MATERIALSOURCE7 |
                               D3DVTXPCAPS_DIRECTIONALLIGHTS | D3DVTXPCAPS_POSITIONALLIGHTS |
                               D3DVTXPCAPS_LOCALVIEWER;
  caps->MaxActiveLights = 8;
  caps->MaxPointSize = 1.0f;
  caps->MaxPrimitiveCount = 0x00ffffffu;
  caps->MaxVertexIndex = 0x00ffffffu;
  caps->MaxStreams = 1;
  caps->MaxStreamStride = 255;
  caps->PixelShader1xMaxValue = 1.0f;
  caps->MasterAdapterOrdinal = 0;
  caps->AdapterOrdinalInGroup = 0;
  caps->NumberOfAdaptersInGroup = 1;
  caps->NumSimultaneousRTs = 1;
  caps->StretchRectFilterCaps = D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MAGFPOINT;
}

}  // namespace platform

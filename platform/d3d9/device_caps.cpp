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
  caps->Caps2 = D3DCAPS2_DYNAMICTEXTURES;
  caps->Caps3 = D3DCAPS3_COPY_TO_VIDMEM;
  caps->PresentationIntervals = D3DPRESENT_INTERVAL_IMMEDIATE | D3DPRESENT_INTERVAL_ONE;
  caps->DevCaps = D3DDEVCAPS_HWTRANSFORMANDLIGHT | D3DDEVCAPS_EXECUTEVIDEOMEMORY |
                  D3DDEVCAPS_TEXTUREVIDEOMEMORY | D3DDEVCAPS_DRAWPRIMITIVES2EX;
  caps->PrimitiveMiscCaps =
      D3DPMISCCAPS_MASKZ | D3DPMISCCAPS_CULLNONE | D3DPMISCCAPS_CULLCW | D3DPMISCCAPS_CULLCCW;
  caps->RasterCaps = D3DPRASTERCAPS_FOGTABLE | D3DPRASTERCAPS_FOGVERTEX | D3DPRASTERCAPS_WFOG |
                     D3DPRASTERCAPS_ZFOG;
  const DWORD everyCompare = D3DPCMPCAPS_NEVER | D3DPCMPCAPS_LESS | D3DPCMPCAPS_EQUAL |
                             D3DPCMPCAPS_LESSEQUAL | D3DPCMPCAPS_GREATER | D3DPCMPCAPS_NOTEQUAL |
                             D3DPCMPCAPS_GREATEREQUAL | D3DPCMPCAPS_ALWAYS;
  caps->ZCmpCaps = everyCompare;
  caps->AlphaCmpCaps = everyCompare;
  // D3DBLEND_ZERO to D3DBLEND_BOTHINVSRCALPHA; no blend factor.
  const DWORD blendFactors =
      D3DPBLENDCAPS_ZERO | D3DPBLENDCAPS_ONE | D3DPBLENDCAPS_SRCCOLOR | D3DPBLENDCAPS_INVSRCCOLOR |
      D3DPBLENDCAPS_SRCALPHA | D3DPBLENDCAPS_INVSRCALPHA | D3DPBLENDCAPS_DESTALPHA |
      D3DPBLENDCAPS_INVDESTALPHA | D3DPBLENDCAPS_DESTCOLOR | D3DPBLENDCAPS_INVDESTCOLOR |
      D3DPBLENDCAPS_SRCALPHASAT | D3DPBLENDCAPS_BOTHSRCALPHA | D3DPBLENDCAPS_BOTHINVSRCALPHA;
  caps->SrcBlendCaps = blendFactors;
  caps->DestBlendCaps = blendFactors;
  caps->ShadeCaps =
      D3DPSHADECAPS_COLORGOURAUDRGB | D3DPSHADECAPS_ALPHAGOURAUDBLEND | D3DPSHADECAPS_FOGGOURAUD;
  caps->TextureCaps = D3DPTEXTURECAPS_ALPHA | D3DPTEXTURECAPS_MIPMAP;
  caps->TextureFilterCaps = D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MINFLINEAR |
                            D3DPTFILTERCAPS_MAGFPOINT | D3DPTFILTERCAPS_MAGFLINEAR |
                            D3DPTFILTERCAPS_MIPFPOINT | D3DPTFILTERCAPS_MIPFLINEAR;
  caps->TextureAddressCaps = D3DPTADDRESSCAPS_WRAP | D3DPTADDRESSCAPS_MIRROR |
                             D3DPTADDRESSCAPS_CLAMP | D3DPTADDRESSCAPS_BORDER |
                             D3DPTADDRESSCAPS_INDEPENDENTUV;
  caps->LineCaps = D3DLINECAPS_TEXTURE | D3DLINECAPS_ZTEST | D3DLINECAPS_FOG;
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
  caps->FVFCaps = 8;  // the D3DFVFCAPS_TEXCOORDCOUNTMASK field: up to 8 sets described
  caps->TextureOpCaps = D3DTEXOPCAPS_MODULATE | D3DTEXOPCAPS_SELECTARG1;
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

#include "textures/texture_set.h"

#include <d3dx9.h>

namespace {

const char* const kObjectFiles[OBJECT_TEXTURE_COUNT] = {
    "pic/obj/holz2.jpg",    "pic/obj/GINGHAM.jpg",  "pic/obj/LEOPARD.jpg",  "pic/obj/TABCLOTH.jpg",
    "pic/obj/WAVEDBL.jpg",  "pic/obj/holz6.jpg",    "pic/obj/BURLWOOD.jpg", "pic/obj/PARQUET.jpg",
    "pic/obj/WOOD04.jpg",   "pic/obj/S_BLECH2.jpg", "pic/obj/ALU.jpg",      "pic/obj/W-BLECH.jpg",
    "pic/obj/holz10.jpg",   "pic/obj/holz12.jpg",   "pic/obj/Kork1.jpg",    "pic/obj/st2007.jpg",
    "pic/obj/TEALCLOT.jpg",
};

const struct {
  const char* file;
  const char* failureText;
} kSkyFaces[SKY_TEXTURE_COUNT] = {
    {"pic/sky/front.jpg", "Fehler beim Laden der Textur Sky FRONT"},
    {"pic/sky/back.jpg", "Fehler beim Laden der Textur Sky BACK"},
    {"pic/sky/left.jpg", "Fehler beim Laden der Textur Sky LEFT"},
    {"pic/sky/right.jpg", "Fehler beim Laden der Textur Sky RIGHT"},
    {"pic/sky/top.jpg", "Fehler beim Laden der Textur Sky TOP"},
    {"pic/sky/bottom.jpg", "Fehler beim Laden der Textur Sky BOTTOM"},
};

}  // namespace

TextureSet::TextureSet()
    : pDevice(NULL), objectTextures(), skyTextures(), wallTexture(NULL), fighterTexture(NULL) {}

// Reads the file's own size, then creates a single-level texture of exactly
// that size with no filtering. Fails without creating anything when the
// image information cannot be read.
HRESULT TextureSet::LoadExactSize(const char* fileName, D3DFORMAT format,
                                  IDirect3DTexture9** texture) {
  D3DXIMAGE_INFO ImageInfo;
  HRESULT hr = D3DXGetImageInfoFromFileA(fileName, &ImageInfo);
  if (FAILED(hr)) return hr;
  return D3DXCreateTextureFromFileExA(pDevice, fileName, ImageInfo.Width, ImageInfo.Height, 1, 0,
                                      format, D3DPOOL_MANAGED, D3DX_FILTER_NONE, D3DX_FILTER_NONE,
                                      0, NULL, NULL, texture);
}

void TextureSet::Load(IDirect3DDevice9* device) {
  pDevice = device;
  // Plain loads: a failure leaves the member null and is not reported.
  for (int i = 0; i < OBJECT_TEXTURE_COUNT; ++i)
    D3DXCreateTextureFromFileA(pDevice, kObjectFiles[i], &objectTextures[i]);
  D3DXCreateTextureFromFileA(pDevice, "pic/mauergrass.jpg", &wallTexture);
  D3DXCreateTextureFromFileA(pDevice, "FIGHTER.png", &fighterTexture);

  for (int i = 0; i < SKY_TEXTURE_COUNT; ++i) {
    if (FAILED(LoadExactSize(kSkyFaces[i].file, D3DFMT_X8R8G8B8, &skyTextures[i])))
      MessageBoxA(NULL, kSkyFaces[i].failureText, "Fehler", MB_OK);
  }
}

void TextureSet::LoadTexture(const char* fileName) {
  std::string key(fileName);
  if (textureMap.find(key) != textureMap.end()) return;
  IDirect3DTexture9* lpTexture = NULL;
  LoadExactSize(fileName, D3DFMT_UNKNOWN, &lpTexture);
  textureMap[key] = lpTexture;
}

IDirect3DTexture9* TextureSet::GetTexture(const char* fileName) {
  std::map<std::string, IDirect3DTexture9*>::const_iterator it = textureMap.find(fileName);
  return it == textureMap.end() ? NULL : it->second;
}

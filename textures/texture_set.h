// Every texture of the scene except the floor's grass: 17 object textures
// (the first six go on the cubes), six sky faces, a wall and a fighter, all
// loaded once at start-up; plus a name-keyed load and lookup.
#pragma once

#include <windows.h>
#include <d3d9.h>

#include <map>
#include <string>

const int OBJECT_TEXTURE_COUNT = 17;
const int SKY_TEXTURE_COUNT = 6;

class TextureSet {
 public:
  TextureSet();
  // Destroys the map only: the textures are left to the end of the process.
  ~TextureSet() = default;

  // Loads all 25 textures; each sky face that fails shows a message box.
  void Load(IDirect3DDevice9* device);
  // Loads a file into the map once, under its exact (case-sensitive) name.
  void LoadTexture(const char* fileName);
  // The map's texture for a name, or null. Never loads.
  IDirect3DTexture9* GetTexture(const char* fileName);

  IDirect3DDevice9* pDevice;
  IDirect3DTexture9* objectTextures[OBJECT_TEXTURE_COUNT];
  IDirect3DTexture9* skyTextures[SKY_TEXTURE_COUNT];  // front, back, left, right, top, bottom
  IDirect3DTexture9* wallTexture;
  IDirect3DTexture9* fighterTexture;
  std::map<std::string, IDirect3DTexture9*> textureMap;

 private:
  HRESULT LoadExactSize(const char* fileName, D3DFORMAT format, IDirect3DTexture9** texture);
};

// Holds our D3DX (linked in) against another one loaded from d3dx9_43.dll
// (under Wine: Wine's own), on one Direct3D 9 device, with the program's own
// calls. Run in a folder holding the program's images.
//  - Every image the program reads: the texture set's call for it (the plain
//    D3DXCreateTextureFromFileA, or for a sky face D3DXGetImageInfoFromFileA
//    and the Ex call with the image's size, one level, X8R8G8B8 and no
//    filter; the floor's path with a backslash as the floor strip has it):
//    the image information and the texture's size, format and level count
//    must agree and level 0 must agree pixel by pixel within MAX_DIFFERENCE.
//  - The failures: a missing file, an empty file and a JPEG cut in half
//    (written into FAILURE_DIR), and NULL arguments: both give the same
//    result, D3DXERR_INVALIDDATA or D3DERR_INVALIDCALL, and no texture.
// usage: wine_d3dx_check.exe FAILURE_DIR MAX_DIFFERENCE
#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const char* const kImages[] = {
#include "asset_files.inc"
};

typedef HRESULT(WINAPI* CreateFn)(IDirect3DDevice9*, const char*, IDirect3DTexture9**);
typedef HRESULT(WINAPI* CreateExFn)(IDirect3DDevice9*, const char*, UINT, UINT, UINT, DWORD,
                                    D3DFORMAT, D3DPOOL, DWORD, DWORD, D3DCOLOR, D3DXIMAGE_INFO*,
                                    PALETTEENTRY*, IDirect3DTexture9**);
typedef HRESULT(WINAPI* InfoFn)(const char*, D3DXIMAGE_INFO*);

struct D3dx {
  const char* name;
  CreateFn create;
  CreateExFn createEx;
  InfoFn info;
};

// What one implementation made of one file with the program's call.
struct Load {
  HRESULT infoResult = E_FAIL;
  D3DXIMAGE_INFO info = {};
  HRESULT result = E_FAIL;
  IDirect3DTexture9* texture = NULL;
  ~Load() {
    if (texture != NULL) texture->Release();
  }
};

// GetProcAddress's result as the function it is (through the generic
// function type, which any function pointer may be cast to and from).
template <typename Function>
Function Proc(HMODULE library, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

bool IsSkyFace(const std::string& path) { return path.compare(0, 8, "pic/sky/") == 0; }

// The program's own path for an image: the floor strip names its texture
// with a backslash.
std::string ProgramPath(const std::string& path) {
  if (path != "pic/GRASS1.jpg") return path;
  return "pic\\GRASS1.jpg";
}

void LoadAsTheProgramDoes(const D3dx& d3dx, IDirect3DDevice9* device, const std::string& path,
                          Load* load) {
  load->infoResult = d3dx.info(path.c_str(), &load->info);
  if (!IsSkyFace(path)) {
    load->result = d3dx.create(device, path.c_str(), &load->texture);
  } else if (SUCCEEDED(load->infoResult)) {
    load->result = d3dx.createEx(device, path.c_str(), load->info.Width, load->info.Height, 1, 0,
                                 D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, D3DX_FILTER_NONE,
                                 D3DX_FILTER_NONE, 0, NULL, NULL, &load->texture);
  } else {
    load->result = load->infoResult;
  }
}

// The largest channel difference of a level, or -1 when it cannot be read.
int LargestDifference(IDirect3DTexture9* a, IDirect3DTexture9* b, UINT level) {
  D3DSURFACE_DESC desc;
  a->GetLevelDesc(level, &desc);
  D3DLOCKED_RECT lockedA, lockedB;
  if (FAILED(a->LockRect(level, &lockedA, NULL, D3DLOCK_READONLY))) return -1;
  if (FAILED(b->LockRect(level, &lockedB, NULL, D3DLOCK_READONLY))) {
    a->UnlockRect(level);
    return -1;
  }
  // X8R8G8B8's fourth byte is undefined: only colour counts there.
  const UINT channels = desc.Format == D3DFMT_A8R8G8B8 ? 4 : 3;
  int worst = 0;
  for (UINT y = 0; y < desc.Height; ++y) {
    const BYTE* rowA = static_cast<const BYTE*>(lockedA.pBits) + y * lockedA.Pitch;
    const BYTE* rowB = static_cast<const BYTE*>(lockedB.pBits) + y * lockedB.Pitch;
    for (UINT x = 0; x < desc.Width; ++x)
      for (UINT c = 0; c < channels; ++c)
        worst = std::max(worst, std::abs(int{rowA[x * 4 + c]} - int{rowB[x * 4 + c]}));
  }
  a->UnlockRect(level);
  b->UnlockRect(level);
  return worst;
}

// The format may differ in one way: a JPEG's pixels are X8R8G8B8 to us, as
// to D3DX on Windows, and R8G8B8 to Wine 8's D3DX (the textures made from it
// are X8R8G8B8 in both).
bool SameInfo(const D3DXIMAGE_INFO& ours, const D3DXIMAGE_INFO& theirs) {
  const bool sameFormat = ours.Format == theirs.Format ||
                          (ours.ImageFileFormat == D3DXIFF_JPG && ours.Format == D3DFMT_X8R8G8B8 &&
                           theirs.Format == D3DFMT_R8G8B8);
  return ours.Width == theirs.Width && ours.Height == theirs.Height && ours.Depth == theirs.Depth &&
         ours.MipLevels == theirs.MipLevels && sameFormat &&
         ours.ResourceType == theirs.ResourceType && ours.ImageFileFormat == theirs.ImageFileFormat;
}

std::string Describe(const D3DXIMAGE_INFO& info) {
  char text[128];
  snprintf(text, sizeof(text), "%ux%u depth %u, %u levels, format %u, file type %u",
           static_cast<unsigned>(info.Width), static_cast<unsigned>(info.Height),
           static_cast<unsigned>(info.Depth), static_cast<unsigned>(info.MipLevels),
           static_cast<unsigned>(info.Format), static_cast<unsigned>(info.ImageFileFormat));
  return text;
}

// One image through both: false (with the reason printed) when they differ.
bool CheckImage(const D3dx& ours, const D3dx& theirs, IDirect3DDevice9* device,
                const std::string& path, int maxDifference, int* worstOverall) {
  const std::string programPath = ProgramPath(path);
  Load a, b;
  LoadAsTheProgramDoes(ours, device, programPath, &a);
  LoadAsTheProgramDoes(theirs, device, programPath, &b);
  const char* name = programPath.c_str();
  if (FAILED(a.result) || FAILED(b.result)) {
    printf("%s: FAIL: ours 0x%08lx, %s 0x%08lx\n", name, static_cast<unsigned long>(a.result),
           theirs.name, static_cast<unsigned long>(b.result));
    return false;
  }
  if (!SameInfo(a.info, b.info)) {
    printf("%s: FAIL: image information: ours %s, %s %s\n", name, Describe(a.info).c_str(),
           theirs.name, Describe(b.info).c_str());
    return false;
  }
  D3DSURFACE_DESC descA, descB;
  a.texture->GetLevelDesc(0, &descA);
  b.texture->GetLevelDesc(0, &descB);
  const DWORD levelsA = a.texture->GetLevelCount(), levelsB = b.texture->GetLevelCount();
  if (descA.Width != descB.Width || descA.Height != descB.Height || descA.Format != descB.Format ||
      descA.Pool != descB.Pool || levelsA != levelsB) {
    printf(
        "%s: FAIL: ours %ux%u format %u pool %u, %lu levels; %s %ux%u format %u pool %u, "
        "%lu levels\n",
        name, descA.Width, descA.Height, static_cast<unsigned>(descA.Format),
        static_cast<unsigned>(descA.Pool), static_cast<unsigned long>(levelsA), theirs.name,
        descB.Width, descB.Height, static_cast<unsigned>(descB.Format),
        static_cast<unsigned>(descB.Pool), static_cast<unsigned long>(levelsB));
    return false;
  }
  const int worst = LargestDifference(a.texture, b.texture, 0);
  int worstMip = 0;
  for (DWORD level = 1; level < levelsA; ++level)
    worstMip = std::max(worstMip, LargestDifference(a.texture, b.texture, level));
  printf("%s: %ux%u format %u, %lu levels, largest difference %d (the other levels %d)\n", name,
         descA.Width, descA.Height, static_cast<unsigned>(descA.Format),
         static_cast<unsigned long>(levelsA), worst, worstMip);
  if (worst < 0) {
    printf("%s: FAIL: level 0 cannot be locked\n", name);
    return false;
  }
  *worstOverall = std::max(*worstOverall, worst);
  return worst <= maxDifference;
}

bool WriteFileBytes(const std::string& path, const std::vector<char>& bytes) {
  std::ofstream file(path.c_str(), std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return file.good();
}

// Each call with each broken input: both must give `expected` (for the image
// information of a cut JPEG, whose header is whole: the same as each other)
// and leave no texture.
bool CheckFailures(const D3dx& ours, const D3dx& theirs, IDirect3DDevice9* device,
                   const std::string& dir) {
  std::ifstream source("pic/sky/front.jpg", std::ios::binary);
  std::vector<char> jpeg((std::istreambuf_iterator<char>(source)),
                         std::istreambuf_iterator<char>());
  jpeg.resize(jpeg.size() / 2);
  const std::string empty = dir + "\\empty.jpg", cut = dir + "\\half.jpg";
  if (jpeg.empty() || !WriteFileBytes(empty, std::vector<char>()) || !WriteFileBytes(cut, jpeg)) {
    printf("FAIL: cannot write the broken files into %s\n", dir.c_str());
    return false;
  }
  struct Case {
    const char* what;
    IDirect3DDevice9* device;
    const char* path;
    bool textureOut;
    HRESULT expected;
  } cases[] = {
      {"missing file", device, "pic\\no-such-image.jpg", true, D3DXERR_INVALIDDATA},
      {"empty file", device, empty.c_str(), true, D3DXERR_INVALIDDATA},
      {"JPEG cut in half", device, cut.c_str(), true, D3DXERR_INVALIDDATA},
      {"NULL device", NULL, "pic/sky/front.jpg", true, D3DERR_INVALIDCALL},
      {"NULL path", device, NULL, true, D3DERR_INVALIDCALL},
      {"NULL texture pointer", device, "pic/sky/front.jpg", false, D3DERR_INVALIDCALL},
  };
  bool ok = true;
  for (const Case& c : cases) {
    const D3dx* both[2] = {&ours, &theirs};
    HRESULT plain[2], ex[2], info[2] = {S_OK, S_OK};
    bool leftTexture = false;
    for (int i = 0; i < 2; ++i) {
      IDirect3DTexture9* texture = NULL;
      IDirect3DTexture9** out = c.textureOut ? &texture : NULL;
      plain[i] = both[i]->create(c.device, c.path, out);
      leftTexture = leftTexture || texture != NULL;
      ex[i] = both[i]->createEx(c.device, c.path, 256, 256, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED,
                                D3DX_FILTER_NONE, D3DX_FILTER_NONE, 0, NULL, NULL, out);
      leftTexture = leftTexture || texture != NULL;
      if (texture != NULL) texture->Release();
      D3DXIMAGE_INFO imageInfo;
      if (c.path != NULL && c.device != NULL && c.textureOut)
        info[i] = both[i]->info(c.path, &imageInfo);
    }
    const bool infoExpected = c.expected == D3DXERR_INVALIDDATA && c.path != cut.c_str();
    const bool good = plain[0] == c.expected && plain[1] == c.expected && ex[0] == c.expected &&
                      ex[1] == c.expected && info[0] == info[1] &&
                      (!infoExpected || info[0] == c.expected) && !leftTexture;
    printf(
        "%s: plain 0x%08lx / 0x%08lx, Ex 0x%08lx / 0x%08lx, image information 0x%08lx / "
        "0x%08lx (ours / %s)%s\n",
        c.what, static_cast<unsigned long>(plain[0]), static_cast<unsigned long>(plain[1]),
        static_cast<unsigned long>(ex[0]), static_cast<unsigned long>(ex[1]),
        static_cast<unsigned long>(info[0]), static_cast<unsigned long>(info[1]), theirs.name,
        good ? "" : (leftTexture ? "  <- FAIL: a texture was left" : "  <- FAIL"));
    ok = ok && good;
  }
  DeleteFileA(empty.c_str());
  DeleteFileA(cut.c_str());
  return ok;
}

IDirect3DDevice9* CreateDevice(IDirect3D9* d3d) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(NULL);
  windowClass.lpszClassName = "WINE_D3DX_CHECK";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowExA(0, "WINE_D3DX_CHECK", "wine_d3dx_check", WS_POPUP, 0, 0, 64, 64,
                                NULL, NULL, windowClass.hInstance, NULL);
  D3DPRESENT_PARAMETERS parameters = {};
  parameters.Windowed = TRUE;
  parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
  parameters.BackBufferFormat = D3DFMT_UNKNOWN;
  IDirect3DDevice9* device = NULL;
  if (window == NULL ||
      FAILED(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                               D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters, &device)))
    return NULL;
  return device;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: wine_d3dx_check.exe FAILURE_DIR MAX_DIFFERENCE\n");
    return 2;
  }
  const std::string failureDir = argv[1];
  const int maxDifference = atoi(argv[2]);
  HMODULE library = LoadLibraryA("d3dx9_43.dll");
  if (library == NULL) {
    printf("FAIL: cannot load d3dx9_43.dll (error %lu)\n",
           static_cast<unsigned long>(GetLastError()));
    return 1;
  }
  const D3dx ours = {"ours", D3DXCreateTextureFromFileA, D3DXCreateTextureFromFileExA,
                     D3DXGetImageInfoFromFileA};
  const D3dx theirs = {"d3dx9_43.dll", Proc<CreateFn>(library, "D3DXCreateTextureFromFileA"),
                       Proc<CreateExFn>(library, "D3DXCreateTextureFromFileExA"),
                       Proc<InfoFn>(library, "D3DXGetImageInfoFromFileA")};
  if (theirs.create == NULL || theirs.createEx == NULL || theirs.info == NULL) {
    printf("FAIL: d3dx9_43.dll lacks the texture functions\n");
    return 1;
  }
  IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
  IDirect3DDevice9* device = d3d != NULL ? CreateDevice(d3d) : NULL;
  if (device == NULL) {
    printf("FAIL: no Direct3D 9 device\n");
    return 1;
  }
  int failed = 0, worst = 0;
  const int images = static_cast<int>(sizeof(kImages) / sizeof(kImages[0]));
  for (const char* image : kImages)
    if (!CheckImage(ours, theirs, device, image, maxDifference, &worst)) ++failed;
  printf("%d images, largest difference %d (limit %d), %d failed\n", images, worst, maxDifference,
         failed);
  const bool failuresAgree = CheckFailures(ours, theirs, device, failureDir);
  printf("the failures %s\n", failuresAgree ? "agree" : "DIFFER");
  device->Release();
  d3d->Release();
  return failed == 0 && failuresAgree ? 0 : 1;
}

// The capture tool on Windows: the program's sources on the real Direct3D 9
// and on either D3DX (the layer's, linked in, or the SDK's d3dx9_43.dll), with
// the platform entry points that make a run repeatable supplied here instead
// of by their DLLs:
//   - timeGetTime: a clock that only RunFrame moves;
//   - DirectInput8Create: a keyboard that reports the scripted key as held;
//   - MessageBoxA: the text goes to stderr (nobody is there to close a box).
// The program calls timeGetTime and MessageBoxA through the import slots that
// the SDK's dllimport declarations name (__imp_timeGetTime, ...); defining
// those slots here keeps the import libraries' entries out, so the .exe
// imports nothing of dinput8.dll and of winmm.dll only the 1 ms period
// (timeBeginPeriod, timeEndPeriod) that the viewer asks for too.
//
// A frame asked for is read inside Present (present_hook.c), before the
// discarding swap: GetBackBuffer, GetRenderTargetData into system memory,
// then written as an RGB PNG through the Windows Imaging Component (not D3DX,
// so that both builds write their frames the same way).
#ifndef DIRECTINPUT_VERSION
#define DIRECTINPUT_VERSION 0x0800
#endif
#include <windows.h>
#include <mmsystem.h>
#include <d3d9.h>
#include <d3dx9.h>
#include <dinput.h>
#include <wincodec.h>

#include <cstdio>
#include <cstring>

#include "app/app.h"
#include "capture_backend.h"
#include "present_hook.h"
#include "world/world.h"

namespace {

DWORD g_clockMs = 0;
BYTE g_keys[256];

// The paths the frame being drawn goes to, while RunFrame runs.
const std::vector<std::string>* g_framePaths = nullptr;
bool g_frameWritten = false;
bool g_frameFailed = false;

DWORD WINAPI ManualTimeGetTime() { return g_clockMs; }

int WINAPI MessageBoxToStderr(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  fprintf(stderr, "%s: %s\n", caption != NULL ? caption : "Error", text != NULL ? text : "");
  return IDOK;
}

// The keyboard device: GetDeviceState copies the scripted keys; the calls the
// program makes succeed, every other one is unsupported. One static object.
class ScriptedKeyboard final : public IDirectInputDevice8A {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    *object = NULL;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --m_refs; }
  HRESULT STDMETHODCALLTYPE Acquire() override { return DI_OK; }
  HRESULT STDMETHODCALLTYPE Unacquire() override { return DI_OK; }
  HRESULT STDMETHODCALLTYPE GetDeviceState(DWORD size, LPVOID data) override {
    if (size != sizeof(g_keys) || data == NULL) return DIERR_INVALIDPARAM;
    memcpy(data, g_keys, sizeof(g_keys));
    return DI_OK;
  }
  HRESULT STDMETHODCALLTYPE SetDataFormat(LPCDIDATAFORMAT format) override {
    return format == &c_dfDIKeyboard ? DI_OK : DIERR_INVALIDPARAM;
  }
  HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window, DWORD flags) override { return DI_OK; }

  HRESULT STDMETHODCALLTYPE GetCapabilities(LPDIDEVCAPS) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumObjects(LPDIENUMDEVICEOBJECTSCALLBACKA, LPVOID, DWORD) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetProperty(REFGUID, LPDIPROPHEADER) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetProperty(REFGUID, LPCDIPROPHEADER) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetDeviceData(DWORD, LPDIDEVICEOBJECTDATA, LPDWORD, DWORD) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetEventNotification(HANDLE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetObjectInfo(LPDIDEVICEOBJECTINSTANCEA, DWORD, DWORD) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetDeviceInfo(LPDIDEVICEINSTANCEA) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE RunControlPanel(HWND, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Initialize(HINSTANCE, DWORD, REFGUID) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CreateEffect(REFGUID, LPCDIEFFECT, LPDIRECTINPUTEFFECT*,
                                         LPUNKNOWN) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE EnumEffects(LPDIENUMEFFECTSCALLBACKA, LPVOID, DWORD) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetEffectInfo(LPDIEFFECTINFOA, REFGUID) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetForceFeedbackState(LPDWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SendForceFeedbackCommand(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumCreatedEffectObjects(LPDIENUMCREATEDEFFECTOBJECTSCALLBACK, LPVOID,
                                                     DWORD) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Escape(LPDIEFFESCAPE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Poll() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SendDeviceData(DWORD, LPCDIDEVICEOBJECTDATA, LPDWORD, DWORD) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE EnumEffectsInFile(LPCSTR, LPDIENUMEFFECTSINFILECALLBACK, LPVOID,
                                              DWORD) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE WriteEffectToFile(LPCSTR, DWORD, LPDIFILEEFFECT, DWORD) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE BuildActionMap(LPDIACTIONFORMATA, LPCSTR, DWORD) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetActionMap(LPDIACTIONFORMATA, LPCSTR, DWORD) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetImageInfo(LPDIDEVICEIMAGEINFOHEADERA) override { return E_NOTIMPL; }

 private:
  ULONG m_refs = 1;
};

// The DirectInput object: makes the keyboard, nothing else.
class ScriptedDirectInput final : public IDirectInput8A {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    *object = NULL;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --m_refs; }
  HRESULT STDMETHODCALLTYPE CreateDevice(REFGUID guid, LPDIRECTINPUTDEVICE8A* device,
                                         LPUNKNOWN outer) override {
    if (device == NULL) return DIERR_INVALIDPARAM;
    *device = NULL;
    if (!IsEqualGUID(guid, GUID_SysKeyboard)) return DIERR_DEVICENOTREG;
    m_keyboard.AddRef();
    *device = &m_keyboard;
    return DI_OK;
  }
  HRESULT STDMETHODCALLTYPE EnumDevices(DWORD, LPDIENUMDEVICESCALLBACKA, LPVOID, DWORD) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetDeviceStatus(REFGUID) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE RunControlPanel(HWND, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Initialize(HINSTANCE, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE FindDevice(REFGUID, LPCSTR, LPGUID) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumDevicesBySemantics(LPCSTR, LPDIACTIONFORMATA,
                                                   LPDIENUMDEVICESBYSEMANTICSCBA, LPVOID,
                                                   DWORD) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE ConfigureDevices(LPDICONFIGUREDEVICESCALLBACK,
                                             LPDICONFIGUREDEVICESPARAMSA, DWORD, LPVOID) override {
    return E_NOTIMPL;
  }

 private:
  ULONG m_refs = 1;
  ScriptedKeyboard m_keyboard;
};

ScriptedDirectInput g_directInput;

template <typename T>
void ReleaseIf(T* object) {
  if (object != NULL) object->Release();
}

// Writes a locked X8R8G8B8 or A8R8G8B8 surface as an 8-bit RGB PNG.
HRESULT WritePng(const std::string& path, const D3DLOCKED_RECT& locked, UINT width, UINT height) {
  std::wstring widePath(path.begin(), path.end());
  IWICImagingFactory* factory = NULL;
  IWICStream* stream = NULL;
  IWICBitmapEncoder* encoder = NULL;
  IWICBitmapFrameEncode* frame = NULL;
  HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, NULL, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, reinterpret_cast<void**>(&factory));
  if (SUCCEEDED(hr)) hr = factory->CreateStream(&stream);
  if (SUCCEEDED(hr)) hr = stream->InitializeFromFilename(widePath.c_str(), GENERIC_WRITE);
  if (SUCCEEDED(hr)) hr = factory->CreateEncoder(GUID_ContainerFormatPng, NULL, &encoder);
  if (SUCCEEDED(hr)) hr = encoder->Initialize(stream, WICBitmapEncoderNoCache);
  if (SUCCEEDED(hr)) hr = encoder->CreateNewFrame(&frame, NULL);
  if (SUCCEEDED(hr)) hr = frame->Initialize(NULL);
  if (SUCCEEDED(hr)) hr = frame->SetSize(width, height);
  WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
  if (SUCCEEDED(hr)) hr = frame->SetPixelFormat(&format);
  if (SUCCEEDED(hr) && !IsEqualGUID(format, GUID_WICPixelFormat24bppBGR)) hr = E_FAIL;
  std::vector<BYTE> row(static_cast<size_t>(width) * 3);
  for (UINT y = 0; SUCCEEDED(hr) && y < height; ++y) {
    const BYTE* source = static_cast<const BYTE*>(locked.pBits) + y * locked.Pitch;
    for (UINT x = 0; x < width; ++x) memcpy(&row[x * 3], source + x * 4, 3);
    hr = frame->WritePixels(1, width * 3, width * 3, row.data());
  }
  if (SUCCEEDED(hr)) hr = frame->Commit();
  if (SUCCEEDED(hr)) hr = encoder->Commit();
  ReleaseIf(frame);
  ReleaseIf(encoder);
  ReleaseIf(stream);
  ReleaseIf(factory);
  return hr;
}

// Called by the Present hook: writes the finished back buffer to every path
// of the current frame.
void BeforePresent(void* devicePointer) {
  if (g_framePaths == nullptr || g_framePaths->empty()) return;
  g_frameWritten = true;
  IDirect3DDevice9* device = static_cast<IDirect3DDevice9*>(devicePointer);
  IDirect3DSurface9* backBuffer = NULL;
  IDirect3DSurface9* copy = NULL;
  D3DSURFACE_DESC desc;
  HRESULT hr = device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer);
  if (SUCCEEDED(hr)) hr = backBuffer->GetDesc(&desc);
  if (SUCCEEDED(hr))
    hr = device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format,
                                             D3DPOOL_SYSTEMMEM, &copy, NULL);
  if (SUCCEEDED(hr)) hr = device->GetRenderTargetData(backBuffer, copy);
  if (SUCCEEDED(hr) && desc.Format != D3DFMT_X8R8G8B8 && desc.Format != D3DFMT_A8R8G8B8)
    hr = D3DERR_WRONGTEXTUREFORMAT;
  D3DLOCKED_RECT locked;
  if (SUCCEEDED(hr)) hr = copy->LockRect(&locked, NULL, D3DLOCK_READONLY);
  if (FAILED(hr)) {
    fprintf(stderr, "endless-field-capture: cannot read the back buffer (0x%08lx)\n",
            static_cast<unsigned long>(hr));
    g_frameFailed = true;
  }
  for (size_t i = 0; SUCCEEDED(hr) && i < g_framePaths->size(); ++i) {
    const std::string& path = (*g_framePaths)[i];
    HRESULT saved = WritePng(path, locked, desc.Width, desc.Height);
    if (FAILED(saved)) {
      fprintf(stderr, "endless-field-capture: cannot write %s (0x%08lx)\n", path.c_str(),
              static_cast<unsigned long>(saved));
      g_frameFailed = true;
    }
  }
  if (SUCCEEDED(hr)) copy->UnlockRect();
  ReleaseIf(copy);
  ReleaseIf(backBuffer);
}

}  // namespace

// The import slots the program's calls go through (see the top of the file).
DWORD(WINAPI* g_timeGetTimeSlot)(void) __asm__("__imp_timeGetTime") = ManualTimeGetTime;
int(WINAPI* g_messageBoxSlot)(HWND, LPCSTR, LPCSTR,
                              UINT) __asm__("__imp_MessageBoxA") = MessageBoxToStderr;

HRESULT WINAPI DirectInput8Create(HINSTANCE instance, DWORD version, REFIID riid, LPVOID* out,
                                  LPUNKNOWN outer) {
  if (out == NULL) return DIERR_INVALIDPARAM;
  *out = NULL;
  if (!IsEqualGUID(riid, IID_IDirectInput8A)) return DIERR_NOINTERFACE;
  g_directInput.AddRef();
  *out = &g_directInput;
  return DI_OK;
}

namespace capture {

bool StartProgram(int width, int height) {
  // For the PNG encoder; the process keeps COM to its end.
  HRESULT com = CoInitializeEx(NULL, COINIT_MULTITHREADED);
  if (FAILED(com)) {
    fprintf(stderr, "endless-field-capture: CoInitializeEx failed (0x%08lx)\n",
            static_cast<unsigned long>(com));
    return false;
  }
  HINSTANCE instance = GetModuleHandleA(NULL);
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
  windowClass.lpszClassName = "ENDLESS_FIELD_CAPTURE";
  RegisterClassExA(&windowClass);
  g_screenWidth = width;
  g_screenHeight = height;
  // Beyond the right edge of the screen: the frames are read from the back
  // buffer, and the window stays out of the way of other windows' pictures.
  g_hWnd =
      CreateWindowExA(0, "ENDLESS_FIELD_CAPTURE", "endless-field-capture", WS_POPUP | WS_VISIBLE,
                      GetSystemMetrics(SM_CXSCREEN), 0, width, height, NULL, NULL, instance, NULL);
  if (InitDirect3D(instance) != 0) return false;
  HookPresent(g_pd3dDevice, BeforePresent);
  SetupScene();
  return true;
}

bool RunFrame(int dik, DWORD msPerFrame, const std::vector<std::string>& pngPaths) {
  // The program's loop handles every pending message before a frame.
  MSG message;
  while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  memset(g_keys, 0, sizeof(g_keys));
  if (dik != 0) g_keys[dik] = 0x80;
  g_clockMs += msPerFrame;

  g_framePaths = &pngPaths;
  g_frameWritten = false;
  g_frameFailed = false;
  g_keyboard.Poll();
  RenderFrame();
  g_framePaths = nullptr;
  if (!pngPaths.empty() && !g_frameWritten) {
    fprintf(stderr, "endless-field-capture: the frame was not presented\n");
    return false;
  }
  return !g_frameFailed;
}

long ResidentMemoryKb() { return -1; }

void Exit(int code) {
  // The program leaves its device to the end of the process. Under Wine on a
  // loaded machine, the DLL detach of an ordinary exit then crashes now and
  // then inside the OpenGL driver (SIGSEGV or SIGKILL after the last frame).
  // Terminating skips the detach; the frames and the last line are written.
  fflush(stdout);
  fflush(stderr);
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(code));
  exit(code);
}

}  // namespace capture

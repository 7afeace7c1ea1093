// DirectInput8Create and IDirectInput8A: the entry object hands out the
// system keyboard. Limits: no mouse or joysticks (DIERR_DEVICENOTREG), no
// device enumeration, aggregation (pUnkOuter) is ignored.
#include "dinput8/direct_input.h"

#include <new>
#include <utility>

#include "dinput8/keyboard_device.h"
#include "dinput8/keyboard_state.h"
#include "platform_hooks.h"

namespace platform {
namespace {

DirectInput8CreateHook g_createHook;

}  // namespace

const GUID kIidIUnknown = {
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

HRESULT DirectInput8::QueryInterface(REFIID riid, void** ppvObject) {
  if (ppvObject == nullptr) return E_POINTER;
  if (riid == IID_IDirectInput8A || riid == kIidIUnknown) {
    AddRef();
    *ppvObject = static_cast<IDirectInput8A*>(this);
    return S_OK;
  }
  *ppvObject = nullptr;
  return E_NOINTERFACE;
}

ULONG DirectInput8::AddRef() { return ++m_refCount; }

ULONG DirectInput8::Release() {
  const ULONG count = --m_refCount;
  if (count == 0) delete this;
  return count;
}

HRESULT DirectInput8::CreateDevice(REFGUID rguid, LPDIRECTINPUTDEVICE8A* lplpDirectInputDevice,
                                   LPUNKNOWN pUnkOuter) {
  if (lplpDirectInputDevice == nullptr) return DIERR_INVALIDPARAM;
  *lplpDirectInputDevice = nullptr;
  if (rguid != GUID_SysKeyboard) return DIERR_DEVICENOTREG;
  auto* device = new (std::nothrow) KeyboardDevice(this);
  if (device == nullptr) return DIERR_OUTOFMEMORY;
  *lplpDirectInputDevice = device;
  return DI_OK;
}

void SetDirectInput8CreateHook(DirectInput8CreateHook hook) { g_createHook = std::move(hook); }

void ResetDInputHooks() {
  g_createHook = nullptr;
  ResetKeyboardState();
}

}  // namespace platform

using namespace platform;

HRESULT WINAPI DirectInput8Create(HINSTANCE hinst, DWORD dwVersion, REFIID riidltf, LPVOID* ppvOut,
                                  LPUNKNOWN punkOuter) {
  if (g_createHook) return g_createHook(hinst, dwVersion, riidltf, ppvOut, punkOuter);
  if (ppvOut == nullptr) return DIERR_INVALIDPARAM;
  *ppvOut = nullptr;
  if (riidltf != IID_IDirectInput8A) return DIERR_NOINTERFACE;
  if (dwVersion < 0x0800) return DIERR_OLDDIRECTINPUTVERSION;
  auto* directInput = new (std::nothrow) DirectInput8;
  if (directInput == nullptr) return DIERR_OUTOFMEMORY;
  // From now on every key event reaches the keyboard state.
  InstallKeyboardWatch();
  *ppvOut = static_cast<IDirectInput8A*>(directInput);
  return DI_OK;
}

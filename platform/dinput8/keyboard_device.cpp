// The keyboard device. Acquiring in the foreground needs keyboard focus;
// losing focus afterwards makes the next GetDeviceState report
// DIERR_INPUTLOST and leaves the device unacquired, as on Windows.
// Limits: only the 256-byte keyboard format; no buffered data
// (GetDeviceData), properties or event notification. Exclusive and
// non-exclusive access behave the same.
#include "dinput8/keyboard_device.h"

#include <cstring>

#include "dinput8/direct_input.h"
#include "dinput8/keyboard_state.h"

namespace platform {
namespace {

constexpr DWORD kKeyboardStateSize = 256;

bool ExactlyOne(DWORD flags, DWORD a, DWORD b) { return ((flags & a) != 0) != ((flags & b) != 0); }

}  // namespace

KeyboardDevice::KeyboardDevice(DirectInput8* owner) : m_owner(owner) { m_owner->AddRef(); }

KeyboardDevice::~KeyboardDevice() { m_owner->Release(); }

HRESULT KeyboardDevice::QueryInterface(REFIID riid, void** ppvObject) {
  if (ppvObject == nullptr) return E_POINTER;
  if (riid == kIidIUnknown) {
    AddRef();
    *ppvObject = static_cast<IDirectInputDevice8A*>(this);
    return S_OK;
  }
  *ppvObject = nullptr;
  return E_NOINTERFACE;
}

ULONG KeyboardDevice::AddRef() { return ++m_refCount; }

ULONG KeyboardDevice::Release() {
  const ULONG count = --m_refCount;
  if (count == 0) delete this;
  return count;
}

bool KeyboardDevice::LostFocus() const {
  return (m_cooperativeFlags & DISCL_FOREGROUND) != 0 && !WindowHasKeyboardFocus(m_hwnd);
}

HRESULT KeyboardDevice::Acquire() {
  if (!m_hasDataFormat) return DIERR_INVALIDPARAM;
  if (LostFocus()) return DIERR_OTHERAPPHASPRIO;
  if (m_acquired) return S_FALSE;
  m_acquired = true;
  return DI_OK;
}

HRESULT KeyboardDevice::Unacquire() {
  if (!m_acquired) return DI_NOEFFECT;
  m_acquired = false;
  return DI_OK;
}

// On failure the real DirectInput leaves the caller's buffer alone. Ours
// clears it, so that a program that reads it anyway sees no key held after
// its window lost focus.
HRESULT KeyboardDevice::GetDeviceState(DWORD cbData, LPVOID lpvData) {
  if (lpvData == nullptr || cbData != kKeyboardStateSize) return DIERR_INVALIDPARAM;
  if (!m_acquired) {
    std::memset(lpvData, 0, cbData);
    return DIERR_NOTACQUIRED;
  }
  if (LostFocus()) {
    m_acquired = false;
    std::memset(lpvData, 0, cbData);
    return DIERR_INPUTLOST;
  }
  CopyKeyboardState(static_cast<BYTE*>(lpvData));
  return DI_OK;
}

HRESULT KeyboardDevice::SetDataFormat(LPCDIDATAFORMAT lpdf) {
  if (lpdf == nullptr) return DIERR_INVALIDPARAM;
  if (m_acquired) return DIERR_ACQUIRED;
  if (lpdf->dwDataSize != kKeyboardStateSize) return DIERR_INVALIDPARAM;
  m_hasDataFormat = true;
  return DI_OK;
}

HRESULT KeyboardDevice::SetCooperativeLevel(HWND hwnd, DWORD dwFlags) {
  const DWORD known =
      DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE | DISCL_FOREGROUND | DISCL_BACKGROUND | DISCL_NOWINKEY;
  if ((dwFlags & ~known) != 0 || !ExactlyOne(dwFlags, DISCL_EXCLUSIVE, DISCL_NONEXCLUSIVE) ||
      !ExactlyOne(dwFlags, DISCL_FOREGROUND, DISCL_BACKGROUND))
    return DIERR_INVALIDPARAM;
  // Foreground access follows a window's focus, so it needs one of ours.
  if ((dwFlags & DISCL_FOREGROUND) != 0 && !IsKeyboardWindow(hwnd)) return DIERR_INVALIDPARAM;
  if (m_acquired) return DIERR_ACQUIRED;
  m_hwnd = hwnd;
  m_cooperativeFlags = dwFlags;
  return DI_OK;
}

}  // namespace platform

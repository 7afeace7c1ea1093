// The system keyboard as an IDirectInputDevice8A: reads the layer's keyboard
// state while acquired.
#pragma once

#include <dinput.h>

#include <atomic>

namespace platform {

class DirectInput8;

class KeyboardDevice final : public IDirectInputDevice8A {
 public:
  // Holds a reference on its DirectInput object until freed.
  explicit KeyboardDevice(DirectInput8* owner);
  KeyboardDevice(const KeyboardDevice&) = delete;
  KeyboardDevice& operator=(const KeyboardDevice&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE Acquire() override;
  HRESULT STDMETHODCALLTYPE Unacquire() override;
  HRESULT STDMETHODCALLTYPE GetDeviceState(DWORD cbData, LPVOID lpvData) override;
  HRESULT STDMETHODCALLTYPE SetDataFormat(LPCDIDATAFORMAT lpdf) override;
  HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND hwnd, DWORD dwFlags) override;

 private:
  ~KeyboardDevice();
  bool LostFocus() const;

  std::atomic<ULONG> m_refCount{1};
  DirectInput8* m_owner;
  bool m_hasDataFormat = false;
  bool m_acquired = false;
  HWND m_hwnd = nullptr;
  // DirectInput's default cooperative level: non-exclusive, background.
  DWORD m_cooperativeFlags = DISCL_NONEXCLUSIVE | DISCL_BACKGROUND;
};

}  // namespace platform

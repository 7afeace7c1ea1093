// The layer's IDirectInput8A object and the test-hook reset of the
// DirectInput part.
#pragma once

#include <dinput.h>

#include <atomic>

namespace platform {

// IUnknown's interface id (the program's headers do not name it).
extern const GUID kIidIUnknown;

class DirectInput8 final : public IDirectInput8A {
 public:
  DirectInput8() = default;
  DirectInput8(const DirectInput8&) = delete;
  DirectInput8& operator=(const DirectInput8&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE CreateDevice(REFGUID rguid,
                                         LPDIRECTINPUTDEVICE8A* lplpDirectInputDevice,
                                         LPUNKNOWN pUnkOuter) override;

 private:
  ~DirectInput8() = default;
  std::atomic<ULONG> m_refCount{1};
};

// Every DirectInput test hook back to the real behaviour, all keys up.
void ResetDInputHooks();

}  // namespace platform

// GoogleMock doubles of the DirectInput 8 interfaces the program uses.
#pragma once

#include <dinput.h>
#include <gmock/gmock.h>

#include "mocks/com_mock.h"

class MockDirectInput8 : public MockUnknown<IDirectInput8A> {
 public:
  MOCK_METHOD(HRESULT, CreateDevice, (REFGUID, LPDIRECTINPUTDEVICE8A*, LPUNKNOWN), (override));
};

class MockKeyboardDevice : public MockUnknown<IDirectInputDevice8A> {
 public:
  MOCK_METHOD(HRESULT, Acquire, (), (override));
  MOCK_METHOD(HRESULT, Unacquire, (), (override));
  MOCK_METHOD(HRESULT, GetDeviceState, (DWORD, LPVOID), (override));
  MOCK_METHOD(HRESULT, SetDataFormat, (LPCDIDATAFORMAT), (override));
  MOCK_METHOD(HRESULT, SetCooperativeLevel, (HWND, DWORD), (override));
};

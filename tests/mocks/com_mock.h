// The IUnknown part shared by every GoogleMock double of a COM interface.
#pragma once

#include <gmock/gmock.h>

template <typename Interface>
class MockUnknown : public Interface {
 public:
  MOCK_METHOD(HRESULT, QueryInterface, (REFIID, void**), (override));
  MOCK_METHOD(ULONG, AddRef, (), (override));
  MOCK_METHOD(ULONG, Release, (), (override));
};

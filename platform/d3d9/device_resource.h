// Reference counting shared by the device's resources (textures and vertex
// buffers), as Direct3D 9 counts them: while the program holds a reference
// the resource holds one on its device; a binding on the device (SetTexture,
// SetStreamSource) holds a private reference that keeps the object, not the
// device, alive until it is unbound. The object is deleted when both counts
// reach zero.
#pragma once

#include <d3d9.h>

namespace platform {

class Device;

class DeviceResource {
 public:
  void AddRefPrivate() { ++m_privateRefs; }
  void ReleasePrivate();
  Device* OwnerDevice() const { return m_device; }

 protected:
  // Starts with one public reference, and so one on the device.
  explicit DeviceResource(Device* device);
  virtual ~DeviceResource() = default;

  ULONG AddRefPublic();
  ULONG ReleasePublic();

  Device* const m_device;

 private:
  ULONG m_refCount = 1;
  ULONG m_privateRefs = 0;
};

}  // namespace platform

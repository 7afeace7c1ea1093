// Reference counting shared by the device's resources (textures and vertex
// buffers), as Direct3D 9 counts them: while the program holds a reference
// the resource holds one on its device; a binding on the device (SetTexture,
// SetStreamSource) holds a private reference that keeps the object, not the
// device, alive until it is unbound. The object is deleted when both counts
// reach zero.
//
// Every resource keeps its contents in memory, as the managed pool does, and
// is linked into its device's list (through itself: making one allocates
// nothing more), so that on a context that came back after a loss the device
// has each make its GL objects again from what it holds.
#pragma once

#include <d3d9.h>

namespace platform {

class Device;
class DeviceResource;

// A device's live resources, in no particular order.
class DeviceResourceList {
 public:
  // Has each resource make its GL objects again (see RecreateGlObjects).
  void RecreateGlObjects();
  int Count() const;

 private:
  friend class DeviceResource;
  DeviceResource* m_first = nullptr;
};

class DeviceResource {
 public:
  void AddRefPrivate() { ++m_privateRefs; }
  void ReleasePrivate();
  Device* OwnerDevice() const { return m_device; }

  // The GL objects are gone with the context they were made on: make them
  // anew and fill them from memory, forgetting the old names undeleted.
  virtual void RecreateGlObjects() = 0;

 protected:
  // Starts with one public reference, and so one on the device.
  explicit DeviceResource(Device* device);
  virtual ~DeviceResource();

  ULONG AddRefPublic();
  ULONG ReleasePublic();

  Device* const m_device;

 private:
  friend class DeviceResourceList;
  ULONG m_refCount = 1;
  ULONG m_privateRefs = 0;
  DeviceResource* m_previous = nullptr;
  DeviceResource* m_next = nullptr;
};

}  // namespace platform

#include "d3d9/device_resource.h"

#include "d3d9/device.h"

namespace platform {

DeviceResource::DeviceResource(Device* device) : m_device(device) { m_device->AddRef(); }

ULONG DeviceResource::AddRefPublic() {
  if (m_refCount++ == 0) m_device->AddRef();
  return m_refCount;
}

ULONG DeviceResource::ReleasePublic() {
  if (m_refCount == 0) return 0;
  const ULONG count = --m_refCount;
  if (count == 0) {
    Device* device = m_device;
    // Still bound: the device's private reference keeps the object until unbound.
    if (m_privateRefs == 0) delete this;
    device->Release();
  }
  return count;
}

void DeviceResource::ReleasePrivate() {
  if (m_privateRefs == 0) return;
  if (--m_privateRefs == 0 && m_refCount == 0) delete this;
}

}  // namespace platform

// Reference counts of the device's resources, and the device's list of them.
#include "d3d9/device_resource.h"

#include "d3d9/device.h"

namespace platform {

void DeviceResourceList::RecreateGlObjects() {
  for (DeviceResource* resource = m_first; resource; resource = resource->m_next)
    resource->RecreateGlObjects();
}

int DeviceResourceList::Count() const {
  int count = 0;
  for (const DeviceResource* resource = m_first; resource; resource = resource->m_next) ++count;
  return count;
}

DeviceResource::DeviceResource(Device* device) : m_device(device) {
  m_device->AddRef();
  DeviceResourceList& list = m_device->Resources();
  m_next = list.m_first;
  if (m_next) m_next->m_previous = this;
  list.m_first = this;
}

DeviceResource::~DeviceResource() {
  if (m_previous)
    m_previous->m_next = m_next;
  else
    m_device->Resources().m_first = m_next;
  if (m_next) m_next->m_previous = m_previous;
}

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

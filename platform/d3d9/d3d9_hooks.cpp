// Test hooks of the Direct3D 9 layer: a Direct3DCreate9 replacement, fault
// switches for the real objects, and the back-buffer read-back.
#include "d3d9/d3d9_hooks.h"

#include "d3d9/device.h"

namespace platform {
namespace {

D3DFaults& Faults() {
  static D3DFaults s_faults;
  return s_faults;
}

Direct3DCreate9Hook& CreateHook() {
  static Direct3DCreate9Hook s_hook;
  return s_hook;
}

}  // namespace

const D3DFaults& CurrentD3DFaults() { return Faults(); }
const Direct3DCreate9Hook& CurrentDirect3DCreate9Hook() { return CreateHook(); }

void SetDirect3DCreate9Hook(Direct3DCreate9Hook hook) { CreateHook() = std::move(hook); }
void SetD3DFaults(const D3DFaults& faults) { Faults() = faults; }

void ResetD3D9Hooks() {
  CreateHook() = nullptr;
  Faults() = D3DFaults{};
}

bool ReadBackBuffer(IDirect3DDevice9* device, std::vector<uint8_t>* rgba, int* width, int* height) {
  Device* ours = device ? dynamic_cast<Device*>(device) : nullptr;
  if (!ours || !rgba) return false;
  return ours->ReadBack(rgba, width, height);
}

}  // namespace platform

// The Direct3D 9 part of the layer's test hooks (platform_hooks.h): the
// Direct3DCreate9 replacement and the fault switches, as the layer reads them.
#pragma once

#include "platform_hooks.h"

namespace platform {

const D3DFaults& CurrentD3DFaults();
// The installed Direct3DCreate9 replacement, or an empty function.
const Direct3DCreate9Hook& CurrentDirect3DCreate9Hook();

}  // namespace platform

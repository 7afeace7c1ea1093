// The moment the layer's devices show their first frame, for the rest of the
// layer: the D3DX part keeps the images it decoded while the program sets
// itself up, and lets them go once a frame is on the screen. Layer-internal;
// nothing of the program sees it. One callback, run once, on the first
// Present of any device.
#pragma once

namespace platform {

using FirstFrameCallback = void (*)();

// Replaces the callback (null: none). False, and nothing will run, once the
// first frame has been presented.
bool CallAtFirstPresent(FirstFrameCallback callback);

// Device::Present, after each frame.
void NotePresented();

}  // namespace platform

// mmsystem.h for the Linux layer: the multimedia timer.
#pragma once

#include <windows.h>

// Milliseconds since the layer started, as a 32-bit count that wraps after
// about 49.7 days.
DWORD WINAPI timeGetTime(void);

// Virtual-key codes that the program's headers do not name, for the key-code
// tables of both backends (key_codes.cpp, dom_key_codes.cpp).
#pragma once

#include <windows.h>

namespace platform {

constexpr UINT kVkPause = 0x13;
constexpr UINT kVkCapital = 0x14;
constexpr UINT kVkSnapshot = 0x2C;
constexpr UINT kVkLWin = 0x5B;
constexpr UINT kVkRWin = 0x5C;
constexpr UINT kVkApps = 0x5D;
constexpr UINT kVkScroll = 0x91;
constexpr UINT kVkOem1 = 0xBA;  // ;:
constexpr UINT kVkOemPlus = 0xBB;
constexpr UINT kVkOemComma = 0xBC;
constexpr UINT kVkOemMinus = 0xBD;
constexpr UINT kVkOemPeriod = 0xBE;
constexpr UINT kVkOem2 = 0xBF;  // /?
constexpr UINT kVkOem3 = 0xC0;  // `~
constexpr UINT kVkOem4 = 0xDB;  // [{
constexpr UINT kVkOem5 = 0xDC;  // \|
constexpr UINT kVkOem6 = 0xDD;  // ]}
constexpr UINT kVkOem7 = 0xDE;  // '"
constexpr UINT kVkOem102 = 0xE2;

}  // namespace platform

// DirectInput's GUIDs and the predefined keyboard data format, with the
// values of the real dinput8/dxguid libraries.
#include <dinput.h>

#include <array>

extern "C" {

const GUID IID_IDirectInput8A = {
    0xBF798030, 0x483A, 0x4DA2, {0xAA, 0x99, 0x5D, 0x64, 0xED, 0x36, 0x97, 0x00}};
const GUID GUID_SysKeyboard = {
    0x6F1D2B61, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const GUID GUID_SysMouse = {
    0x6F1D2B60, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const GUID GUID_Key = {
    0x55728220, 0xD33C, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

}  // extern "C"

namespace {

// Built at compile time, so the table is ready before any other global
// initialiser can read c_dfDIKeyboard.
// One object per key: a button (DIDFT_BUTTON 0x0C) marked optional
// (DIDFT_OPTIONAL 0x80000000) whose instance number is the scan code.
constexpr std::array<DIOBJECTDATAFORMAT, 256> MakeKeyboardObjects() {
  std::array<DIOBJECTDATAFORMAT, 256> objects{};
  for (DWORD i = 0; i < 256; ++i) objects[i] = {&GUID_Key, i, 0x8000000Cu | (i << 8), 0};
  return objects;
}

std::array<DIOBJECTDATAFORMAT, 256> g_keyboardObjects = MakeKeyboardObjects();

}  // namespace

extern "C" const DIDATAFORMAT c_dfDIKeyboard = {
    sizeof(DIDATAFORMAT),    sizeof(DIOBJECTDATAFORMAT), DIDF_RELAXIS, 256, 256,
    g_keyboardObjects.data()};

#include "input/keyboard.h"

namespace {

// Movement keys in priority order: the first one held decides the command.
const struct {
  int key;
  int command;
} kMovementKeys[] = {
    {DIK_UP, CMD_FORWARD},       {DIK_DOWN, CMD_BACK},     {DIK_LEFT, CMD_TURN_LEFT},
    {DIK_RIGHT, CMD_TURN_RIGHT}, {DIK_PRIOR, CMD_LOOK_UP}, {DIK_NEXT, CMD_LOOK_DOWN},
    {DIK_HOME, CMD_RISE},        {DIK_END, CMD_SINK},
};

}  // namespace

Keyboard::Keyboard() : pDI(NULL), pKeyboard(NULL), keyState(), command(CMD_NONE) {}

Keyboard::~Keyboard() {
  if (pKeyboard != NULL) {
    pKeyboard->Unacquire();
    pKeyboard->Release();
    pKeyboard = NULL;
  }
  if (pDI != NULL) {
    pDI->Release();
    pDI = NULL;
  }
}

int Keyboard::Init(HINSTANCE hInstance, HWND hWnd) {
  if (FAILED(DirectInput8Create(hInstance, 0x0800, IID_IDirectInput8A, (LPVOID*)&pDI, NULL)))
    return 1;
  if (FAILED(pDI->CreateDevice(GUID_SysKeyboard, &pKeyboard, NULL))) return 2;
  pKeyboard->SetDataFormat(&c_dfDIKeyboard);
  pKeyboard->SetCooperativeLevel(hWnd, DISCL_FOREGROUND | DISCL_NONEXCLUSIVE);
  // Acquired by Poll: the window may not have the focus yet.
  return 0;
}

int Keyboard::Poll() {
  // Failures are not examined: the state buffer is read whatever it holds.
  pKeyboard->Acquire();
  pKeyboard->GetDeviceState(sizeof(keyState), keyState);

  if (keyState[DIK_ESCAPE] & 0x80) {
    PostQuitMessage(0);
    return 0;
  }
  for (const auto& entry : kMovementKeys) {
    if (keyState[entry.key] & 0x80) {
      command = entry.command;
      return 0;
    }
  }
  // Keypad + and - hold the current command.
  if ((keyState[DIK_ADD] & 0x80) || (keyState[DIK_SUBTRACT] & 0x80)) return 0;
  command = CMD_NONE;
  return 0;
}

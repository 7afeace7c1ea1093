// The keyboard: DirectInput 8 reads the whole keyboard once per loop pass and
// reduces the held keys to one movement command.
#pragma once

#ifndef DIRECTINPUT_VERSION
#define DIRECTINPUT_VERSION 0x0800
#endif
#include <windows.h>
#include <dinput.h>

// MovementCommand: what the camera does with the current keys.
enum MovementCommand {
  CMD_NONE = 0,
  CMD_FORWARD = 1,
  CMD_BACK = 2,
  CMD_TURN_LEFT = 3,
  CMD_TURN_RIGHT = 4,
  CMD_LOOK_UP = 5,
  CMD_LOOK_DOWN = 6,
  CMD_RISE = 7,
  CMD_SINK = 8
};

class Keyboard {
 public:
  Keyboard();
  ~Keyboard();

  // 0 on success, 1 when DirectInput cannot be created, 2 when the keyboard
  // device cannot be created.
  int Init(HINSTANCE hInstance, HWND hWnd);

  // Reads the keys and sets `command`; posts WM_QUIT while Escape is down.
  int Poll();

  LPDIRECTINPUT8A pDI;
  LPDIRECTINPUTDEVICE8A pKeyboard;
  unsigned char keyState[256];
  int command;
};

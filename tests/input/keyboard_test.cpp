// The keyboard: the reduction of held keys to one command, Escape, and the
// DirectInput interfaces' life cycle (through doubles).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <initializer_list>

#include "input/keyboard.h"
#include "mocks/dinput_mocks.h"
#include "platform_hooks.h"

using ::testing::_;
using ::testing::DoAll;
using ::testing::InSequence;
using ::testing::NiceMock;
using ::testing::Return;

namespace {

bool QuitPosted() {
  MSG msg = {};
  bool quit = false;
  while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
    if (msg.message == WM_QUIT) quit = true;
  return quit;
}

class KeyboardPoll : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::ResetMessageQueue();
    keyboard.pKeyboard = &device;
    ON_CALL(device, GetDeviceState(256, _)).WillByDefault([this](DWORD size, LPVOID data) {
      memcpy(data, held, size);
      return DI_OK;
    });
  }
  void TearDown() override {
    keyboard.pKeyboard = NULL;  // the double is not heap-owned
    platform::ResetMessageQueue();
  }

  // Holds exactly these keys for the next poll and polls.
  int PollWith(std::initializer_list<int> keys) {
    memset(held, 0, sizeof(held));
    for (int key : keys) held[key] = 0x80;
    keyboard.Poll();
    return keyboard.command;
  }

  NiceMock<MockKeyboardDevice> device;
  Keyboard keyboard;
  unsigned char held[256] = {};
};

TEST_F(KeyboardPoll, EachMovementKeySetsItsCommand) {
  EXPECT_EQ(CMD_FORWARD, PollWith({DIK_UP}));
  EXPECT_EQ(CMD_BACK, PollWith({DIK_DOWN}));
  EXPECT_EQ(CMD_TURN_LEFT, PollWith({DIK_LEFT}));
  EXPECT_EQ(CMD_TURN_RIGHT, PollWith({DIK_RIGHT}));
  EXPECT_EQ(CMD_LOOK_UP, PollWith({DIK_PRIOR}));
  EXPECT_EQ(CMD_LOOK_DOWN, PollWith({DIK_NEXT}));
  EXPECT_EQ(CMD_RISE, PollWith({DIK_HOME}));
  EXPECT_EQ(CMD_SINK, PollWith({DIK_END}));
  EXPECT_EQ(CMD_NONE, PollWith({}));
}

TEST_F(KeyboardPoll, HigherPriorityKeyWinsWhenSeveralAreHeld) {
  EXPECT_EQ(CMD_FORWARD, PollWith({DIK_UP, DIK_DOWN}));
  EXPECT_EQ(CMD_TURN_LEFT, PollWith({DIK_LEFT, DIK_PRIOR}));
  EXPECT_EQ(CMD_SINK, PollWith({DIK_END, DIK_ADD}));
  EXPECT_EQ(CMD_FORWARD, PollWith({DIK_END, DIK_HOME, DIK_NEXT, DIK_PRIOR, DIK_RIGHT, DIK_LEFT,
                                   DIK_DOWN, DIK_UP}));
}

TEST_F(KeyboardPoll, KeypadPlusAndMinusHoldTheCommand) {
  EXPECT_EQ(CMD_NONE, PollWith({DIK_ADD})) << "nothing to hold right after construction";
  EXPECT_EQ(CMD_NONE, PollWith({DIK_SUBTRACT}));
  PollWith({DIK_UP});
  EXPECT_EQ(CMD_FORWARD, PollWith({DIK_ADD}));
  EXPECT_EQ(CMD_FORWARD, PollWith({DIK_ADD}));
  EXPECT_EQ(CMD_FORWARD, PollWith({DIK_SUBTRACT}));
  EXPECT_EQ(CMD_NONE, PollWith({})) << "released: the first poll without any of the ten keys";
}

TEST_F(KeyboardPoll, OtherKeysCountAsNoKey) {
  for (int key : {DIK_A, DIK_SPACE, DIK_MINUS, DIK_EQUALS, DIK_RETURN, DIK_NUMPAD8, DIK_LSHIFT}) {
    PollWith({DIK_UP});
    EXPECT_EQ(CMD_NONE, PollWith({key})) << "scan code 0x" << std::hex << key;
  }
}

TEST_F(KeyboardPoll, EscapePostsQuitOnEveryPollAndKeepsTheCommand) {
  PollWith({DIK_LEFT});
  EXPECT_FALSE(QuitPosted());
  EXPECT_EQ(CMD_TURN_LEFT, PollWith({DIK_ESCAPE, DIK_UP}));
  EXPECT_TRUE(QuitPosted());
  EXPECT_EQ(CMD_TURN_LEFT, PollWith({DIK_ESCAPE}));
  EXPECT_TRUE(QuitPosted());
}

TEST_F(KeyboardPoll, AcquiresOnEveryPollAndReadsTheBufferWhateverTheResult) {
  EXPECT_CALL(device, Acquire()).Times(2).WillRepeatedly(Return(DIERR_OTHERAPPHASPRIO));
  EXPECT_CALL(device, GetDeviceState(256, _)).Times(2).WillRepeatedly([](DWORD, LPVOID data) {
    // A failing read that still leaves Up in the buffer.
    static_cast<unsigned char*>(data)[DIK_UP] = 0x80;
    return DIERR_NOTACQUIRED;
  });
  keyboard.Poll();
  keyboard.Poll();
  EXPECT_EQ(CMD_FORWARD, keyboard.command);
}

// ---- Init and destruction ---------------------------------------------------

class KeyboardInit : public ::testing::Test {
 protected:
  void TearDown() override { platform::ResetHooks(); }

  void UseDirectInput(HRESULT result) {
    platform::SetDirectInput8CreateHook(
        [this, result](HINSTANCE, DWORD version, REFIID riid, LPVOID* out, LPUNKNOWN outer) {
          EXPECT_EQ(0x0800u, version);
          EXPECT_TRUE(riid == IID_IDirectInput8A);
          EXPECT_EQ(nullptr, outer);
          *out = FAILED(result) ? nullptr : static_cast<IDirectInput8A*>(&directInput);
          return result;
        });
  }

  MockDirectInput8 directInput;
  MockKeyboardDevice device;
  HWND window = reinterpret_cast<HWND>(0x1234);
};

TEST_F(KeyboardInit, SetsUpTheSystemKeyboardWithoutAcquiring) {
  UseDirectInput(DI_OK);
  {
    InSequence order;
    EXPECT_CALL(directInput, CreateDevice(_, _, nullptr))
        .WillOnce([this](REFGUID guid, LPDIRECTINPUTDEVICE8A* out, LPUNKNOWN) {
          EXPECT_TRUE(guid == GUID_SysKeyboard);
          *out = &device;
          return DI_OK;
        });
    EXPECT_CALL(device, SetDataFormat(&c_dfDIKeyboard)).WillOnce(Return(DIERR_INVALIDPARAM));
    EXPECT_CALL(device, SetCooperativeLevel(window, DISCL_FOREGROUND | DISCL_NONEXCLUSIVE))
        .WillOnce(Return(DIERR_INVALIDPARAM));
    EXPECT_CALL(device, Unacquire()).WillOnce(Return(DI_NOEFFECT));
    EXPECT_CALL(device, Release()).WillOnce(Return(0));
    EXPECT_CALL(directInput, Release()).WillOnce(Return(0));
  }
  EXPECT_CALL(device, Acquire()).Times(0);
  {
    Keyboard keyboard;
    EXPECT_EQ(0, keyboard.Init(NULL, window))
        << "data format and cooperative level are not checked";
    EXPECT_EQ(CMD_NONE, keyboard.command);
  }
}

TEST_F(KeyboardInit, ReturnsOneWhenDirectInputCannotBeCreated) {
  UseDirectInput(DIERR_OLDDIRECTINPUTVERSION);
  EXPECT_CALL(directInput, Release()).Times(0);
  Keyboard keyboard;
  EXPECT_EQ(1, keyboard.Init(NULL, window));
}

TEST_F(KeyboardInit, ReturnsTwoWithoutDeviceAndStillReleasesDirectInput) {
  UseDirectInput(DI_OK);
  EXPECT_CALL(directInput, CreateDevice(_, _, _)).WillOnce(Return(DIERR_DEVICENOTREG));
  EXPECT_CALL(directInput, Release()).WillOnce(Return(0));
  Keyboard keyboard;
  EXPECT_EQ(2, keyboard.Init(NULL, window));
}

TEST(KeyboardLifetime, DestroyingAnUnstartedKeyboardTouchesNothing) {
  Keyboard keyboard;
  EXPECT_EQ(nullptr, keyboard.pDI);
  EXPECT_EQ(nullptr, keyboard.pKeyboard);
  EXPECT_EQ(CMD_NONE, keyboard.command);
}

}  // namespace

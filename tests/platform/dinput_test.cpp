// The DirectInput 8 stand-in on the headless backend: the key map, the
// devices as the game sets them up, focus loss and regain, key state
// across frames, the mouse and the fault points.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "dinput.h"
#include "fixture.h"
#include "keys.h"
#include "platform/keys/scancodes.h"

using namespace platform_test;

namespace {

constexpr int kHidKpEnter = 88;  // a USB HID usage id

// A key by its USB HID usage id, its DirectInput code as the header names it,
// and the platform's value of that code: the key map gives the value, and the
// header's name is that value.
struct Key {
  int hid, dik, value;
};

void ExpectKeys(const std::vector<Key>& keys) {
  for (const Key& key : keys) {
    EXPECT_EQ(scancodes::dik_from_hid(key.hid), key.value) << "HID " << key.hid;
    EXPECT_EQ(key.dik, key.value) << "HID " << key.hid;
  }
}

TEST(ScanCodes, TheGamesTwelveKeys) {
  const std::vector<Key> keys = {
      {41, DIK_ESCAPE, 0x01}, {26, DIK_W, 0x11},    {40, DIK_RETURN, 0x1C}, {4, DIK_A, 0x1E},
      {22, DIK_S, 0x1F},      {7, DIK_D, 0x20},     {9, DIK_F, 0x21},       {228, DIK_RCONTROL, 0x9D},
      {82, DIK_UP, 0xC8},     {80, DIK_LEFT, 0xCB}, {79, DIK_RIGHT, 0xCD},  {81, DIK_DOWN, 0xD0},
  };
  ExpectKeys(keys);
}

TEST(ScanCodes, KeypadAndLeftControlAreOtherKeys) {
  const std::vector<Key> keys = {
      {88, DIK_NUMPADENTER, 0x9C}, {96, DIK_NUMPAD8, 0x48}, {92, DIK_NUMPAD4, 0x4B},
      {94, DIK_NUMPAD6, 0x4D},     {90, DIK_NUMPAD2, 0x50}, {224, DIK_LCONTROL, 0x1D},
  };
  ExpectKeys(keys);
}

TEST(ScanCodes, AFullBoard) {
  // Every key of a 104-key board has a code, and no two keys share one
  // (except the ISO '#' that sits where the US '\' is).
  int mapped = 0;
  bool seen[256] = {};
  for (int hid = 4; hid <= 231; ++hid) {
    const int dik = scancodes::dik_from_hid(hid);
    if (dik == 0) continue;
    ++mapped;
    if (hid != 50 && hid != 154) {
      EXPECT_FALSE(seen[dik]) << "HID " << hid << " repeats DIK " << dik;
      seen[dik] = true;
    }
  }
  EXPECT_GE(mapped, 104);
  for (int hid = 4; hid <= 101; ++hid) EXPECT_NE(scancodes::dik_from_hid(hid), 0) << "HID " << hid;
  for (int hid = 224; hid <= 231; ++hid) EXPECT_NE(scancodes::dik_from_hid(hid), 0) << "HID " << hid;
  // The inverse gives a key that maps back.
  for (int dik = 1; dik < 256; ++dik) {
    const int hid = scancodes::hid_from_dik(dik);
    if (hid) {
      EXPECT_EQ(scancodes::dik_from_hid(hid), dik);
    }
  }
  EXPECT_EQ(scancodes::dik_from_hid(0), 0);
  EXPECT_EQ(scancodes::dik_from_hid(100000), 0);
  // Keys far apart on the board: F12, right Alt, keypad /.
  ExpectKeys({{69, DIK_F12, 0x58}, {230, DIK_RMENU, 0xB8}, {84, DIK_DIVIDE, 0xB5}});
}

TEST(DInputCodes, PlatformValues) {
  EXPECT_EQ(DIERR_INPUTLOST, (HRESULT)0x8007001E);
  EXPECT_EQ(DIERR_NOTACQUIRED, (HRESULT)0x8007000C);
  EXPECT_EQ(DIERR_OTHERAPPHASPRIO, (HRESULT)0x80070005);
  EXPECT_EQ(DIERR_INSUFFICIENTPRIVS, (HRESULT)0x80040200);
  EXPECT_EQ(DIERR_DEVICEFULL, (HRESULT)0x80040201);
  EXPECT_EQ(DIERR_ACQUIRED, (HRESULT)0x800700AA);
  EXPECT_EQ(DIERR_OLDDIRECTINPUTVERSION, (HRESULT)0x8007047E);
  EXPECT_EQ(DISCL_EXCLUSIVE | DISCL_FOREGROUND, 5);
  EXPECT_EQ(DISCL_NONEXCLUSIVE | DISCL_FOREGROUND, 6);
  EXPECT_EQ(sizeof(DIMOUSESTATE), 16u);
  EXPECT_EQ(c_dfDIKeyboard.dwDataSize, 256u);
  EXPECT_EQ(c_dfDIMouse.dwDataSize, 16u);
  EXPECT_EQ(DIRECTINPUT_VERSION, 0x0800);
}

// The game's keyboard and mouse set-up on a headless window.
class DInput : public PlatformTest {
 protected:
  void SetUp() override {
    PlatformTest::SetUp();
    register_class();
    window = create_window();
    ASSERT_NE(window, nullptr);
  }
  void TearDown() override {
    if (keyboard) keyboard->Release();
    if (mouse) mouse->Release();
    if (dinput) dinput->Release();
    PlatformTest::TearDown();
  }
  HRESULT create_all() {
    HRESULT hr = DirectInput8Create(GetModuleHandleA(NULL), DIRECTINPUT_VERSION, IID_IDirectInput8A,
                                    (void**)&dinput, NULL);
    if (hr != DI_OK) return hr;
    if ((hr = dinput->CreateDevice(GUID_SysMouse, &mouse, NULL)) != DI_OK) return hr;
    return dinput->CreateDevice(GUID_SysKeyboard, &keyboard, NULL);
  }
  HRESULT set_up_mouse() {
    HRESULT hr = mouse->SetDataFormat(&c_dfDIMouse);
    if (hr == DI_OK) hr = mouse->SetCooperativeLevel(window, DISCL_EXCLUSIVE | DISCL_FOREGROUND);
    if (hr == DI_OK) hr = mouse->Acquire();
    return hr;
  }
  HRESULT set_up_keyboard() {
    HRESULT hr = keyboard->SetDataFormat(&c_dfDIKeyboard);
    if (hr == DI_OK) hr = keyboard->SetCooperativeLevel(window, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND);
    if (hr == DI_OK) hr = keyboard->Acquire();
    return hr;
  }
  void set_up() {
    ASSERT_EQ(create_all(), DI_OK);
    ASSERT_EQ(set_up_mouse(), DI_OK);
    ASSERT_EQ(set_up_keyboard(), DI_OK);
  }
  HRESULT read_keys() { return keyboard->GetDeviceState(sizeof keys, (LPVOID)&keys); }
  // One pass of the game's loop: pump messages, read, present.
  void frame() {
    pump_messages();
    read_keys();
    present_frame();
  }

  HWND window = nullptr;
  LPDIRECTINPUT8 dinput = nullptr;
  LPDIRECTINPUTDEVICE8 mouse = nullptr;
  LPDIRECTINPUTDEVICE8 keyboard = nullptr;
  BYTE keys[256] = {};
};

TEST_F(DInput, GameSetUpSucceeds) {
  set_up();
  EXPECT_TRUE(headless::mouse_captured()) << "exclusive foreground mouse captures the pointer";
  EXPECT_EQ(read_keys(), DI_OK);
  for (BYTE k : keys) EXPECT_EQ(k, 0);
  DIMOUSESTATE state;
  EXPECT_EQ(mouse->GetDeviceState(sizeof state, &state), DI_OK);
}

TEST_F(DInput, CreateChecksItsArguments) {
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(DirectInput8Create(GetModuleHandleA(NULL), 0x0700, IID_IDirectInput8A, &out, NULL),
            DIERR_OLDDIRECTINPUTVERSION);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(DirectInput8Create(GetModuleHandleA(NULL), 0x0900, IID_IDirectInput8A, &out, NULL),
            DIERR_BETADIRECTINPUTVERSION);
  EXPECT_EQ(DirectInput8Create(GetModuleHandleA(NULL), 0x0800, IID_IDirectInputDevice8A, &out, NULL),
            DIERR_NOINTERFACE);
  EXPECT_EQ(DirectInput8Create(NULL, 0x0800, IID_IDirectInput8A, &out, NULL), DIERR_INVALIDPARAM);
  ASSERT_EQ(create_all(), DI_OK);
  LPDIRECTINPUTDEVICE8 other = nullptr;
  EXPECT_EQ(dinput->CreateDevice(IID_IDirectInput8A, &other, NULL), DIERR_DEVICENOTREG);
  EXPECT_EQ(other, nullptr);
}

TEST_F(DInput, DeviceRulesAsThePlatform) {
  ASSERT_EQ(create_all(), DI_OK);
  EXPECT_EQ(keyboard->Acquire(), DIERR_INVALIDPARAM) << "no data format yet";
  EXPECT_EQ(keyboard->SetDataFormat(&c_dfDIMouse), DIERR_INVALIDPARAM);
  EXPECT_EQ(keyboard->SetDataFormat(&c_dfDIKeyboard), DI_OK);
  EXPECT_EQ(keyboard->SetCooperativeLevel(window, DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE | DISCL_FOREGROUND),
            DIERR_INVALIDPARAM);
  EXPECT_EQ(keyboard->SetCooperativeLevel(window, DISCL_EXCLUSIVE | DISCL_BACKGROUND), DIERR_UNSUPPORTED);
  EXPECT_EQ(keyboard->SetCooperativeLevel(NULL, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND), E_HANDLE);
  EXPECT_EQ(keyboard->SetCooperativeLevel(window, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND), DI_OK);
  EXPECT_EQ(keyboard->GetDeviceState(sizeof keys, keys), DIERR_NOTACQUIRED);
  EXPECT_EQ(keyboard->Acquire(), DI_OK);
  EXPECT_EQ(keyboard->Acquire(), DI_NOEFFECT);
  EXPECT_EQ(keyboard->SetDataFormat(&c_dfDIKeyboard), DIERR_ACQUIRED);
  EXPECT_EQ(keyboard->GetDeviceState(100, keys), DIERR_INVALIDPARAM);
  EXPECT_EQ(keyboard->Unacquire(), DI_OK);
  EXPECT_EQ(keyboard->Unacquire(), DI_NOEFFECT);
  EXPECT_EQ(keyboard->AddRef(), 2u);
  EXPECT_EQ(keyboard->Release(), 1u);
}

TEST_F(DInput, KeyStateAcrossFrames) {
  set_up();
  dik_at(1, DIK_W, true);
  dik_at(1, DIK_RCONTROL, true);
  dik_at(3, DIK_W, false);
  headless::key_at(4, kHidKpEnter, true);

  frame();  // frame 0
  EXPECT_EQ(keys[DIK_W], 0);
  frame();  // frame 1
  EXPECT_EQ(keys[DIK_W], 0x80);
  EXPECT_EQ(keys[DIK_RCONTROL], 0x80);
  EXPECT_EQ(keys[DIK_LCONTROL], 0);
  frame();  // frame 2: held
  EXPECT_EQ(keys[DIK_W], 0x80);
  frame();  // frame 3
  EXPECT_EQ(keys[DIK_W], 0);
  EXPECT_EQ(keys[DIK_RCONTROL], 0x80);
  frame();  // frame 4
  EXPECT_EQ(keys[DIK_NUMPADENTER], 0x80);
  EXPECT_EQ(keys[DIK_RETURN], 0) << "the keypad's Enter is another key";
  int down = 0;
  for (BYTE k : keys) down += k != 0;
  EXPECT_EQ(down, 2);
}

TEST_F(DInput, KeysWorkWithoutAMessageLoop) {
  set_up();
  dik_at(0, DIK_ESCAPE, true);
  EXPECT_EQ(read_keys(), DI_OK);
  EXPECT_EQ(keys[DIK_ESCAPE], 0x80);
}

TEST_F(DInput, FocusLossLosesForegroundDevices) {
  set_up();
  dik_at(0, DIK_A, true);
  frame();
  EXPECT_EQ(keys[DIK_A], 0x80);
  headless::focus_at(2, false);
  frame();  // frame 1
  EXPECT_EQ(keys[DIK_A], 0x80);
  pump_messages();  // frame 2: the focus goes
  EXPECT_FALSE(headless::mouse_captured()) << "the pointer is given back";
  EXPECT_EQ(read_keys(), DIERR_INPUTLOST);
  EXPECT_EQ(keys[DIK_A], 0) << "a failed read reports no keys";
  EXPECT_EQ(read_keys(), DIERR_NOTACQUIRED);
  DIMOUSESTATE state;
  EXPECT_EQ(mouse->GetDeviceState(sizeof state, &state), DIERR_INPUTLOST);
  EXPECT_EQ(mouse->GetDeviceState(sizeof state, &state), DIERR_NOTACQUIRED);
  EXPECT_EQ(keyboard->Acquire(), DIERR_OTHERAPPHASPRIO) << "not in the foreground";
  EXPECT_EQ(mouse->Acquire(), DIERR_OTHERAPPHASPRIO);

  headless::set_focus(true);
  EXPECT_EQ(read_keys(), DIERR_NOTACQUIRED) << "regaining the focus does not acquire";
  EXPECT_EQ(keyboard->Acquire(), DI_OK);
  EXPECT_EQ(mouse->Acquire(), DI_OK);
  EXPECT_TRUE(headless::mouse_captured());
  EXPECT_EQ(read_keys(), DI_OK);
  EXPECT_EQ(keys[DIK_A], 0) << "keys held at the loss are released";
  dik_at(0, DIK_D, true);
  EXPECT_EQ(read_keys(), DI_OK);
  EXPECT_EQ(keys[DIK_D], 0x80);
}

TEST_F(DInput, InitMouseFailsWithoutForeground) {
  headless::set_focus(false);
  ASSERT_EQ(create_all(), DI_OK);
  EXPECT_EQ(set_up_mouse(), DIERR_OTHERAPPHASPRIO);
  EXPECT_FALSE(headless::mouse_captured());
}

TEST_F(DInput, BackgroundDevicesAreNotLost) {
  ASSERT_EQ(create_all(), DI_OK);
  ASSERT_EQ(keyboard->SetDataFormat(&c_dfDIKeyboard), DI_OK);
  ASSERT_EQ(keyboard->SetCooperativeLevel(NULL, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND), DI_OK);
  headless::set_focus(false);
  EXPECT_EQ(keyboard->Acquire(), DI_OK);
  EXPECT_EQ(read_keys(), DI_OK);
  headless::set_focus(true);
  headless::set_focus(false);
  EXPECT_EQ(read_keys(), DI_OK);
}

TEST_F(DInput, MouseMovementSinceThePreviousRead) {
  set_up();
  headless::mouse_move_at(0, 5, -3);
  headless::mouse_move_at(0, 2, 1);
  headless::mouse_wheel_at(0, 1);
  headless::mouse_button_at(0, 0, true);
  headless::mouse_button_at(0, 3, true);
  DIMOUSESTATE state;
  ASSERT_EQ(mouse->GetDeviceState(sizeof state, &state), DI_OK);
  EXPECT_EQ(state.lX, 7);
  EXPECT_EQ(state.lY, -2);
  EXPECT_EQ(state.lZ, 120);
  EXPECT_EQ(state.rgbButtons[0], 0x80);
  EXPECT_EQ(state.rgbButtons[1], 0);
  EXPECT_EQ(state.rgbButtons[3], 0x80);
  ASSERT_EQ(mouse->GetDeviceState(sizeof state, &state), DI_OK);
  EXPECT_EQ(state.lX, 0);
  EXPECT_EQ(state.lY, 0);
  EXPECT_EQ(state.lZ, 0);
  EXPECT_EQ(state.rgbButtons[0], 0x80) << "still held";
}

TEST_F(DInput, ReleasingTheMouseGivesThePointerBack) {
  set_up();
  EXPECT_TRUE(headless::mouse_captured());
  mouse->Unacquire();
  EXPECT_FALSE(headless::mouse_captured());
  mouse->Acquire();
  EXPECT_TRUE(headless::mouse_captured());
  mouse->Release();
  mouse = nullptr;
  EXPECT_FALSE(headless::mouse_captured());
}

TEST_F(DInput, FaultPoints) {
  headless::fail("DirectInput8Create");
  EXPECT_EQ(create_all(), DIERR_GENERIC);
  EXPECT_EQ(dinput, nullptr);
  headless::fail("IDirectInput8A::CreateDevice.keyboard");
  EXPECT_EQ(create_all(), DIERR_DEVICENOTREG);
  EXPECT_EQ(keyboard, nullptr);
  mouse->Release();
  mouse = nullptr;
  dinput->Release();
  dinput = nullptr;
  headless::fail("IDirectInput8A::CreateDevice.mouse");
  EXPECT_EQ(create_all(), DIERR_DEVICENOTREG);
  dinput->Release();
  dinput = nullptr;
  ASSERT_EQ(create_all(), DI_OK);
  headless::fail("IDirectInputDevice8A::SetDataFormat.mouse");
  EXPECT_EQ(set_up_mouse(), DIERR_GENERIC);
  headless::fail("IDirectInputDevice8A::SetCooperativeLevel.mouse");
  EXPECT_EQ(set_up_mouse(), DIERR_GENERIC);
  headless::fail("IDirectInputDevice8A::Acquire.mouse");
  EXPECT_EQ(set_up_mouse(), DIERR_OTHERAPPHASPRIO);
  EXPECT_EQ(set_up_mouse(), DI_OK);
  headless::fail("IDirectInputDevice8A::SetDataFormat.keyboard");
  EXPECT_EQ(set_up_keyboard(), DIERR_GENERIC);
  headless::fail("IDirectInputDevice8A::SetCooperativeLevel.keyboard");
  EXPECT_EQ(set_up_keyboard(), DIERR_GENERIC);
  headless::fail("IDirectInputDevice8A::Acquire.keyboard");
  EXPECT_EQ(set_up_keyboard(), DIERR_OTHERAPPHASPRIO);
  EXPECT_EQ(set_up_keyboard(), DI_OK);
  EXPECT_EQ(headless::fault_checks("IDirectInputDevice8A::Acquire.keyboard"), 2);
}

TEST_F(DInput, DestroyingTheWindowLosesTheDevices) {
  set_up();
  DestroyWindow(window);
  EXPECT_EQ(read_keys(), DIERR_INPUTLOST);
  EXPECT_EQ(keyboard->Acquire(), DIERR_OTHERAPPHASPRIO);
}

}  // namespace

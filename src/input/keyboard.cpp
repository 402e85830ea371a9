// The keyboard device: set-up, the per-frame read with its key source, the
// key test, release.
#include <cstring>
#include <iostream>

#include "input/input.h"

BYTE key_snapshot[256];

static KeySource key_source;

void Set_KeySource(KeySource source) { key_source = source; }

int Init_Keyboard(HWND window) {
  if (keyboard_device->SetDataFormat(&c_dfDIKeyboard) != DI_OK) {
    std::cerr << "Init_Keyboard SetDataFormat failed\n";
    return 0;
  }
  if (keyboard_device->SetCooperativeLevel(window, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND) != DI_OK) {
    std::cerr << "Init_Keyboard SetCooperativeLevel failed\n";
    return 0;
  }
  if (keyboard_device->Acquire() != DI_OK) {
    std::cerr << "Init_Keyboard Acquire failed\n";
    return 0;
  }
  std::cerr << "Keyboard Initialized\n";
  return 1;
}

void Read_Keyboard() {
  HRESULT result = keyboard_device->GetDeviceState(sizeof(key_snapshot), (LPVOID)key_snapshot);
  if (FAILED(result)) {
    if (keyboard_device->Acquire() == DI_OK)
      result = keyboard_device->GetDeviceState(sizeof(key_snapshot), (LPVOID)key_snapshot);
  }
  if (FAILED(result)) memset(key_snapshot, 0, sizeof(key_snapshot));
  if (key_source) key_source(key_snapshot);
}

int Key_Held(int code) { return key_snapshot[code] & 0x80; }

void Release_Keyboard() {
  if (keyboard_device) {
    keyboard_device->Unacquire();
    keyboard_device->Release();
    keyboard_device = NULL;
  }
  std::cerr << "Keyboard objects released\n";
}

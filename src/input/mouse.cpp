// The mouse device: set-up, the per-frame read, the three queries, release.
// The game holds the mouse but never looks at it.
#include <cstring>
#include <iostream>

#include "input/input.h"

DIMOUSESTATE mouse_snapshot;

int Init_Mouse(HWND window) {
  if (mouse_device->SetDataFormat(&c_dfDIMouse) != DI_OK) {
    std::cerr << "Init_mouse SetDataFormat failed\n";
    return 0;
  }
  if (mouse_device->SetCooperativeLevel(window, DISCL_EXCLUSIVE | DISCL_FOREGROUND) != DI_OK) {
    std::cerr << "Init_Mouse SetCooperativeLevel failed\n";
    return 0;
  }
  if (mouse_device->Acquire() != DI_OK) {
    std::cerr << "Init_mouse Acquire failed\n";
    return 0;
  }
  std::cerr << "Mouse Initialized\n";
  return 1;
}

void Read_Mouse() {
  HRESULT result = mouse_device->GetDeviceState(sizeof(mouse_snapshot), (LPVOID)&mouse_snapshot);
  if (FAILED(result)) {
    if (mouse_device->Acquire() == DI_OK)
      result = mouse_device->GetDeviceState(sizeof(mouse_snapshot), (LPVOID)&mouse_snapshot);
  }
  if (FAILED(result)) memset(&mouse_snapshot, 0, sizeof(mouse_snapshot));
}

int Mouse_DeltaX() { return mouse_snapshot.lX; }
int Mouse_DeltaY() { return mouse_snapshot.lY; }
int Mouse_ButtonHeld(int button) { return mouse_snapshot.rgbButtons[button] & 0x80; }

void Release_Mouse() {
  if (mouse_device) {
    mouse_device->Unacquire();
    mouse_device->Release();
    mouse_device = NULL;
  }
  std::cerr << "Mouse Object Released\n";
}

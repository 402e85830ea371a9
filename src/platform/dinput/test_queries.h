// What the DirectInput stand-in tells a test about its devices. For tests
// only; the program never includes this header.
#pragma once

#include "dinput.h"

namespace dinput_test {

// The flags of the last SetCooperativeLevel that the system mouse or
// keyboard accepted, and the window it named; 0 and null before any.
struct CooperativeLevel {
  DWORD flags = 0;
  HWND window = nullptr;
};
CooperativeLevel mouse_cooperative_level();
CooperativeLevel keyboard_cooperative_level();
// Devices (mouse and keyboard) that exist now.
int live_devices();

}  // namespace dinput_test

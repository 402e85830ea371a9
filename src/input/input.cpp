// The DirectInput object and the creation of the two devices.
#include <iostream>

#include "input/input.h"

IDirectInput8A* dinput_object;
IDirectInputDevice8A* mouse_device;
IDirectInputDevice8A* keyboard_device;

int Init_Input(HWND /*window*/) {
  HRESULT result = DirectInput8Create(GetModuleHandleA(NULL), DIRECTINPUT_VERSION, IID_IDirectInput8A,
                                      (void**)&dinput_object, NULL);
  if (result != DI_OK) {
    std::cerr << "DirectInput8Create failed \n";
    return 0;
  }
  result = dinput_object->CreateDevice(GUID_SysMouse, &mouse_device, NULL);
  if (result != DI_OK) {
    std::cerr << "DirectInput CreateDevice Mouse failed\n";
    return 0;
  }
  result = dinput_object->CreateDevice(GUID_SysKeyboard, &keyboard_device, NULL);
  if (result != DI_OK) {
    std::cerr << "DirectInput CreateDevice Keyboard failed\n";
    return 0;
  }
  std::cerr << "DirectInput Initialized\n";
  return 1;
}

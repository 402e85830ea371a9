// Presentation and recovery from a lost device. While the device is lost
// the game keeps its state and only reads the input; once the window is
// back, the sprite handler's device objects, the back buffer reference and
// every image are released (once per loss, however many resets it takes),
// the device is reset and the images are loaded again from their files. A
// device that answers with anything but "lost" or "not reset" cannot come
// back: the game ends as it does from the menu.
#include <iostream>

#include "game/assets.h"
#include "game/device_loss.h"
#include "graphics/graphics.h"

// A Present failed: each frame asks the device before it runs.
static bool presentFailed = false;
// A loss was seen and the game has not presented since.
static bool deviceLost = false;
// This loss's device objects and images are released. Also the game's own
// note that a reset is unfinished: a Reset that succeeded while the back
// buffer or the sprite handler's objects could not be had leaves the device
// answering D3D_OK, and the whole reset is tried again.
static bool objectsReleased = false;
// A reset failed during this loss; it is logged once.
static bool resetFailed = false;
// The device cannot come back; the program is ending.
static bool deviceFailed = false;

void Present_Frame() {
  if (d3d_device->Present(NULL, NULL, NULL, NULL) != D3D_OK) {
    presentFailed = true;
    return;
  }
  if (deviceLost) {
    std::cerr << "Direct3D device reset\n";
    deviceLost = false;
    resetFailed = false;
  }
}

int Restore_Device(HWND window) {
  if (!presentFailed) return 1;
  if (deviceFailed) return 0;
  HRESULT level = d3d_device->TestCooperativeLevel();
  if (level == D3D_OK && !objectsReleased) {
    presentFailed = false;
    return 1;
  }
  if (level != D3D_OK && level != D3DERR_DEVICELOST && level != D3DERR_DEVICENOTRESET) {
    std::cerr << "Direct3D device failed\n";
    deviceFailed = true;
    PostMessageA(window, WM_DESTROY, 0, 0);
    return 0;
  }
  if (!deviceLost) {
    std::cerr << "Direct3D device lost\n";
    deviceLost = true;
  }
  // Still in the background: wait.
  if (level == D3DERR_DEVICELOST) return 0;

  if (!objectsReleased) {
    Release_DeviceObjects();
    Release_Images();
    objectsReleased = true;
  }
  if (!Reset_Graphics()) {
    if (!resetFailed) {
      std::cerr << "Direct3D device Reset failed\n";
      resetFailed = true;
    }
    return 0;
  }
  objectsReleased = false;
  Load_Images();
  presentFailed = false;
  return 1;
}

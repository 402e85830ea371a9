// Presentation and recovery from a lost device. While the device is lost
// the game keeps its state and only reads the input; once the window is
// back, the sprite handler's device objects, the back buffer reference and
// every image are released, the device is reset and the images are loaded
// again from their files.
#include <iostream>

#include "game/assets.h"
#include "game/device_loss.h"
#include "graphics/graphics.h"

// A Present failed: each frame asks the device before it runs.
static bool presentFailed = false;
// A loss was seen and the game has not presented since.
static bool deviceLost = false;
// A reset failed during this loss; it is logged once.
static bool resetFailed = false;

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

int Restore_Device() {
  if (!presentFailed) return 1;
  HRESULT level = d3d_device->TestCooperativeLevel();
  if (level == D3D_OK) {
    presentFailed = false;
    return 1;
  }
  if (!deviceLost) {
    std::cerr << "Direct3D device lost\n";
    deviceLost = true;
  }
  // Still in the background (or a fault with no cure): wait.
  if (level != D3DERR_DEVICENOTRESET) return 0;

  Release_DeviceObjects();
  Release_Images();
  if (!Reset_Graphics()) {
    if (!resetFailed) {
      std::cerr << "Direct3D device Reset failed\n";
      resetFailed = true;
    }
    return 0;
  }
  Load_Images();
  presentFailed = false;
  return 1;
}

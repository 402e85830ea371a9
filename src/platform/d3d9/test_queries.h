// What the software device tells a test about itself: the arguments of the
// last device creation and how many surfaces and textures exist. For tests
// only; the program never includes this header.
#pragma once

#include "d3d9.h"

namespace d3d9_test {

// The arguments of one IDirect3D9::CreateDevice call, the presentation
// parameters as the caller gave them (before the device filled in any
// defaults).
struct DeviceRequest {
  UINT adapter = 0;
  D3DDEVTYPE device_type = D3DDEVTYPE_HAL;
  HWND focus_window = nullptr;
  DWORD behavior_flags = 0;
  D3DPRESENT_PARAMETERS parameters{};
};

// The last CreateDevice call that got as far as its parameters, failed or
// not; false when there was none.
bool last_device_request(DeviceRequest* request);
// Calls refused because a Reset of their device had failed (only Reset,
// TestCooperativeLevel and Release may follow one), since the process began.
int calls_after_failed_reset();
// Surfaces (the back buffer included) and textures that exist now.
int live_surfaces();
int live_textures();

// For the Direct3D object: records a CreateDevice call.
void note_device_request(const DeviceRequest& request);

}  // namespace d3d9_test

// The process's Direct3D 9 objects: the Direct3D object, the full-screen
// device, its back buffer and the sprite handler. Each is null until
// Init_Graphics sets it and holds one reference.
#pragma once

#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

extern IDirect3D9* d3d_object;
extern IDirect3DDevice9* d3d_device;
extern IDirect3DSurface9* back_buffer;
extern ID3DXSprite* sprite_handler;

// Creates the objects for a full-screen device of width x height on the
// window; 1 when all exist, 0 (with one line in the run log) otherwise.
int Init_Graphics(HWND window, int width, int height);

// A lost device is reset in three steps: Release_DeviceObjects lets go of
// the sprite handler's device objects and the back buffer reference; the
// caller then releases every default-pool image it holds; Reset_Graphics
// resets the device with the presentation parameters it was made with,
// takes the back buffer again and gives the sprite handler its objects back.
// Reset_Graphics gives 1 when the device works again, 0 (nothing logged)
// when the reset failed; back_buffer is then null until a reset succeeds.
void Release_DeviceObjects();
int Reset_Graphics();

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
// the sprite handler's device objects and the back buffer reference (once
// per loss); the caller then releases every default-pool image it holds;
// Reset_Graphics resets the device with a fresh copy of the presentation
// parameters it was made with, takes the back buffer again and gives the
// sprite handler its objects back. Reset_Graphics gives 1 when all of that
// worked, 0 (nothing logged) otherwise: when the reset itself failed, or
// when it succeeded but the back buffer or the sprite handler's objects
// could not be had, in which case it lets go of what it took, so that the
// whole of it can be tried again; back_buffer is null until it gives 1.
void Release_DeviceObjects();
int Reset_Graphics();

// Creation of the Direct3D object, the device, the back buffer reference and
// the sprite handler, and their reset after the device was lost.
#include <cstring>
#include <iostream>

#include "graphics/graphics.h"

IDirect3D9* d3d_object;
IDirect3DDevice9* d3d_device;
IDirect3DSurface9* back_buffer;
ID3DXSprite* sprite_handler;

// The presentation parameters as the device was asked for. The device
// writes into the structure it is given, at creation and at every reset
// (a reset even leaves the back buffer's size and count at zero), so each
// reset is handed a fresh copy of this one and never this one itself.
static D3DPRESENT_PARAMETERS resetParameters;

int Init_Graphics(HWND window, int width, int height) {
  d3d_object = Direct3DCreate9(D3D_SDK_VERSION);
  if (d3d_object == NULL) {
    std::cerr << "Error creating Direct3D object\n";
    return 0;
  }

  D3DPRESENT_PARAMETERS d3dpp;
  memset(&d3dpp, 0, sizeof(d3dpp));
  d3dpp.BackBufferWidth = width;
  d3dpp.BackBufferHeight = height;
  d3dpp.BackBufferFormat = D3DFMT_X8R8G8B8;
  d3dpp.BackBufferCount = 1;
  d3dpp.MultiSampleType = D3DMULTISAMPLE_NONE;
  d3dpp.MultiSampleQuality = 0;
  d3dpp.SwapEffect = D3DSWAPEFFECT_COPY;
  d3dpp.hDeviceWindow = window;
  d3dpp.Windowed = FALSE;
  d3dpp.EnableAutoDepthStencil = TRUE;
  d3dpp.AutoDepthStencilFormat = D3DFMT_D16;
  d3dpp.Flags = 0;
  d3dpp.FullScreen_RefreshRateInHz = 0;
  d3dpp.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
  resetParameters = d3dpp;

  HRESULT result = d3d_object->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                            D3DCREATE_SOFTWARE_VERTEXPROCESSING, &d3dpp, &d3d_device);
  if (result != D3D_OK) {
    std::cerr << "Error creating Direct3D device\n";
    return 0;
  }

  d3d_device->Clear(0, NULL, D3DCLEAR_TARGET, D3DCOLOR_XRGB(0, 0, 0), 1.0f, 0);
  d3d_device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back_buffer);

  result = D3DXCreateSprite(d3d_device, &sprite_handler);
  if (result != D3D_OK) {
    std::cerr << "Error Creating sprite handler\n";
    return 0;
  }

  std::cerr << "Sprite Handler Created\n";
  std::cerr << "Direct3D objects initialized\n";
  return 1;
}

void Release_DeviceObjects() {
  sprite_handler->OnLostDevice();
  if (back_buffer) {
    back_buffer->Release();
    back_buffer = NULL;
  }
}

int Reset_Graphics() {
  D3DPRESENT_PARAMETERS parameters = resetParameters;
  if (d3d_device->Reset(&parameters) != D3D_OK) return 0;
  if (d3d_device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back_buffer) != D3D_OK) {
    back_buffer = NULL;
    return 0;
  }
  if (sprite_handler->OnResetDevice() != D3D_OK) {
    // Nothing may hold the device's memory when the reset is tried again.
    back_buffer->Release();
    back_buffer = NULL;
    return 0;
  }
  return 1;
}

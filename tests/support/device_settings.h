// The presentation parameters the game creates its Direct3D device with, for
// tests, benchmarks and fuzz targets that want a device like the game's.
#pragma once

#include <d3d9.h>

// As the game asks: an 800x600 X8R8G8B8 back buffer, one of it, copied on
// Present, full screen on `window`, a 16-bit depth buffer, presented at once.
inline D3DPRESENT_PARAMETERS GameDeviceSettings(HWND window) {
  D3DPRESENT_PARAMETERS pp{};
  pp.BackBufferWidth = 800;
  pp.BackBufferHeight = 600;
  pp.BackBufferFormat = D3DFMT_X8R8G8B8;
  pp.BackBufferCount = 1;
  pp.MultiSampleType = D3DMULTISAMPLE_NONE;
  pp.SwapEffect = D3DSWAPEFFECT_COPY;
  pp.hDeviceWindow = window;
  pp.Windowed = FALSE;
  pp.EnableAutoDepthStencil = TRUE;
  pp.AutoDepthStencilFormat = D3DFMT_D16;
  pp.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
  return pp;
}

// The game's back buffer in a window of its own size, without a depth
// buffer: for drawing that leaves the display as it is.
inline D3DPRESENT_PARAMETERS WindowedDeviceSettings(HWND window, UINT width = 800, UINT height = 600) {
  D3DPRESENT_PARAMETERS pp = GameDeviceSettings(window);
  pp.BackBufferWidth = width;
  pp.BackBufferHeight = height;
  pp.Windowed = TRUE;
  pp.EnableAutoDepthStencil = FALSE;
  pp.AutoDepthStencilFormat = D3DFMT_UNKNOWN;
  return pp;
}

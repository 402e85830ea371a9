// The software Direct3D device: one X8R8G8B8 back buffer, scene state,
// clears, rectangle copies and presentation through the backend.
#pragma once

#include "d3d9.h"
#include "platform/d3d9/com_object.h"
#include "platform/d3d9/pixel_resources.h"

namespace d3d9sw {

struct DeviceSettings {
  int width = 0;
  int height = 0;
  bool fullscreen = false;
  bool depth_buffer = false;
  bool stencil_buffer = false;
};

class Device final : public ComObject<IDirect3DDevice9> {
 public:
  // A device with one reference; it holds one on `owner` for its lifetime.
  // Null when memory is short. A full-screen device makes the window fill
  // the display until the device goes.
  static Device* create(IDirect3D9* owner, const DeviceSettings& settings);
  ~Device() override;

  // The surface that Clear and sprites draw on and Present shows.
  Surface& render_target() { return *back_buffer_; }

  HRESULT STDMETHODCALLTYPE GetBackBuffer(UINT iSwapChain, UINT iBackBuffer, D3DBACKBUFFER_TYPE Type,
                                          IDirect3DSurface9** ppBackBuffer) override;
  HRESULT STDMETHODCALLTYPE Present(CONST RECT* pSourceRect, CONST RECT* pDestRect, HWND hDestWindowOverride,
                                    CONST RGNDATA* pDirtyRegion) override;
  HRESULT STDMETHODCALLTYPE CreateOffscreenPlainSurface(UINT Width, UINT Height, D3DFORMAT Format,
                                                        D3DPOOL Pool, IDirect3DSurface9** ppSurface,
                                                        HANDLE* pSharedHandle) override;
  HRESULT STDMETHODCALLTYPE StretchRect(IDirect3DSurface9* pSourceSurface, CONST RECT* pSourceRect,
                                        IDirect3DSurface9* pDestSurface, CONST RECT* pDestRect,
                                        D3DTEXTUREFILTERTYPE Filter) override;
  HRESULT STDMETHODCALLTYPE BeginScene() override;
  HRESULT STDMETHODCALLTYPE EndScene() override;
  HRESULT STDMETHODCALLTYPE Clear(DWORD Count, CONST D3DRECT* pRects, DWORD Flags, D3DCOLOR Color, float Z,
                                  DWORD Stencil) override;

 private:
  Device(IDirect3D9* owner, Surface* back_buffer, const DeviceSettings& settings);

  IDirect3D9* owner_;
  Surface* back_buffer_;
  DeviceSettings settings_;
  bool in_scene_ = false;
};

}  // namespace d3d9sw

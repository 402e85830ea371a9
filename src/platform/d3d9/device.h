// The software Direct3D device: one X8R8G8B8 back buffer, scene state,
// clears, rectangle copies, presentation through the backend, and device
// loss as the platform has it.
//
// Loss. A full-screen device is lost when its window loses the focus, even
// when the focus comes back before the next Present (a device that another
// program took the display from is lost too: the "IDirect3DDevice9::Lost"
// fault point). While lost, Present answers D3DERR_DEVICELOST; drawing
// (scenes, Clear, StretchRect, sprites) succeeds and changes nothing;
// surfaces and textures can still be made and loaded. TestCooperativeLevel
// answers D3DERR_DEVICELOST while a full-screen device's window is in the
// background, then (and for a windowed device at once)
// D3DERR_DEVICENOTRESET. Reset brings the device back once every
// default-pool resource is gone, the program's references to the back buffer
// included; any failed Reset leaves the device lost, and until a Reset
// succeeds only Reset, TestCooperativeLevel and Release may be called on the
// device, its sprite handlers and its resources (others are refused with
// D3DERR_INVALIDCALL and counted). Every Reset, successful or not, leaves
// the back buffer's width, height and count in the structure it was given
// at zero, and a windowed one's format unknown.
//
// Presentation. Present shows the whole back buffer in the window. With the
// copy swap effect it also takes a source rectangle of the back buffer and a
// destination rectangle of the window's picture (platform/d3d9/
// window_picture.h); with the discard and flip effects both must be null.
#pragma once

#include <memory>

#include "d3d9.h"
#include "platform/com_object.h"
#include "platform/d3d9/pixel_resources.h"
#include "platform/d3d9/window_picture.h"

namespace d3d9sw {

struct DeviceSettings {
  HWND focus_window = nullptr;
  int width = 0;
  int height = 0;
  bool fullscreen = false;
  bool depth_buffer = false;
  bool stencil_buffer = false;
  D3DSWAPEFFECT swap_effect = D3DSWAPEFFECT_DISCARD;
};

// Checks presentation parameters, fills in the values the caller left to the
// device (as the platform does) and gives the device's settings; used by
// CreateDevice and Reset.
HRESULT settle_parameters(D3DPRESENT_PARAMETERS& pp, HWND focus_window, DeviceSettings& settings);

class Device final : public com::Object<IDirect3DDevice9> {
 public:
  // A device with one reference; it holds one on `owner` for its lifetime.
  // Null when memory is short. A full-screen device makes the window fill
  // the display until the device goes.
  static Device* create(IDirect3D9* owner, const DeviceSettings& settings);
  ~Device() override;

  // The surface that Clear and sprites draw on and Present shows.
  Surface& render_target() { return *back_buffer_; }
  // Whether the device is lost (drawing then changes nothing).
  bool lost();
  // Whether the device refuses calls: its last Reset failed.
  bool refuses_calls() const { return link_->reset_failed; }
  // Whether a scene is open (between BeginScene and EndScene).
  bool in_scene() const { return in_scene_; }
  // Takes a resource the device (or D3DX on it) just made: it is tied to
  // the device, and a default-pool one is counted until it goes and may
  // find the device lost.
  template <class Interface>
  void adopt(PixelResource<Interface>* resource) {
    resource->link_to(link_);
    if (resource->pool() == D3DPOOL_DEFAULT) note_default_pool_made();
  }
  // What a sprite handler made on the device shares with it.
  const std::shared_ptr<DeviceLink>& link() const { return link_; }

  HRESULT STDMETHODCALLTYPE TestCooperativeLevel() override;
  HRESULT STDMETHODCALLTYPE Reset(D3DPRESENT_PARAMETERS* pPresentationParameters) override;
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
  void note_default_pool_made();
  // A full-screen device cannot have the display while its window is in the
  // background.
  bool display_taken() const;
  HRESULT reset(D3DPRESENT_PARAMETERS& parameters);
  HRESULT reset_failed(HRESULT result);

  IDirect3D9* owner_;
  Surface* back_buffer_;
  DeviceSettings settings_;
  std::unique_ptr<WindowPicture> picture_;  // with the copy swap effect only
  bool in_scene_ = false;
  bool lost_ = false;
  uint64_t focus_losses_seen_ = 0;
  // What the last whole Present showed: the back buffer and its pixels'
  // change count then (a store of id 0 is none).
  struct Presented {
    uint64_t store = 0;
    uint64_t changes = 0;
  } presented_;  // the window's focus losses when the device was made or last reset
  std::shared_ptr<DeviceLink> link_;
};

}  // namespace d3d9sw

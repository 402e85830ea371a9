// The software Direct3D device.
#include "platform/d3d9/device.h"

#include <atomic>
#include <new>
#include <vector>

#include "platform/backend.h"
#include "platform/fault_points.h"
#include "platform/win32/input_state.h"

namespace d3d9sw {
namespace {

constexpr GUID kIidIDirect3DDevice9{
    0xD0223B96, 0xBF7A, 0x43FD, {0x92, 0xBD, 0xA4, 0x3B, 0x0D, 0x82, 0xB9, 0xEB}};

// The window's picture a device with these settings keeps: only the copy
// swap effect presents parts of the back buffer. Throws when memory is short.
std::unique_ptr<WindowPicture> picture_for(const DeviceSettings& settings) {
  if (settings.swap_effect != D3DSWAPEFFECT_COPY) return nullptr;
  return std::make_unique<WindowPicture>(settings.width, settings.height);
}

Area copy_bounds(const PixelView& view) { return Area{0, 0, view.width, view.height}; }

// A RECT of a Present call: all of `bounds` when null, else the part of it
// inside `bounds`.
Area present_area(const RECT* rect, const Area& bounds) {
  if (rect == nullptr) return bounds;
  return intersect(Area{rect->left, rect->top, rect->right, rect->bottom}, bounds);
}

std::atomic<int> g_calls_after_failed_reset{0};

}  // namespace

HRESULT refuse_after_failed_reset() {
  g_calls_after_failed_reset.fetch_add(1, std::memory_order_relaxed);
  return D3DERR_INVALIDCALL;
}

int calls_after_failed_reset() { return g_calls_after_failed_reset.load(std::memory_order_relaxed); }

Device* Device::create(IDirect3D9* owner, const DeviceSettings& settings) {
  Surface* back_buffer = create_surface(settings.width, settings.height, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT);
  if (back_buffer == nullptr) return nullptr;
  try {
    return new Device(owner, back_buffer, settings);
  } catch (...) {
    back_buffer->Release();
    return nullptr;
  }
}

Device::Device(IDirect3D9* owner, Surface* back_buffer, const DeviceSettings& settings)
    : com::Object<IDirect3DDevice9>(kIidIDirect3DDevice9),
      owner_(owner),
      back_buffer_(back_buffer),
      settings_(settings),
      picture_(picture_for(settings)),
      focus_losses_seen_(input_state::focus_losses()),
      link_(std::make_shared<DeviceLink>()) {
  back_buffer_->mark_render_target();
  owner_->AddRef();
  if (settings_.fullscreen) backend::window_set_fullscreen(true);
}

Device::~Device() {
  picture_.reset();  // before the back buffer it may watch goes
  if (settings_.fullscreen && backend::window_exists()) backend::window_set_fullscreen(false);
  back_buffer_->Release();
  owner_->Release();
}

bool Device::lost() {
  // The focus state is the one the window system last took from the
  // backend's events (each PeekMessageA and DirectInput read takes them).
  if (!lost_ && settings_.fullscreen && input_state::focus_losses() != focus_losses_seen_) lost_ = true;
  return lost_;
}

void Device::note_default_pool_made() {
  if (!lost() && fault_point::fails(fault_point::kDeviceLost)) lost_ = true;
}

HRESULT Device::reset_failed(HRESULT result) {
  // Any failed Reset leaves the device lost ("Lost Devices"), and only
  // Reset, TestCooperativeLevel and Release valid (the page of Reset).
  lost_ = true;
  link_->reset_failed = true;
  return result;
}

bool Device::display_taken() const { return settings_.fullscreen && !input_state::focused(); }

HRESULT Device::TestCooperativeLevel() {
  if (fault_point::fails(fault_point::kTestCooperativeLevel))
    return fault_point::kTestCooperativeLevel.result;
  if (!lost()) return D3D_OK;
  return display_taken() ? D3DERR_DEVICELOST : D3DERR_DEVICENOTRESET;
}

// On return, successful or not, the back buffer's width, height and count
// in the caller's structure are zero, and a windowed device's format is
// D3DFMT_UNKNOWN (the page of Reset): a program that hands the same
// structure to the next Reset asks for nothing.
HRESULT Device::Reset(D3DPRESENT_PARAMETERS* pPresentationParameters) {
  if (pPresentationParameters == nullptr) return reset_failed(D3DERR_INVALIDCALL);
  D3DPRESENT_PARAMETERS& pp = *pPresentationParameters;
  const HRESULT result = reset(pp);
  pp.BackBufferWidth = 0;
  pp.BackBufferHeight = 0;
  pp.BackBufferCount = 0;
  if (pp.Windowed) pp.BackBufferFormat = D3DFMT_UNKNOWN;
  return result;
}

// A Reset inside a scene is not known to be refused: it is allowed and ends
// the scene, as a reset loses all of the device's state.
HRESULT Device::reset(D3DPRESENT_PARAMETERS& parameters) {
  if (lost() && display_taken()) return reset_failed(D3DERR_DEVICELOST);
  // Every default-pool resource must be gone first, the sprite handlers'
  // own objects (OnLostDevice) and the program's back buffer references
  // (the device holds one itself) among them.
  // A copy the back buffer has yet to take holds its source: what a reset
  // throws away anyway goes first.
  back_buffer_->drop_pending();
  if (link_->default_pool_alive > 0 || back_buffer_->references() > 1)
    return reset_failed(D3DERR_INVALIDCALL);
  if (fault_point::fails(fault_point::kReset)) return reset_failed(fault_point::kReset.result);
  D3DPRESENT_PARAMETERS pp = parameters;
  DeviceSettings settings;
  const HRESULT checked = settle_parameters(pp, settings_.focus_window, settings);
  if (FAILED(checked)) return reset_failed(checked);
  // A reset device starts with a new back buffer, cleared to black.
  Surface* fresh = create_surface(settings.width, settings.height, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT);
  if (fresh == nullptr) return reset_failed(D3DERR_OUTOFVIDEOMEMORY);
  fresh->mark_render_target();
  // The window keeps showing its picture through a reset that keeps the
  // size and the copy swap effect; otherwise the next partial present starts
  // from black.
  if (picture_ && settings.swap_effect == D3DSWAPEFFECT_COPY && picture_->width() == settings.width &&
      picture_->height() == settings.height) {
    picture_->take_out();
  } else {
    try {
      picture_ = picture_for(settings);
    } catch (const std::bad_alloc&) {
      fresh->Release();
      return reset_failed(D3DERR_OUTOFVIDEOMEMORY);
    }
  }
  back_buffer_->Release();
  back_buffer_ = fresh;
  if (settings.fullscreen != settings_.fullscreen) backend::window_set_fullscreen(settings.fullscreen);
  settings_ = settings;
  parameters = pp;
  in_scene_ = false;
  lost_ = false;
  link_->reset_failed = false;
  focus_losses_seen_ = input_state::focus_losses();
  return D3D_OK;
}

HRESULT Device::GetBackBuffer(UINT iSwapChain, UINT iBackBuffer, D3DBACKBUFFER_TYPE Type,
                              IDirect3DSurface9** ppBackBuffer) {
  if (refuses_calls()) return refuse_after_failed_reset();
  if (ppBackBuffer == nullptr) return D3DERR_INVALIDCALL;
  *ppBackBuffer = nullptr;
  // One swap chain with one back buffer.
  if (iSwapChain != 0 || iBackBuffer != 0 || Type != D3DBACKBUFFER_TYPE_MONO) return D3DERR_INVALIDCALL;
  if (fault_point::fails(fault_point::kGetBackBuffer)) return fault_point::kGetBackBuffer.result;
  back_buffer_->AddRef();
  *ppBackBuffer = back_buffer_;
  return D3D_OK;
}

// There is one window: hDestWindowOverride is not looked at. The dirty
// region is only a hint, as on the platform, and is not looked at either:
// the whole source rectangle is copied. Rectangles that reach outside the
// back buffer or the picture are clipped, as the platform does; whether an
// empty or inverted one is refused is not known for sure, so it is taken
// and copies nothing.
HRESULT Device::Present(CONST RECT* pSourceRect, CONST RECT* pDestRect, HWND hDestWindowOverride,
                        CONST RGNDATA* pDirtyRegion) {
  (void)hDestWindowOverride;
  if (refuses_calls()) return refuse_after_failed_reset();
  const bool partial = pSourceRect != nullptr || pDestRect != nullptr;
  // Rectangles and a dirty region only with the copy swap effect.
  if ((partial || pDirtyRegion != nullptr) && settings_.swap_effect != D3DSWAPEFFECT_COPY)
    return D3DERR_INVALIDCALL;
  // Present between BeginScene and EndScene fails on the platform when the
  // back buffer is the render target (here it always is).
  if (in_scene_) return D3DERR_INVALIDCALL;
  if (lost()) return D3DERR_DEVICELOST;
  PixelView shown;
  bool same = false;
  if (partial) {
    shown = picture_->show_part(*back_buffer_, present_area(pSourceRect, back_buffer_->bounds()),
                                present_area(pDestRect, Area{0, 0, picture_->width(), picture_->height()}));
    presented_ = Presented{};
  } else {
    shown = back_buffer_->view_to_read();
    if (picture_) picture_->shown_whole(*back_buffer_);
    // The back buffer presented last, its pixels not changed since: the
    // frame's drawing was what they held.
    const Presented now{back_buffer_->id(), back_buffer_->pixel_changes()};
    same = now.store == presented_.store && now.changes == presented_.changes;
    presented_ = now;
  }
  backend::present(shown.pixels, shown.width, shown.height, static_cast<int>(shown.pitch * sizeof(uint32_t)),
                   same);
  return D3D_OK;
}

HRESULT Device::CreateOffscreenPlainSurface(UINT Width, UINT Height, D3DFORMAT Format, D3DPOOL Pool,
                                            IDirect3DSurface9** ppSurface, HANDLE* pSharedHandle) {
  if (refuses_calls()) return refuse_after_failed_reset();
  if (ppSurface == nullptr) return D3DERR_INVALIDCALL;
  *ppSurface = nullptr;
  if (pSharedHandle != nullptr || Pool == D3DPOOL_MANAGED) return D3DERR_INVALIDCALL;
  if (Pool != D3DPOOL_DEFAULT && Pool != D3DPOOL_SYSTEMMEM && Pool != D3DPOOL_SCRATCH)
    return D3DERR_INVALIDCALL;
  if (Format != D3DFMT_X8R8G8B8 && Format != D3DFMT_A8R8G8B8) return D3DERR_INVALIDCALL;
  if (Width == 0 || Height == 0 || Width > kMaxDimension || Height > kMaxDimension) return D3DERR_INVALIDCALL;
  if (fault_point::fails(fault_point::kCreateOffscreenPlainSurface))
    return fault_point::kCreateOffscreenPlainSurface.result;
  Surface* surface = create_surface(static_cast<int>(Width), static_cast<int>(Height), Format, Pool);
  if (surface == nullptr) return D3DERR_OUTOFVIDEOMEMORY;
  adopt(surface);
  *ppSurface = surface;
  return D3D_OK;
}

// Whether the platform allows StretchRect inside a scene is not known for
// sure (the game copies its backgrounds there): it stays allowed.
HRESULT Device::StretchRect(IDirect3DSurface9* pSourceSurface, CONST RECT* pSourceRect,
                            IDirect3DSurface9* pDestSurface, CONST RECT* pDestRect,
                            D3DTEXTUREFILTERTYPE Filter) {
  if (refuses_calls()) return refuse_after_failed_reset();
  if (pSourceSurface == nullptr || pDestSurface == nullptr) return D3DERR_INVALIDCALL;
  // Point sampling whatever the filter: a copy between different sizes is
  // always nearest-neighbour.
  if (Filter != D3DTEXF_NONE && Filter != D3DTEXF_POINT && Filter != D3DTEXF_LINEAR)
    return D3DERR_INVALIDCALL;
  Surface* source = as_surface(pSourceSurface);
  Surface* dest = as_surface(pDestSurface);
  // The platform copies only between surfaces in video memory: system-memory
  // and scratch surfaces are refused.
  if (source->pool() != D3DPOOL_DEFAULT || dest->pool() != D3DPOOL_DEFAULT) return D3DERR_INVALIDCALL;
  // The page's table of surface kinds: an off-screen plain surface takes
  // copies only from another off-screen plain surface, never from a render
  // target (the back buffer); render targets take both.
  if (!dest->render_target() && source->render_target()) return D3DERR_INVALIDCALL;
  Area from;
  Area to;
  if (!area_of_rect(pSourceRect, source->bounds(), from) || !area_of_rect(pDestRect, dest->bounds(), to)) {
    return D3DERR_INVALIDCALL;
  }
  // "Stretching is not supported between source and destination rectangles
  // on the same surface": a copy within one surface must keep the size.
  // Whether overlapping rectangles are refused is not known for sure: they
  // are allowed, and copied as if through a second surface.
  const bool same_size = from.width() == to.width() && from.height() == to.height();
  if (source == dest && !same_size) return D3DERR_INVALIDCALL;
  if (lost()) return D3D_OK;
  const uint32_t and_mask = copy_and_mask(source->format(), dest->format());
  const uint32_t or_mask = copy_or_mask(source->format(), dest->format());
  const bool whole = to.left == 0 && to.top == 0 && to.right == dest->width() && to.bottom == dest->height();
  if (source == dest) {
    const PixelView pixels = dest->view();
    std::vector<uint32_t> part(static_cast<size_t>(from.width()) * static_cast<size_t>(from.height()));
    const PixelView copy{part.data(), from.width(), from.height(), from.width()};
    stretch_copy(pixels, from, copy, copy_bounds(copy), 0xFFFFFFFFu, 0u);
    stretch_copy(copy, copy_bounds(copy), pixels, to, and_mask, or_mask);
    return D3D_OK;
  }
  // A whole surface onto a whole surface of its size waits until the pixels
  // are looked at: the next whole copy or clear may make it needless.
  if (whole && from.left == 0 && from.top == 0 && from.right == source->width() &&
      from.bottom == source->height() && source->width() == dest->width() &&
      source->height() == dest->height()) {
    dest->copy_later(*source, and_mask, or_mask);
    return D3D_OK;
  }
  const PixelView source_pixels = source->view_to_read();
  const PixelView dest_pixels = whole ? dest->view_to_overwrite() : dest->view();
  stretch_copy(source_pixels, from, dest_pixels, to, and_mask, or_mask);
  return D3D_OK;
}

HRESULT Device::BeginScene() {
  if (refuses_calls()) return refuse_after_failed_reset();
  if (fault_point::fails(fault_point::kBeginScene)) return fault_point::kBeginScene.result;
  // Scenes do not nest: a second BeginScene before EndScene is refused.
  if (in_scene_) return D3DERR_INVALIDCALL;
  in_scene_ = true;
  return D3D_OK;
}

HRESULT Device::EndScene() {
  if (refuses_calls()) return refuse_after_failed_reset();
  // EndScene only closes a scene BeginScene opened.
  if (!in_scene_) return D3DERR_INVALIDCALL;
  in_scene_ = false;
  return D3D_OK;
}

HRESULT Device::Clear(DWORD Count, CONST D3DRECT* pRects, DWORD Flags, D3DCOLOR Color, float Z,
                      DWORD Stencil) {
  if (refuses_calls()) return refuse_after_failed_reset();
  // There is nothing that reads depth or stencil, so clearing them only
  // checks that the buffers exist.
  (void)Z;
  (void)Stencil;
  constexpr DWORD kKnown = D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL;
  if (Flags == 0 || (Flags & ~kKnown) != 0) return D3DERR_INVALIDCALL;
  if ((Flags & D3DCLEAR_ZBUFFER) != 0 && !settings_.depth_buffer) return D3DERR_INVALIDCALL;
  if ((Flags & D3DCLEAR_STENCIL) != 0 && !settings_.stencil_buffer) return D3DERR_INVALIDCALL;
  if (Count != 0 && pRects == nullptr) return D3DERR_INVALIDCALL;
  if ((Flags & D3DCLEAR_TARGET) == 0 || lost()) return D3D_OK;

  const uint32_t value = Color & 0x00FFFFFFu;
  if (Count == 0) {
    back_buffer_->fill_later(value);
    return D3D_OK;
  }
  const PixelView view = back_buffer_->view();
  for (DWORD i = 0; i < Count; ++i) {
    const Area area =
        intersect(Area{pRects[i].x1, pRects[i].y1, pRects[i].x2, pRects[i].y2}, back_buffer_->bounds());
    if (!area.empty()) fill(view, area, value);
  }
  return D3D_OK;
}

}  // namespace d3d9sw

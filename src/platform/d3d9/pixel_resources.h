// Surfaces and textures of the software device: a 32-bit pixel array each
// (platform/d3d9/pixel_store.h), in D3DFMT_X8R8G8B8 (top byte kept 0) or
// D3DFMT_A8R8G8B8.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "d3d9.h"
#include "platform/com_object.h"
#include "platform/d3d9/composition.h"
#include "platform/d3d9/pixel_store.h"

namespace d3d9sw {

// Largest width or height of a surface or texture.
inline constexpr int kMaxDimension = 8192;

inline constexpr GUID kIidIDirect3DSurface9{
    0x0CFBAF3A, 0x9FF6, 0x429A, {0x99, 0xB3, 0xA2, 0x79, 0x6A, 0xF8, 0xB8, 0x9B}};
inline constexpr GUID kIidIDirect3DTexture9{
    0x85C31227, 0x3DE5, 0x4F00, {0x9B, 0x3A, 0xF1, 0x1A, 0xC3, 0x8C, 0x18, 0xB5}};

// What a device shares with the resources and sprite handlers made on it;
// shared, as they may outlive it.
struct DeviceLink {
  // What it has in the default pool (video memory on the platform) that is
  // still alive: surfaces, textures and the sprite handlers' own objects. A
  // device cannot be reset while any is.
  int default_pool_alive = 0;
  // Its last Reset failed: until one succeeds, only Reset,
  // TestCooperativeLevel and the Release members may be called on it, its
  // sprite handlers and its resources (the page of IDirect3DDevice9::Reset).
  bool reset_failed = false;
};

// A call made on a device whose Reset failed, or on what was made on it:
// counted (platform/d3d9/test_queries.h) and refused with
// D3DERR_INVALIDCALL, as the platform may fault on such a call.
HRESULT refuse_after_failed_reset();
int calls_after_failed_reset();

template <class Interface>
class PixelResource final : public com::Object<Interface>, public PixelStore {
 public:
  // A zero-filled resource with one reference; null when the size is out of
  // range, the format is neither X8R8G8B8 nor A8R8G8B8, or memory is short.
  static PixelResource* create(int width, int height, D3DFORMAT format, D3DPOOL pool, const IID& iid) {
    if (width <= 0 || height <= 0 || width > kMaxDimension || height > kMaxDimension) return nullptr;
    if (format != D3DFMT_X8R8G8B8 && format != D3DFMT_A8R8G8B8) return nullptr;
    try {
      return new PixelResource(width, height, format, pool, iid);
    } catch (...) {
      return nullptr;
    }
  }
  ~PixelResource() override {
    if (link_ && pool_ == D3DPOOL_DEFAULT) --link_->default_pool_alive;
    --live_;
  }

  // Ties the resource to the device that made it, for its lifetime; a
  // default-pool one is counted among the device's.
  void link_to(std::shared_ptr<DeviceLink> link) {
    link_ = std::move(link);
    if (pool_ == D3DPOOL_DEFAULT) ++link_->default_pool_alive;
  }
  // Whether calls on it are refused: its device's last Reset failed.
  bool refuses_calls() const { return link_ && link_->reset_failed; }

  // The back buffer is the one render target: StretchRect treats it
  // otherwise than an off-screen plain surface.
  void mark_render_target() { render_target_ = true; }
  bool render_target() const { return render_target_; }

  // How many resources of this kind exist now (platform/d3d9/test_queries.h).
  static int live() { return live_; }

  D3DFORMAT format() const { return format_; }
  D3DPOOL pool() const { return pool_; }
  bool has_alpha() const { return format_ == D3DFMT_A8R8G8B8; }

 private:
  PixelResource(int width, int height, D3DFORMAT format, D3DPOOL pool, const IID& iid)
      : com::Object<Interface>(iid), PixelStore(width, height), format_(format), pool_(pool) {
    ++live_;
  }

  void hold() override { this->AddRef(); }
  void let_go() override { this->Release(); }

  static inline std::atomic<int> live_{0};

  D3DFORMAT format_;
  D3DPOOL pool_;
  std::shared_ptr<DeviceLink> link_;
  bool render_target_ = false;
};

using Surface = PixelResource<IDirect3DSurface9>;
using Texture = PixelResource<IDirect3DTexture9>;

// Every surface and texture handed out is one of these.
inline Surface* as_surface(IDirect3DSurface9* surface) { return static_cast<Surface*>(surface); }
inline Texture* as_texture(IDirect3DTexture9* texture) { return static_cast<Texture*>(texture); }

inline Surface* create_surface(int width, int height, D3DFORMAT format, D3DPOOL pool) {
  return Surface::create(width, height, format, pool, kIidIDirect3DSurface9);
}
inline Texture* create_texture(int width, int height, D3DFORMAT format, D3DPOOL pool) {
  return Texture::create(width, height, format, pool, kIidIDirect3DTexture9);
}

// The conversion masks of a copy between two formats (see stretch_copy).
// Copies within one format are plain, as an X8R8G8B8 top byte is always 0.
inline uint32_t copy_and_mask(D3DFORMAT from, D3DFORMAT to) {
  return (from == D3DFMT_A8R8G8B8 && to == D3DFMT_X8R8G8B8) ? 0x00FFFFFFu : 0xFFFFFFFFu;
}
inline uint32_t copy_or_mask(D3DFORMAT from, D3DFORMAT to) {
  return (from == D3DFMT_X8R8G8B8 && to == D3DFMT_A8R8G8B8) ? 0xFF000000u : 0u;
}

}  // namespace d3d9sw

// Surfaces and textures of the software device: a 32-bit pixel array each,
// in D3DFMT_X8R8G8B8 (top byte kept 0) or D3DFMT_A8R8G8B8.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "d3d9.h"
#include "platform/com_object.h"
#include "platform/d3d9/composition.h"

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

// Told once, before a resource's pixels next change: lets the device keep
// the picture its window shows apart from a back buffer about to be drawn
// on. `whole` says that every pixel is about to be overwritten, so what
// `pixels` hold may be taken instead of copied (by a swap with pixels of the
// same size).
class ChangeWatch {
 public:
  virtual void before_change(std::vector<uint32_t>& pixels, bool whole) = 0;

 protected:
  ~ChangeWatch() = default;
};

template <class Interface>
class PixelResource final : public com::Object<Interface>, private ChangeWatch {
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
    drop_pending_copy();
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

  // The pixels, for reading or drawing.
  PixelView view() {
    about_to_change(false);
    return view_to_read();
  }
  // The pixels, for reading only.
  PixelView view_to_read() {
    if (fill_pending_) {
      std::fill(pixels_.begin(), pixels_.end(), pending_value_);
      fill_pending_ = false;
    }
    if (copy_from_ != nullptr) {
      PixelResource* source = copy_from_;
      source->watch_next_change(nullptr);
      take_copy(source->view_to_read());
    }
    return PixelView{pixels_.data(), width_, height_, width_};
  }
  // The pixels, for a caller that is about to overwrite every one of them.
  PixelView view_to_overwrite() {
    about_to_change(true);
    drop_pending();
    return PixelView{pixels_.data(), width_, height_, width_};
  }
  // Sets every pixel to `value` when the pixels are next looked at, or never
  // when a whole overwrite comes first: a clear followed by a full-size copy
  // costs one pass over the pixels, not two.
  void fill_later(uint32_t value) {
    about_to_change(true);
    drop_pending();
    fill_pending_ = true;
    pending_value_ = value;
  }
  // Becomes a copy of the whole of `source`, a resource of the same size,
  // each pixel taken as (p & and_mask) | or_mask, when the pixels are next
  // looked at (or `source` is about to change), or never when a whole
  // overwrite comes first: a background copied over another costs one copy,
  // not two. `source` is kept alive meanwhile. Copies at once when `source`
  // is watched already.
  void copy_later(PixelResource& source, uint32_t and_mask, uint32_t or_mask) {
    about_to_change(true);
    drop_pending();
    copy_and_mask_ = and_mask;
    copy_or_mask_ = or_mask;
    if (source.watch_ != nullptr || &source == this) {
      take_copy_of(source.view_to_read());
      return;
    }
    source.AddRef();
    copy_from_ = &source;
    source.watch_next_change(this);
  }
  // Forgets what was to be filled or copied in (a reset device's back
  // buffer is new anyway).
  void drop_pending() {
    fill_pending_ = false;
    drop_pending_copy();
  }
  // Tells `watch` before the pixels next change (then forgets it); null
  // stops watching. One watch at a time: a new one makes the one before
  // take the pixels as they are now.
  void watch_next_change(ChangeWatch* watch) {
    if (watch != nullptr && watch_ != nullptr && watch_ != watch) about_to_change(false);
    watch_ = watch;
  }
  Area bounds() const { return Area{0, 0, width_, height_}; }
  int width() const { return width_; }
  int height() const { return height_; }
  D3DFORMAT format() const { return format_; }
  D3DPOOL pool() const { return pool_; }
  bool has_alpha() const { return format_ == D3DFMT_A8R8G8B8; }

 private:
  PixelResource(int width, int height, D3DFORMAT format, D3DPOOL pool, const IID& iid)
      : com::Object<Interface>(iid),
        width_(width),
        height_(height),
        format_(format),
        pool_(pool),
        pixels_(static_cast<size_t>(width) * static_cast<size_t>(height), 0u) {
    ++live_;
  }

  // The source of a pending copy is about to change: the copy is taken
  // from the pixels as they still are.
  void before_change(std::vector<uint32_t>& pixels, bool) override {
    take_copy(PixelView{pixels.data(), width_, height_, width_});
  }

  // Takes the pending copy from `from` (the source's pixels) and lets go of
  // the source.
  void take_copy(const PixelView& from) {
    PixelResource* source = copy_from_;
    copy_from_ = nullptr;
    take_copy_of(from);
    source->Release();
  }

  void take_copy_of(const PixelView& from) {
    stretch_copy(from, bounds(), PixelView{pixels_.data(), width_, height_, width_}, bounds(), copy_and_mask_,
                 copy_or_mask_);
  }

  void drop_pending_copy() {
    if (copy_from_ == nullptr) return;
    PixelResource* source = copy_from_;
    copy_from_ = nullptr;
    source->watch_next_change(nullptr);
    source->Release();
  }

  void about_to_change(bool whole) {
    if (watch_ == nullptr) return;
    ChangeWatch* watch = watch_;
    watch_ = nullptr;
    view_to_read();  // the watch is told of the pixels as they look
    watch->before_change(pixels_, whole);
  }

  static inline std::atomic<int> live_{0};

  int width_;
  int height_;
  D3DFORMAT format_;
  D3DPOOL pool_;
  std::shared_ptr<DeviceLink> link_;
  bool render_target_ = false;
  std::vector<uint32_t> pixels_;
  bool fill_pending_ = false;
  uint32_t pending_value_ = 0;
  ChangeWatch* watch_ = nullptr;
  PixelResource* copy_from_ = nullptr;  // a whole copy waiting, holding a reference
  uint32_t copy_and_mask_ = 0xFFFFFFFFu;
  uint32_t copy_or_mask_ = 0u;
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

// ID3DXSprite on the software device: each Draw goes onto the device's back
// buffer, unscaled, in call order (so later draws cover earlier ones, as
// with the platform's unsorted batches), once the back buffer is looked at
// (platform/d3d9/pixel_store.h).
//
// Like the platform's, the sprite handler keeps objects of its own in the
// device's default pool: the device cannot be reset until OnLostDevice has
// let them go, and the handler cannot draw again until OnResetDevice.
#include <cmath>
#include <memory>

#include "d3dx9.h"
#include "platform/backend.h"
#include "platform/fault_points.h"
#include "platform/com_object.h"
#include "platform/d3d9/composition.h"
#include "platform/d3d9/device.h"
#include "platform/d3d9/pixel_resources.h"

namespace d3d9sw {
namespace {

constexpr GUID kIidID3DXSprite{0xBA0B762D, 0x7D28, 0x43EC, {0xB9, 0xDC, 0x2F, 0x84, 0x44, 0x3B, 0x06, 0x14}};

// A screen coordinate rounded to the nearest pixel; false when it lies so
// far out (or is not a number) that nothing could be drawn.
bool to_pixel(float value, int& out) {
  constexpr float kFar = 1 << 24;
  if (!(value > -kFar && value < kFar)) return false;
  out = static_cast<int>(std::floor(value + 0.5f));
  return true;
}

class Sprite final : public com::Object<ID3DXSprite> {
 public:
  explicit Sprite(Device* device)
      : com::Object<ID3DXSprite>(kIidID3DXSprite), device_(device), link_(device->link()) {
    device_->AddRef();
    ++link_->default_pool_alive;
  }
  ~Sprite() override {
    if (holds_device_objects_) --link_->default_pool_alive;
    device_->Release();
  }

  // Begin twice without End is refused, and so is drawing between
  // OnLostDevice and OnResetDevice, and Begin outside BeginScene/EndScene
  // (its page: "must be called ... between BeginScene and EndScene").
  HRESULT STDMETHODCALLTYPE Begin(DWORD Flags) override {
    if (link_->reset_failed) return refuse_after_failed_reset();
    if (drawing_ || !holds_device_objects_ || !device_->in_scene()) return D3DERR_INVALIDCALL;
    drawing_ = true;
    blend_ = (Flags & D3DXSPRITE_ALPHABLEND) != 0;
    return D3D_OK;
  }

  // Draw only between Begin and End.
  HRESULT STDMETHODCALLTYPE Draw(LPDIRECT3DTEXTURE9 pTexture, CONST RECT* pSrcRect,
                                 CONST D3DXVECTOR3* pCenter, CONST D3DXVECTOR3* pPosition,
                                 D3DCOLOR Color) override {
    if (link_->reset_failed) return refuse_after_failed_reset();
    if (!drawing_ || pTexture == nullptr) return D3DERR_INVALIDCALL;
    Texture* texture = as_texture(pTexture);
    // A texture drawn must be one the device can read: the page of SetTexture
    // refuses scratch textures, and system-memory ones on a device without
    // D3DDEVCAPS_TEXTURESYSTEMMEMORY (this one has not got it).
    if (texture->pool() == D3DPOOL_SYSTEMMEM || texture->pool() == D3DPOOL_SCRATCH) return D3DERR_INVALIDCALL;
    if (device_->lost()) return D3D_OK;
    Area source = texture->bounds();
    if (pSrcRect != nullptr) {
      source = intersect(Area{pSrcRect->left, pSrcRect->top, pSrcRect->right, pSrcRect->bottom}, source);
      if (source.empty()) return D3D_OK;
    }
    const float x = (pPosition ? pPosition->x : 0.0f) - (pCenter ? pCenter->x : 0.0f);
    const float y = (pPosition ? pPosition->y : 0.0f) - (pCenter ? pCenter->y : 0.0f);
    int px = 0;
    int py = 0;
    if (!to_pixel(x, px) || !to_pixel(y, py)) return D3D_OK;
    device_->render_target().draw_later(*texture, source, px, py, SpriteMode{blend_, Color});
    return D3D_OK;
  }

  // End only after Begin.
  HRESULT STDMETHODCALLTYPE End() override {
    if (link_->reset_failed) return refuse_after_failed_reset();
    if (!drawing_) return D3DERR_INVALIDCALL;
    drawing_ = false;
    return D3D_OK;
  }

  // Lets the handler's default-pool objects go (a batch begun is dropped).
  HRESULT STDMETHODCALLTYPE OnLostDevice() override {
    if (link_->reset_failed) return refuse_after_failed_reset();
    if (holds_device_objects_) --link_->default_pool_alive;
    holds_device_objects_ = false;
    drawing_ = false;
    return D3D_OK;
  }

  // Makes them again, on the device as it is now. Called without
  // OnLostDevice first, or on a device still lost, it is not known to fail:
  // it succeeds.
  HRESULT STDMETHODCALLTYPE OnResetDevice() override {
    if (link_->reset_failed) return refuse_after_failed_reset();
    if (fault_point::fails(fault_point::kOnResetDevice)) return fault_point::kOnResetDevice.result;
    if (!holds_device_objects_) ++link_->default_pool_alive;
    holds_device_objects_ = true;
    return D3D_OK;
  }

 private:
  Device* device_;
  std::shared_ptr<DeviceLink> link_;
  bool holds_device_objects_ = true;
  bool drawing_ = false;
  bool blend_ = false;
};

}  // namespace
}  // namespace d3d9sw

HRESULT WINAPI D3DXCreateSprite(LPDIRECT3DDEVICE9 pDevice, LPD3DXSPRITE* ppSprite) {
  if (pDevice == nullptr || ppSprite == nullptr) return D3DERR_INVALIDCALL;
  *ppSprite = nullptr;
  if (static_cast<d3d9sw::Device*>(pDevice)->refuses_calls()) return d3d9sw::refuse_after_failed_reset();
  if (fault_point::fails(fault_point::kD3DXCreateSprite)) return fault_point::kD3DXCreateSprite.result;
  try {
    *ppSprite = new d3d9sw::Sprite(static_cast<d3d9sw::Device*>(pDevice));
  } catch (...) {
    return E_OUTOFMEMORY;
  }
  return D3D_OK;
}

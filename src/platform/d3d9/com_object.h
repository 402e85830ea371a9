// Reference counting and interface lookup shared by every Direct3D and D3DX
// object of the software device. An object starts with one reference and
// deletes itself when Release drops the last one.
#pragma once

#include "wintypes.h"

namespace d3d9sw {

inline constexpr GUID kIidIUnknown{
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

template <class Interface>
class ComObject : public Interface {
 public:
  explicit ComObject(const IID& own_iid) : own_iid_(own_iid) {}
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;
  virtual ~ComObject() = default;

  // Answers for IUnknown and for the object's own interface.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (riid == kIidIUnknown || riid == own_iid_) {
      *object = static_cast<Interface*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  // References held now, by the program and by the platform's own objects.
  ULONG references() const { return references_; }

 private:
  const IID& own_iid_;
  ULONG references_ = 1;
};

}  // namespace d3d9sw

// The base of every COM object of the stand-in: Direct3D and D3DX,
// DirectInput and DirectSound objects alike.
//
// An object starts with one reference and deletes itself (through its
// virtual destructor) when Release drops the last one. The count may change
// on any thread: DirectSound objects are also touched from the mixer's
// thread. QueryInterface answers IUnknown and the object's own interfaces,
// named at construction, with the object itself; an object that hands out
// other interfaces overrides it and passes the rest on to this one.
#pragma once

#include <atomic>

#include "wintypes.h"

namespace com {

// {00000000-0000-0000-C000-000000000046}
inline constexpr GUID kIidIUnknown{
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

template <class Interface>
class Object : public Interface {
 public:
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (riid != kIidIUnknown && riid != own_ && (also_own_ == nullptr || riid != *also_own_))
      return E_NOINTERFACE;
    AddRef();
    *object = static_cast<Interface*>(this);
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    return references_.fetch_add(1, std::memory_order_relaxed) + 1;
  }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = references_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left == 0) delete this;
    return left;
  }

  // References held now, by the program and by the platform's own objects.
  ULONG references() const { return references_.load(std::memory_order_relaxed); }

 protected:
  // `own` (and `also_own`, when given) are the interface identifiers the
  // object answers besides IUnknown; constants that outlive it.
  explicit Object(const IID& own, const IID* also_own = nullptr) : own_(own), also_own_(also_own) {}
  virtual ~Object() = default;

 private:
  const IID& own_;
  const IID* also_own_;
  std::atomic<ULONG> references_{1};
};

}  // namespace com

// The interfaces buffers hand out through QueryInterface: position
// notifications and 3D parameters of a secondary buffer, the 3D listener of
// the primary. Each holds a reference to its buffer and passes its calls on.
// 3D parameters are kept but do not change the mix: voices play as set by
// volume, pan and frequency.
#include "platform/dsound/sound_buffers.h"

namespace dsound {

namespace {

// Answers its own interface; everything else, IUnknown included, is the
// buffer's to answer, as the part is a face of the buffer.
template <class Derived, class Interface, class Owner>
class BufferPart : public com::Object<Interface> {
 public:
  explicit BufferPart(Owner* owner) : com::Object<Interface>(Derived::kIid), owner_(owner) {
    owner_->AddRef();
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (riid == Derived::kIid) return com::Object<Interface>::QueryInterface(riid, ppv);
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    return owner_->QueryInterface(riid, ppv);
  }

 protected:
  ~BufferPart() override { owner_->Release(); }
  Owner* owner_;
};

class Notify final : public BufferPart<Notify, IDirectSoundNotify, SecondaryBuffer> {
 public:
  static constexpr const GUID& kIid = IID_IDirectSoundNotify;
  using BufferPart::BufferPart;
  HRESULT STDMETHODCALLTYPE SetNotificationPositions(DWORD count, LPCDSBPOSITIONNOTIFY positions) override {
    return owner_->set_notifications(count, positions);
  }
};

class Buffer3D final : public BufferPart<Buffer3D, IDirectSound3DBuffer, SecondaryBuffer> {
 public:
  static constexpr const GUID& kIid = IID_IDirectSound3DBuffer;
  using BufferPart::BufferPart;
  HRESULT STDMETHODCALLTYPE SetAllParameters(LPCDS3DBUFFER params, DWORD apply) override {
    if (!params) return DSERR_INVALIDPARAM;
    return owner_->set_3d(*params, apply);
  }
};

class Listener3D final : public BufferPart<Listener3D, IDirectSound3DListener, IDirectSoundBuffer> {
 public:
  static constexpr const GUID& kIid = IID_IDirectSound3DListener;
  using BufferPart::BufferPart;
};

}  // namespace

IDirectSoundNotify* make_notify(SecondaryBuffer* buffer) { return new Notify(buffer); }
IDirectSound3DBuffer* make_3d_buffer(SecondaryBuffer* buffer) { return new Buffer3D(buffer); }
IDirectSound3DListener* make_3d_listener(IDirectSoundBuffer* primary) { return new Listener3D(primary); }

}  // namespace dsound

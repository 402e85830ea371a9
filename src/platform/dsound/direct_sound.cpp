// The DirectSound device object: cooperative level and the making of
// buffers. Every device feeds the one mixer (platform/dsound/mixer.h), which
// keeps the backend's audio output open while any device or buffer exists.
#include <memory>

#include "platform/backend.h"
#include "platform/fault_points.h"
#include "platform/dsound/sound_buffers.h"

namespace dsound {

namespace {

class Device final : public com::Object<IDirectSound8> {
 public:
  Device() : Object(IID_IDirectSound8, &IID_IDirectSound), state_(std::make_shared<DeviceState>()) {}

  HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND hwnd, DWORD level) override {
    if (!hwnd || level < DSSCL_NORMAL || level > DSSCL_WRITEPRIMARY) return DSERR_INVALIDPARAM;
    if (fault_point::fails(fault_point::kSoundSetCooperativeLevel))
      return fault_point::kSoundSetCooperativeLevel.result;
    state_->cooperative_level = level;
    return DS_OK;
  }

  HRESULT STDMETHODCALLTYPE CreateSoundBuffer(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* out,
                                              LPUNKNOWN outer) override {
    if (!out) return DSERR_INVALIDPARAM;
    *out = nullptr;
    if (!desc) return DSERR_INVALIDPARAM;
    if (outer) return DSERR_NOAGGREGATION;
    // 36 is the record's size where pointers have 32 bits.
    if (desc->dwSize != sizeof(DSBUFFERDESC) && desc->dwSize != 36) return DSERR_INVALIDPARAM;
    if (fault_point::fails(fault_point::kCreateSoundBuffer)) return fault_point::kCreateSoundBuffer.result;

    if (desc->dwFlags & DSBCAPS_PRIMARYBUFFER) {
      const HRESULT hr = PrimaryBuffer::validate(*desc);
      if (FAILED(hr)) return hr;
      *out = new PrimaryBuffer(state_, desc->dwFlags);
      return DS_OK;
    }
    const HRESULT hr = SecondaryBuffer::validate(*desc);
    if (FAILED(hr)) return hr;
    SecondaryBuffer* buffer = SecondaryBuffer::create(*desc);
    if (!buffer) return DSERR_NODRIVER;
    *out = buffer;
    // No head-related transfer functions here: 3D buffers that ask for one
    // play without virtualization.
    if ((desc->dwFlags & DSBCAPS_CTRL3D) &&
        (desc->guid3DAlgorithm == DS3DALG_HRTF_FULL || desc->guid3DAlgorithm == DS3DALG_HRTF_LIGHT))
      return DS_NO_VIRTUALIZATION;
    return DS_OK;
  }

  HRESULT STDMETHODCALLTYPE DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER original,
                                                 LPDIRECTSOUNDBUFFER* out) override {
    if (!out) return DSERR_INVALIDPARAM;
    *out = nullptr;
    if (!original) return DSERR_INVALIDPARAM;
    SecondaryBuffer* source = SecondaryBuffer::from(original);
    if (!source) return DSERR_INVALIDCALL;  // the primary buffer
    if (fault_point::fails(fault_point::kDuplicateSoundBuffer))
      return fault_point::kDuplicateSoundBuffer.result;
    SecondaryBuffer* copy = SecondaryBuffer::duplicate(*source);
    if (!copy) return DSERR_NODRIVER;
    *out = copy;
    return DS_OK;
  }

 private:
  ~Device() override { Mixer::instance().release(); }

  std::shared_ptr<DeviceState> state_;
};

}  // namespace

}  // namespace dsound

HRESULT WINAPI DirectSoundCreate8(LPCGUID device, LPDIRECTSOUND8* out, LPUNKNOWN outer) {
  if (!out) return DSERR_INVALIDPARAM;
  *out = nullptr;
  if (outer) return DSERR_NOAGGREGATION;
  if (device && *device != GUID_NULL) return DSERR_NODRIVER;  // only the default output exists
  if (fault_point::fails(fault_point::kDirectSoundCreate8)) return fault_point::kDirectSoundCreate8.result;
  if (!dsound::Mixer::instance().acquire()) return DSERR_NODRIVER;
  *out = new dsound::Device();
  return DS_OK;
}

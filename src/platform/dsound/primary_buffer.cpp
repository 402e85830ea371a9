// The primary buffer: sets the format the mixer puts out (kept on the mixer
// after the buffer is released) and hands out the 3D listener. It has no
// sample memory of its own for the program.
#include "platform/backend.h"
#include "platform/fault_points.h"
#include "platform/dsound/sound_buffers.h"

namespace dsound {

HRESULT PrimaryBuffer::validate(const DSBUFFERDESC& desc) {
  constexpr DWORD kAllowed = DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRL3D | DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN |
                             DSBCAPS_LOCHARDWARE | DSBCAPS_LOCSOFTWARE | DSBCAPS_STICKYFOCUS |
                             DSBCAPS_GLOBALFOCUS | DSBCAPS_GETCURRENTPOSITION2;
  if (desc.dwFlags & ~kAllowed) return DSERR_INVALIDPARAM;
  if (desc.dwBufferBytes != 0 || desc.lpwfxFormat != nullptr) return DSERR_INVALIDPARAM;
  return DS_OK;
}

PrimaryBuffer::PrimaryBuffer(std::shared_ptr<DeviceState> device, DWORD caps)
    : Object(IID_IDirectSoundBuffer), device_(std::move(device)), caps_(caps) {}

PrimaryBuffer::~PrimaryBuffer() = default;

HRESULT PrimaryBuffer::QueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (fault_point::fails(fault_point::kBufferQueryInterface))
    return fault_point::kBufferQueryInterface.result;
  if (riid == IID_IDirectSound3DListener && (caps_ & DSBCAPS_CTRL3D)) {
    *ppv = make_3d_listener(this);
    return S_OK;
  }
  return Object::QueryInterface(riid, ppv);
}

HRESULT PrimaryBuffer::SetFormat(LPCWAVEFORMATEX format) {
  if (!format) return DSERR_INVALIDPARAM;
  if (device_->cooperative_level.load() < DSSCL_PRIORITY) return DSERR_PRIOLEVELNEEDED;
  if (fault_point::fails(fault_point::kSetFormat)) return fault_point::kSetFormat.result;
  if (!plain_pcm_format(*format)) return DSERR_BADFORMAT;
  backend::AudioFormat out;
  out.rate = static_cast<int>(format->nSamplesPerSec);
  out.channels = format->nChannels;
  return Mixer::instance().set_format(out) ? DS_OK : DSERR_GENERIC;
}

HRESULT PrimaryBuffer::GetStatus(LPDWORD status) {
  if (!status) return DSERR_INVALIDPARAM;
  *status = playing_.load() ? DSBSTATUS_PLAYING | DSBSTATUS_LOOPING : 0;
  return DS_OK;
}

HRESULT PrimaryBuffer::GetFrequency(LPDWORD frequency) {
  if (!frequency) return DSERR_INVALIDPARAM;
  return DSERR_CONTROLUNAVAIL;
}

// The mixer runs while any buffer exists; playing the primary only keeps
// its status, and it always plays looping.
HRESULT PrimaryBuffer::Play(DWORD reserved, DWORD priority, DWORD flags) {
  if (reserved != 0 || priority != 0 || !(flags & DSBPLAY_LOOPING)) return DSERR_INVALIDPARAM;
  playing_ = true;
  return DS_OK;
}

HRESULT PrimaryBuffer::Stop() {
  playing_ = false;
  return DS_OK;
}

// Writing the primary buffer directly (DSSCL_WRITEPRIMARY) is not offered.
HRESULT PrimaryBuffer::GetCurrentPosition(LPDWORD, LPDWORD) { return DSERR_PRIOLEVELNEEDED; }
HRESULT PrimaryBuffer::Lock(DWORD, DWORD, LPVOID* ptr1, LPDWORD bytes1, LPVOID* ptr2, LPDWORD bytes2, DWORD) {
  if (ptr1) *ptr1 = nullptr;
  if (bytes1) *bytes1 = 0;
  if (ptr2) *ptr2 = nullptr;
  if (bytes2) *bytes2 = 0;
  return DSERR_PRIOLEVELNEEDED;
}
HRESULT PrimaryBuffer::Unlock(LPVOID, DWORD, LPVOID, DWORD) { return DSERR_INVALIDCALL; }
HRESULT PrimaryBuffer::SetCurrentPosition(DWORD) { return DSERR_INVALIDCALL; }
HRESULT PrimaryBuffer::SetVolume(LONG) { return DSERR_CONTROLUNAVAIL; }
HRESULT PrimaryBuffer::SetPan(LONG) { return DSERR_CONTROLUNAVAIL; }
HRESULT PrimaryBuffer::SetFrequency(DWORD) { return DSERR_CONTROLUNAVAIL; }
HRESULT PrimaryBuffer::Restore() { return DS_OK; }

}  // namespace dsound

// The buffer objects a DirectSound device hands out: secondary buffers that
// hold sample memory and play through the mixer, and the primary buffer,
// which only sets the mixer's output format and hands out the 3D listener.
#pragma once

#include <atomic>
#include <list>
#include <memory>

#include <dsound.h>

#include "platform/com_object.h"
#include "platform/dsound/mixer.h"

namespace dsound {

// What the buffers need to know of the device that made them.
struct DeviceState {
  std::atomic<DWORD> cooperative_level{0};
};

class SecondaryBuffer final : public com::Object<IDirectSoundBuffer> {
 public:
  // Checks the description (flags, size, format); a failure code when it
  // does not describe a secondary buffer this mixer plays.
  static HRESULT validate(const DSBUFFERDESC& desc);
  // A new buffer of silence, stopped at 0; `desc` passed validate().
  static SecondaryBuffer* create(const DSBUFFERDESC& desc);
  // A buffer sharing the original's memory, format and settings, stopped at 0.
  static SecondaryBuffer* duplicate(const SecondaryBuffer& original);
  // The secondary buffer behind an interface pointer, or null.
  static SecondaryBuffer* from(IDirectSoundBuffer* buffer);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  HRESULT STDMETHODCALLTYPE GetCurrentPosition(LPDWORD play, LPDWORD write) override;
  HRESULT STDMETHODCALLTYPE GetFrequency(LPDWORD frequency) override;
  HRESULT STDMETHODCALLTYPE GetStatus(LPDWORD status) override;
  HRESULT STDMETHODCALLTYPE Lock(DWORD offset, DWORD bytes, LPVOID* ptr1, LPDWORD bytes1, LPVOID* ptr2,
                                 LPDWORD bytes2, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE Play(DWORD reserved, DWORD priority, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE SetCurrentPosition(DWORD position) override;
  HRESULT STDMETHODCALLTYPE SetFormat(LPCWAVEFORMATEX format) override;
  HRESULT STDMETHODCALLTYPE SetVolume(LONG volume) override;
  HRESULT STDMETHODCALLTYPE SetPan(LONG pan) override;
  HRESULT STDMETHODCALLTYPE SetFrequency(DWORD frequency) override;
  HRESULT STDMETHODCALLTYPE Stop() override;
  HRESULT STDMETHODCALLTYPE Unlock(LPVOID ptr1, DWORD bytes1, LPVOID ptr2, DWORD bytes2) override;
  HRESULT STDMETHODCALLTYPE Restore() override;

  // For IDirectSoundNotify: replaces the notification positions.
  HRESULT set_notifications(DWORD count, LPCDSBPOSITIONNOTIFY positions);
  // For IDirectSound3DBuffer.
  HRESULT set_3d(const DS3DBUFFER& params, DWORD apply);

 private:
  SecondaryBuffer();
  ~SecondaryBuffer() override;
  // Under the mixer lock: asks the loss fault point and loses the buffer.
  void check_lost();

  struct LockedRange {
    std::vector<uint8_t> copy;  // what the caller writes; taken over at Unlock
    DWORD offset = 0;
    DWORD bytes1 = 0;
    DWORD bytes2 = 0;
  };

  Voice voice_;
  std::list<LockedRange> locked_;  // under the mixer lock
  DS3DBUFFER params_3d_{};
};

class PrimaryBuffer final : public com::Object<IDirectSoundBuffer> {
 public:
  static HRESULT validate(const DSBUFFERDESC& desc);
  PrimaryBuffer(std::shared_ptr<DeviceState> device, DWORD caps);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  HRESULT STDMETHODCALLTYPE GetCurrentPosition(LPDWORD play, LPDWORD write) override;
  HRESULT STDMETHODCALLTYPE GetFrequency(LPDWORD frequency) override;
  HRESULT STDMETHODCALLTYPE GetStatus(LPDWORD status) override;
  HRESULT STDMETHODCALLTYPE Lock(DWORD offset, DWORD bytes, LPVOID* ptr1, LPDWORD bytes1, LPVOID* ptr2,
                                 LPDWORD bytes2, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE Play(DWORD reserved, DWORD priority, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE SetCurrentPosition(DWORD position) override;
  HRESULT STDMETHODCALLTYPE SetFormat(LPCWAVEFORMATEX format) override;
  HRESULT STDMETHODCALLTYPE SetVolume(LONG volume) override;
  HRESULT STDMETHODCALLTYPE SetPan(LONG pan) override;
  HRESULT STDMETHODCALLTYPE SetFrequency(DWORD frequency) override;
  HRESULT STDMETHODCALLTYPE Stop() override;
  HRESULT STDMETHODCALLTYPE Unlock(LPVOID ptr1, DWORD bytes1, LPVOID ptr2, DWORD bytes2) override;
  HRESULT STDMETHODCALLTYPE Restore() override;

 private:
  ~PrimaryBuffer() override;

  std::shared_ptr<DeviceState> device_;
  DWORD caps_;
  std::atomic<bool> playing_{false};
};

// The interfaces a secondary buffer hands out through QueryInterface; each
// holds a reference to its buffer.
IDirectSoundNotify* make_notify(SecondaryBuffer* buffer);
IDirectSound3DBuffer* make_3d_buffer(SecondaryBuffer* buffer);
// The listener the primary buffer hands out.
IDirectSound3DListener* make_3d_listener(IDirectSoundBuffer* primary);

// True for the plain PCM header with 1 or 2 channels, 8 or 16 bits,
// DSBFREQUENCY_MIN to DSBFREQUENCY_MAX samples per second and a consistent
// block alignment: the formats the primary buffer takes.
bool plain_pcm_format(const WAVEFORMATEX& format);

// The formats a secondary buffer takes: 1 or 2 channels at DSBFREQUENCY_MIN
// to DSBFREQUENCY_MAX samples per second, a consistent block alignment, and
// plain PCM at 8 or 16 bits, the extensible header (its 22 extra bytes follow
// the record) with the PCM sub-format at 8, 16, 24 or 32 bits, or 32-bit
// floats under either header. Sets `type` and gives true for those.
bool secondary_sample_type(const WAVEFORMATEX& format, SampleType& type);

}  // namespace dsound

// Secondary sound buffers: sample memory, play state and controls of one
// voice of the mixer.
#include <algorithm>
#include <cstring>

#include "platform/backend.h"
#include "platform/fault_points.h"
#include "platform/dsound/sound_buffers.h"

namespace dsound {

namespace {

constexpr DWORD kKnownCaps = DSBCAPS_PRIMARYBUFFER | DSBCAPS_STATIC | DSBCAPS_LOCHARDWARE |
                             DSBCAPS_LOCSOFTWARE | DSBCAPS_CTRL3D | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN |
                             DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPOSITIONNOTIFY | DSBCAPS_CTRLFX |
                             DSBCAPS_STICKYFOCUS | DSBCAPS_GLOBALFOCUS | DSBCAPS_GETCURRENTPOSITION2 |
                             DSBCAPS_MUTE3DATMAXDISTANCE | DSBCAPS_LOCDEFER | DSBCAPS_TRUEPLAYPOSITION;

constexpr WORD kWaveFormatIeeeFloat = 3;
constexpr WORD kWaveFormatExtensible = 0xFFFE;
constexpr WORD kExtensibleExtraBytes = 22;
// Sub-formats of the extensible header: {0000000n-0000-0010-8000-00AA00389B71}.
constexpr GUID kSubFormatPcm = {0x00000001, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
constexpr GUID kSubFormatIeeeFloat = {
    0x00000003, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

// How far the write cursor runs ahead of a playing play cursor.
constexpr uint32_t kWriteLeadMs = 10;

void set_events(const std::vector<HANDLE>& events) {
  for (HANDLE e : events) SetEvent(e);
}

}  // namespace

bool plain_pcm_format(const WAVEFORMATEX& f) {
  if (f.wFormatTag != WAVE_FORMAT_PCM) return false;
  if (f.nChannels != 1 && f.nChannels != 2) return false;
  if (f.wBitsPerSample != 8 && f.wBitsPerSample != 16) return false;
  if (f.nSamplesPerSec < DSBFREQUENCY_MIN || f.nSamplesPerSec > DSBFREQUENCY_MAX) return false;
  return f.nBlockAlign == f.nChannels * f.wBitsPerSample / 8;
}

bool secondary_sample_type(const WAVEFORMATEX& f, SampleType& type) {
  if (f.nChannels != 1 && f.nChannels != 2) return false;
  if (f.nSamplesPerSec < DSBFREQUENCY_MIN || f.nSamplesPerSec > DSBFREQUENCY_MAX) return false;
  const WORD bits = f.wBitsPerSample;
  bool is_float = false;
  switch (f.wFormatTag) {
    case WAVE_FORMAT_PCM:
      // Wider samples need the extensible header.
      if (bits != 8 && bits != 16) return false;
      break;
    case kWaveFormatIeeeFloat:
      is_float = true;
      break;
    case kWaveFormatExtensible: {
      if (f.cbSize < kExtensibleExtraBytes) return false;
      // The extra bytes: valid bits per sample (u16), channel mask (u32),
      // sub-format identifier.
      const auto* extra = reinterpret_cast<const uint8_t*>(&f) + sizeof(WAVEFORMATEX);
      WORD valid_bits = 0;
      GUID sub_format{};
      std::memcpy(&valid_bits, extra, sizeof valid_bits);
      std::memcpy(&sub_format, extra + 6, sizeof sub_format);
      // Valid bits lie in the top of the container, so the container alone
      // decides how a sample is read. A count of valid bits above the container
      // size is refused; a count of 0 and a channel mask that does not match the
      // channel count are not known to be refused, so they pass.
      if (valid_bits > bits) return false;
      if (sub_format == kSubFormatIeeeFloat) {
        is_float = true;
      } else if (sub_format != kSubFormatPcm) {
        return false;
      }
      break;
    }
    default:
      return false;
  }
  // Floating-point samples: DirectSound's secondary buffers take 32-bit IEEE
  // floats, under the plain WAVE_FORMAT_IEEE_FLOAT header and under the
  // extensible one with the float sub-format; since Windows Vista it mixes
  // every secondary buffer in software, in floating point, and audio
  // libraries (SDL's DirectSound output among them) create such buffers.
  // Whether the plain header is refused anywhere is not known, so it passes.
  // Other float widths are refused.
  if (is_float) {
    if (bits != 32) return false;
    type = SampleType::kF32;
  } else {
    switch (bits) {
      case 8:
        type = SampleType::kU8;
        break;
      case 16:
        type = SampleType::kS16;
        break;
      case 24:
        type = SampleType::kS24;
        break;
      case 32:
        type = SampleType::kS32;
        break;
      default:
        return false;
    }
  }
  // nAvgBytesPerSec is not looked at: the mixer never needs it, and whether
  // the platform refuses a value other than rate times block size is not known.
  return f.nBlockAlign == f.nChannels * bits / 8;
}

HRESULT SecondaryBuffer::validate(const DSBUFFERDESC& desc) {
  if (desc.dwFlags & ~kKnownCaps) return DSERR_INVALIDPARAM;
  if ((desc.dwFlags & DSBCAPS_LOCHARDWARE) && (desc.dwFlags & DSBCAPS_LOCSOFTWARE)) return DSERR_INVALIDPARAM;
  if ((desc.dwFlags & DSBCAPS_CTRL3D) && (desc.dwFlags & DSBCAPS_CTRLPAN)) return DSERR_INVALIDPARAM;
  if (desc.dwBufferBytes < DSBSIZE_MIN || desc.dwBufferBytes > DSBSIZE_MAX) return DSERR_INVALIDPARAM;
  if (!desc.lpwfxFormat) return DSERR_INVALIDPARAM;
  const WAVEFORMATEX& f = *desc.lpwfxFormat;
  SampleType type;
  if (!secondary_sample_type(f, type)) return DSERR_BADFORMAT;
  if ((desc.dwFlags & DSBCAPS_CTRL3D) && f.nChannels != 1) return DSERR_INVALIDPARAM;
  if (!(desc.dwFlags & DSBCAPS_CTRL3D) && desc.guid3DAlgorithm != GUID_NULL) return DSERR_INVALIDPARAM;
  return DS_OK;
}

SecondaryBuffer::SecondaryBuffer() : Object(IID_IDirectSoundBuffer) {
  params_3d_.dwSize = sizeof(DS3DBUFFER);
}

SecondaryBuffer::~SecondaryBuffer() {
  {
    auto guard = Mixer::instance().lock();
    Mixer::instance().remove(&voice_);
  }
  Mixer::instance().release();
}

SecondaryBuffer* SecondaryBuffer::create(const DSBUFFERDESC& desc) {
  if (!Mixer::instance().acquire()) return nullptr;
  auto* b = new SecondaryBuffer();
  const WAVEFORMATEX& f = *desc.lpwfxFormat;
  Voice& v = b->voice_;
  secondary_sample_type(f, v.sample);
  v.memory =
      std::make_shared<std::vector<uint8_t>>(desc.dwBufferBytes, v.sample == SampleType::kU8 ? 0x80 : 0);
  v.bytes = desc.dwBufferBytes;
  v.channels = f.nChannels;
  v.align = f.nBlockAlign;
  v.frames = v.bytes / v.align;
  v.rate = f.nSamplesPerSec;
  v.caps = desc.dwFlags;
  auto guard = Mixer::instance().lock();
  Mixer::instance().add(&b->voice_);
  return b;
}

SecondaryBuffer* SecondaryBuffer::duplicate(const SecondaryBuffer& original) {
  if (!Mixer::instance().acquire()) return nullptr;
  auto* b = new SecondaryBuffer();
  auto guard = Mixer::instance().lock();
  Voice& v = b->voice_;
  const Voice& o = original.voice_;
  v.memory = o.memory;
  v.bytes = o.bytes;
  v.frames = o.frames;
  v.channels = o.channels;
  v.sample = o.sample;
  v.align = o.align;
  v.rate = o.rate;
  v.caps = o.caps;
  v.frequency = o.frequency;
  v.volume = o.volume;
  v.pan = o.pan;
  update_gains(v);
  b->params_3d_ = original.params_3d_;
  Mixer::instance().add(&b->voice_);
  return b;
}

SecondaryBuffer* SecondaryBuffer::from(IDirectSoundBuffer* buffer) {
  return dynamic_cast<SecondaryBuffer*>(buffer);
}

void SecondaryBuffer::check_lost() {
  if (voice_.lost || !fault_point::fails(fault_point::kBufferLost)) return;
  voice_.lost = true;
  voice_.playing = false;
  // The memory is gone: what a restored buffer holds is undefined until the
  // program writes it again; here it reads back as zero bytes.
  std::fill(voice_.memory->begin(), voice_.memory->end(), uint8_t{0});
}

HRESULT SecondaryBuffer::QueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (fault_point::fails(fault_point::kBufferQueryInterface))
    return fault_point::kBufferQueryInterface.result;
  if (riid == IID_IDirectSoundNotify && (voice_.caps & DSBCAPS_CTRLPOSITIONNOTIFY)) {
    *ppv = make_notify(this);
    return S_OK;
  }
  if (riid == IID_IDirectSound3DBuffer && (voice_.caps & DSBCAPS_CTRL3D)) {
    *ppv = make_3d_buffer(this);
    return S_OK;
  }
  return Object::QueryInterface(riid, ppv);
}

HRESULT SecondaryBuffer::GetCurrentPosition(LPDWORD play, LPDWORD write) {
  if (!play && !write) return DSERR_INVALIDPARAM;
  if (fault_point::fails(fault_point::kGetCurrentPosition)) return fault_point::kGetCurrentPosition.result;
  auto guard = Mixer::instance().lock();
  const uint32_t cursor = voice_.play_cursor();
  uint32_t lead = 0;
  if (voice_.playing) {
    const uint32_t rate = voice_.frequency ? voice_.frequency : voice_.rate;
    lead = rate * kWriteLeadMs / 1000 * voice_.align;
  }
  if (play) *play = cursor;
  if (write) *write = voice_.bytes ? static_cast<DWORD>((uint64_t{cursor} + lead) % voice_.bytes) : 0;
  return DS_OK;
}

HRESULT SecondaryBuffer::GetFrequency(LPDWORD frequency) {
  if (!frequency) return DSERR_INVALIDPARAM;
  if (!(voice_.caps & DSBCAPS_CTRLFREQUENCY)) return DSERR_CONTROLUNAVAIL;
  auto guard = Mixer::instance().lock();
  *frequency = voice_.frequency ? voice_.frequency : voice_.rate;
  return DS_OK;
}

HRESULT SecondaryBuffer::GetStatus(LPDWORD status) {
  if (!status) return DSERR_INVALIDPARAM;
  if (fault_point::fails(fault_point::kGetStatus)) return fault_point::kGetStatus.result;
  auto guard = Mixer::instance().lock();
  check_lost();
  DWORD s = 0;
  if (voice_.lost) s |= DSBSTATUS_BUFFERLOST;
  if (voice_.playing) s |= DSBSTATUS_PLAYING | (voice_.looping ? DSBSTATUS_LOOPING : 0);
  *status = s;
  return DS_OK;
}

HRESULT SecondaryBuffer::Lock(DWORD offset, DWORD bytes, LPVOID* ptr1, LPDWORD bytes1, LPVOID* ptr2,
                              LPDWORD bytes2, DWORD flags) {
  if (!ptr1 || !bytes1) return DSERR_INVALIDPARAM;
  *ptr1 = nullptr;
  *bytes1 = 0;
  if (ptr2) *ptr2 = nullptr;
  if (bytes2) *bytes2 = 0;
  if (fault_point::fails(fault_point::kLock)) return fault_point::kLock.result;
  auto guard = Mixer::instance().lock();
  check_lost();
  if (voice_.lost) return DSERR_BUFFERLOST;
  const DWORD size = voice_.bytes;
  if (flags & DSBLOCK_FROMWRITECURSOR) {
    guard.unlock();
    DWORD write = 0;
    GetCurrentPosition(nullptr, &write);
    guard.lock();
    offset = write;
  }
  if (flags & DSBLOCK_ENTIREBUFFER) bytes = size;
  if (offset >= size || bytes == 0 || bytes > size) return DSERR_INVALIDPARAM;

  LockedRange range;
  range.offset = offset;
  range.bytes1 = std::min(bytes, size - offset);
  range.bytes2 = ptr2 ? bytes - range.bytes1 : 0;
  const uint8_t* memory = voice_.memory->data();
  range.copy.assign(memory + offset, memory + offset + range.bytes1);
  range.copy.insert(range.copy.end(), memory, memory + range.bytes2);
  locked_.push_back(std::move(range));
  LockedRange& held = locked_.back();
  *ptr1 = held.copy.data();
  *bytes1 = held.bytes1;
  if (ptr2 && held.bytes2) *ptr2 = held.copy.data() + held.bytes1;
  if (bytes2) *bytes2 = held.bytes2;
  return DS_OK;
}

HRESULT SecondaryBuffer::Unlock(LPVOID ptr1, DWORD bytes1, LPVOID ptr2, DWORD bytes2) {
  if (!ptr1) return DSERR_INVALIDPARAM;
  auto guard = Mixer::instance().lock();
  auto it = std::find_if(locked_.begin(), locked_.end(),
                         [&](const LockedRange& r) { return r.copy.data() == ptr1; });
  if (it == locked_.end()) return DSERR_INVALIDPARAM;
  if (!voice_.lost) {
    uint8_t* memory = voice_.memory->data();
    std::memcpy(memory + it->offset, it->copy.data(), std::min(bytes1, it->bytes1));
    if (ptr2 && ptr2 == it->copy.data() + it->bytes1)
      std::memcpy(memory, it->copy.data() + it->bytes1, std::min(bytes2, it->bytes2));
  }
  locked_.erase(it);
  return DS_OK;
}

HRESULT SecondaryBuffer::Play(DWORD reserved, DWORD priority, DWORD flags) {
  if (reserved != 0) return DSERR_INVALIDPARAM;
  if (priority != 0 && !(voice_.caps & DSBCAPS_LOCDEFER)) return DSERR_INVALIDPARAM;
  if (fault_point::fails(fault_point::kPlay)) return fault_point::kPlay.result;
  auto guard = Mixer::instance().lock();
  check_lost();
  if (voice_.lost) return DSERR_BUFFERLOST;
  voice_.looping = (flags & DSBPLAY_LOOPING) != 0;
  voice_.playing = true;
  return DS_OK;
}

HRESULT SecondaryBuffer::SetCurrentPosition(DWORD position) {
  auto guard = Mixer::instance().lock();
  if (position != 0 && position >= voice_.bytes) return DSERR_INVALIDPARAM;
  voice_.position = static_cast<uint64_t>(position / voice_.align) << 32;
  return DS_OK;
}

HRESULT SecondaryBuffer::SetFormat(LPCWAVEFORMATEX) { return DSERR_INVALIDCALL; }

HRESULT SecondaryBuffer::SetVolume(LONG volume) {
  if (!(voice_.caps & DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
  if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
  auto guard = Mixer::instance().lock();
  voice_.volume = volume;
  update_gains(voice_);
  return DS_OK;
}

HRESULT SecondaryBuffer::SetPan(LONG pan) {
  if (!(voice_.caps & DSBCAPS_CTRLPAN)) return DSERR_CONTROLUNAVAIL;
  if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT) return DSERR_INVALIDPARAM;
  auto guard = Mixer::instance().lock();
  voice_.pan = pan;
  update_gains(voice_);
  return DS_OK;
}

HRESULT SecondaryBuffer::SetFrequency(DWORD frequency) {
  if (!(voice_.caps & DSBCAPS_CTRLFREQUENCY)) return DSERR_CONTROLUNAVAIL;
  if (frequency != DSBFREQUENCY_ORIGINAL && (frequency < DSBFREQUENCY_MIN || frequency > DSBFREQUENCY_MAX))
    return DSERR_INVALIDPARAM;
  auto guard = Mixer::instance().lock();
  voice_.frequency = frequency;
  return DS_OK;
}

HRESULT SecondaryBuffer::Stop() {
  std::vector<HANDLE> events;
  {
    auto guard = Mixer::instance().lock();
    if (voice_.playing) Mixer::signal_stop(voice_, events);
    voice_.playing = false;
  }
  set_events(events);
  return DS_OK;
}

HRESULT SecondaryBuffer::Restore() {
  auto guard = Mixer::instance().lock();
  if (!voice_.lost) return DS_OK;
  if (fault_point::fails(fault_point::kRestore)) return fault_point::kRestore.result;
  voice_.lost = false;
  voice_.position = 0;
  return DS_OK;
}

HRESULT SecondaryBuffer::set_notifications(DWORD count, LPCDSBPOSITIONNOTIFY positions) {
  if (count > 0 && !positions) return DSERR_INVALIDPARAM;
  if (fault_point::fails(fault_point::kSetNotificationPositions))
    return fault_point::kSetNotificationPositions.result;
  auto guard = Mixer::instance().lock();
  if (voice_.playing) return DSERR_INVALIDCALL;
  std::vector<DSBPOSITIONNOTIFY> list(positions, positions + count);
  for (const DSBPOSITIONNOTIFY& n : list)
    if ((n.dwOffset >= voice_.bytes && n.dwOffset != DSBPN_OFFSETSTOP) || !n.hEventNotify)
      return DSERR_INVALIDPARAM;
  std::stable_sort(list.begin(), list.end(), [](const DSBPOSITIONNOTIFY& a, const DSBPOSITIONNOTIFY& b) {
    return a.dwOffset < b.dwOffset;
  });
  voice_.notifications = std::move(list);
  return DS_OK;
}

HRESULT SecondaryBuffer::set_3d(const DS3DBUFFER& params, DWORD apply) {
  if (params.dwSize != sizeof(DS3DBUFFER)) return DSERR_INVALIDPARAM;
  if (apply != DS3D_IMMEDIATE && apply != DS3D_DEFERRED) return DSERR_INVALIDPARAM;
  if (params.dwMode > DS3DMODE_DISABLE) return DSERR_INVALIDPARAM;
  if (fault_point::fails(fault_point::kSetAllParameters)) return fault_point::kSetAllParameters.result;
  auto guard = Mixer::instance().lock();
  params_3d_ = params;
  return DS_OK;
}

}  // namespace dsound

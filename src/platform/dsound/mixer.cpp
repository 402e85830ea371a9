#include "platform/dsound/mixer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/win32/input_state.h"

namespace dsound {

namespace {

// Hundredths of a decibel to a gain where 32768 is unity; the minimum is silence.
int32_t gain_of(LONG hundredths_db) {
  if (hundredths_db <= DSBVOLUME_MIN) return 0;
  if (hundredths_db >= 0) return 32768;
  return static_cast<int32_t>(std::lround(32768.0 * std::pow(10.0, hundredths_db / 2000.0)));
}

constexpr uint32_t bytes_of(SampleType t) {
  switch (t) {
    case SampleType::kU8:
      return 1;
    case SampleType::kS16:
      return 2;
    case SampleType::kS24:
      return 3;
    default:
      return 4;
  }
}

// A float sample at 16-bit scale; beyond full scale clips, NaN is silence.
inline int32_t from_float(float v) {
  const float s = v * 32768.0f;
  if (s >= 32767.0f) return 32767;
  if (s > -32768.0f) return static_cast<int32_t>(s);
  return s <= -32768.0f ? -32768 : 0;
}

inline int32_t load16(const uint8_t* p) {
  int16_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

// One sample at 16-bit scale. A wider integer sample is cut to its top 16
// bits, which are its last two bytes.
template <SampleType kType>
inline int32_t load(const uint8_t* p) {
  if constexpr (kType == SampleType::kU8) {
    return (static_cast<int32_t>(*p) - 128) << 8;
  } else if constexpr (kType == SampleType::kS16) {
    return load16(p);
  } else if constexpr (kType == SampleType::kS24) {
    return load16(p + 1);
  } else if constexpr (kType == SampleType::kS32) {
    return load16(p + 2);
  } else {
    float v;
    std::memcpy(&v, p, sizeof v);
    return from_float(v);
  }
}

// The left and right sample of frame `i` (mono gives the same in both).
template <SampleType kType, int kChannels>
inline void frame_at(const uint8_t* data, uint32_t i, int32_t& left, int32_t& right) {
  constexpr uint32_t kSize = bytes_of(kType);
  const uint8_t* p = data + static_cast<size_t>(i) * (kSize * kChannels);
  left = load<kType>(p);
  right = kChannels == 2 ? load<kType>(p + kSize) : left;
}

// Mixes `count` output frames, every source frame and its successor lying
// inside the buffer. Returns the position after the run.
template <SampleType kType, int kChannels>
uint64_t mix_run(const uint8_t* data, uint64_t pos, uint64_t step, int count, int32_t* acc, int32_t gl,
                 int32_t gr) {
  for (int k = 0; k < count; ++k) {
    const uint32_t i = static_cast<uint32_t>(pos >> 32);
    const int32_t frac = static_cast<int32_t>((pos >> 17) & 0x7FFF);
    int32_t l0, r0, l1, r1;
    frame_at<kType, kChannels>(data, i, l0, r0);
    frame_at<kType, kChannels>(data, i + 1, l1, r1);
    const int32_t l = l0 + (((l1 - l0) * frac) >> 15);
    acc[0] += (l * gl) >> 15;
    if constexpr (kChannels == 2) {
      const int32_t r = r0 + (((r1 - r0) * frac) >> 15);
      acc[1] += (r * gr) >> 15;
    } else {
      (void)r0;
      (void)r1;
      acc[1] += (l * gr) >> 15;
    }
    acc += 2;
    pos += step;
  }
  return pos;
}

// One output frame between source frames `i` and `next` (the last frame of
// the buffer, whose successor is the first one or itself).
template <SampleType kType, int kChannels>
void mix_edge(const uint8_t* data, uint32_t i, uint32_t next, uint64_t pos, int32_t* acc, int32_t gl,
              int32_t gr) {
  const int32_t frac = static_cast<int32_t>((pos >> 17) & 0x7FFF);
  int32_t l0, r0, l1, r1;
  frame_at<kType, kChannels>(data, i, l0, r0);
  frame_at<kType, kChannels>(data, next, l1, r1);
  acc[0] += ((l0 + (((l1 - l0) * frac) >> 15)) * gl) >> 15;
  acc[1] += ((r0 + (((r1 - r0) * frac) >> 15)) * gr) >> 15;
}

using RunFn = uint64_t (*)(const uint8_t*, uint64_t, uint64_t, int, int32_t*, int32_t, int32_t);
using EdgeFn = void (*)(const uint8_t*, uint32_t, uint32_t, uint64_t, int32_t*, int32_t, int32_t);

struct Kernels {
  RunFn run;
  EdgeFn edge;
};

template <SampleType kType>
constexpr Kernels kKernelsOf[2] = {{mix_run<kType, 1>, mix_edge<kType, 1>},
                                   {mix_run<kType, 2>, mix_edge<kType, 2>}};

Kernels kernels_for(const Voice& v) {
  const int stereo = v.channels == 2 ? 1 : 0;
  switch (v.sample) {
    case SampleType::kU8:
      return kKernelsOf<SampleType::kU8>[stereo];
    case SampleType::kS16:
      return kKernelsOf<SampleType::kS16>[stereo];
    case SampleType::kS24:
      return kKernelsOf<SampleType::kS24>[stereo];
    case SampleType::kS32:
      return kKernelsOf<SampleType::kS32>[stereo];
    default:
      return kKernelsOf<SampleType::kF32>[stereo];
  }
}

// Queues the events of the offsets in [from, to).
void notify_range(const Voice& v, uint32_t from, uint32_t to, std::vector<HANDLE>& events) {
  for (const DSBPOSITIONNOTIFY& n : v.notifications) {
    if (n.dwOffset == DSBPN_OFFSETSTOP) continue;
    if (n.dwOffset >= to) break;
    if (n.dwOffset >= from) events.push_back(n.hEventNotify);
  }
}

void pull(void* user, int16_t* out, int frames) { static_cast<Mixer*>(user)->render(out, frames); }

}  // namespace

void update_gains(Voice& v) {
  const int32_t master = gain_of(v.volume);
  const int32_t left = v.pan > 0 ? gain_of(-v.pan) : 32768;
  const int32_t right = v.pan < 0 ? gain_of(v.pan) : 32768;
  v.gain_left = static_cast<int32_t>((static_cast<int64_t>(master) * left) >> 15);
  v.gain_right = static_cast<int32_t>((static_cast<int64_t>(master) * right) >> 15);
}

Mixer& Mixer::instance() {
  static Mixer mixer;
  return mixer;
}

bool Mixer::acquire() {
  std::lock_guard<std::mutex> guard(output_mutex_);
  if (users_ == 0) {
    {
      std::lock_guard<std::mutex> voices(mutex_);
      render_format_ = format_;
    }
    if (!backend::audio_open(format_, pull, this)) return false;
    open_ = true;
  }
  ++users_;
  return true;
}

void Mixer::release() {
  std::lock_guard<std::mutex> guard(output_mutex_);
  if (users_ == 0) return;
  if (--users_ == 0 && open_) {
    backend::audio_close();
    open_ = false;
  }
}

void Mixer::add(Voice* voice) { voices_.push_back(voice); }

void Mixer::remove(Voice* voice) {
  voices_.erase(std::remove(voices_.begin(), voices_.end(), voice), voices_.end());
}

backend::AudioFormat Mixer::format() {
  std::lock_guard<std::mutex> guard(output_mutex_);
  return format_;
}

bool Mixer::set_format(const backend::AudioFormat& format) {
  std::lock_guard<std::mutex> guard(output_mutex_);
  if (format.rate == format_.rate && format.channels == format_.channels) return true;
  format_ = format;
  if (open_) backend::audio_close();  // the callback is not called after this
  {
    std::lock_guard<std::mutex> voices(mutex_);
    render_format_ = format_;
  }
  if (open_) open_ = backend::audio_open(format_, pull, this);
  return users_ == 0 || open_;
}

void Mixer::signal_stop(const Voice& voice, std::vector<HANDLE>& events) {
  for (const DSBPOSITIONNOTIFY& n : voice.notifications)
    if (n.dwOffset == DSBPN_OFFSETSTOP) events.push_back(n.hEventNotify);
}

void Mixer::render(int16_t* out, int frames) {
  if (frames <= 0) return;
  std::vector<HANDLE> events;
  {
    std::lock_guard<std::mutex> guard(mutex_);
    const int channels = render_format_.channels;
    const uint32_t rate = static_cast<uint32_t>(render_format_.rate);
    const size_t needed = static_cast<size_t>(frames) * 2;
    if (accumulator_.size() < needed) accumulator_.resize(needed);
    int32_t* acc = accumulator_.data();
    std::fill(acc, acc + needed, 0);
    // A buffer made without DSBCAPS_GLOBALFOCUS or DSBCAPS_STICKYFOCUS is
    // muted while the window lacks the focus; it goes on playing unheard.
    const bool focused = input_state::focused();
    for (Voice* v : voices_) {
      const bool heard = focused || (v->caps & (DSBCAPS_GLOBALFOCUS | DSBCAPS_STICKYFOCUS)) != 0;
      if (v->playing && !v->lost) mix_voice(*v, acc, frames, rate, heard, events);
    }
    if (channels == 2) {
      for (size_t i = 0; i < needed; ++i) out[i] = static_cast<int16_t>(std::clamp(acc[i], -32768, 32767));
    } else {
      for (int i = 0; i < frames; ++i)
        out[i] = static_cast<int16_t>(std::clamp((acc[2 * i] + acc[2 * i + 1]) >> 1, -32768, 32767));
    }
  }
  for (HANDLE e : events) SetEvent(e);
}

void Mixer::mix_voice(Voice& v, int32_t* acc, int frames, uint32_t out_rate, bool heard,
                      std::vector<HANDLE>& events) {
  const uint32_t n = v.frames;
  if (n == 0 || !v.memory) {
    v.playing = false;
    v.position = 0;
    signal_stop(v, events);
    return;
  }
  const uint8_t* data = v.memory->data();
  const uint64_t rate = v.frequency ? v.frequency : v.rate;
  const uint64_t step = std::max<uint64_t>((rate << 32) / out_rate, 1);
  const uint64_t end = static_cast<uint64_t>(n) << 32;
  const Kernels k = kernels_for(v);
  const int32_t gain_left = heard ? v.gain_left : 0;
  const int32_t gain_right = heard ? v.gain_right : 0;
  uint32_t from = v.play_cursor();
  uint64_t pos = v.position;
  int i = 0;

  // At or past the end: wraps a looping voice (true) or stops the other.
  auto at_end = [&]() {
    notify_range(v, from, v.bytes, events);
    if (!v.looping) {
      v.playing = false;
      pos = 0;
      signal_stop(v, events);
      return false;
    }
    if (pos >= 2 * end) notify_range(v, 0, v.bytes, events);  // a whole lap inside one step
    pos %= end;
    from = 0;
    return true;
  };

  while (i < frames) {
    if (pos >= end && !at_end()) break;
    const uint32_t idx = static_cast<uint32_t>(pos >> 32);
    if (idx + 1 < n) {
      const uint64_t limit = static_cast<uint64_t>(n - 1) << 32;
      const uint64_t fit = (limit - pos + step - 1) / step;
      const int count = static_cast<int>(std::min<uint64_t>(fit, static_cast<uint64_t>(frames - i)));
      pos = k.run(data, pos, step, count, acc + 2 * i, gain_left, gain_right);
      i += count;
    } else {
      k.edge(data, idx, v.looping ? 0 : idx, pos, acc + 2 * i, gain_left, gain_right);
      pos += step;
      ++i;
    }
  }
  if (v.playing && pos >= end) at_end();
  if (v.playing) notify_range(v, from, static_cast<uint32_t>(pos >> 32) * v.align, events);
  v.position = pos;
}

}  // namespace dsound

// The software mixer behind every DirectSound buffer of the process.
//
// One mixer serves all device objects: it opens the backend's audio output
// at the primary format while any device or buffer exists, and on the
// backend's audio thread sums every playing voice into it. Each voice is
// resampled to the output rate by linear interpolation (32.32 fixed-point
// stepping), scaled by its precomputed gains, summed in 32 bits and clipped.
// Samples of every stored type are taken at 16-bit scale: 8-bit ones moved up,
// wider ones cut to their top 16 bits, floats scaled by 32768 and clipped.
//
// A voice of a buffer made without DSBCAPS_GLOBALFOCUS or DSBCAPS_STICKYFOCUS
// is mixed at silence while the window lacks the focus, as the platform
// mutes it (its play cursor moves on).
//
// Voice state is shared between the program's thread and the audio thread
// and is only touched under the mixer's lock (Mixer::lock()). Notification
// events are set on the audio thread after the lock is released.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include <dsound.h>

#include "platform/backend.h"

namespace dsound {

// How a voice's samples are stored: unsigned 8-bit; signed little-endian 16-,
// 24- and 32-bit integers; 32-bit IEEE floats (full scale -1.0 to 1.0).
enum class SampleType : uint8_t { kU8, kS16, kS24, kS32, kF32 };

// One secondary buffer's playing state. Duplicates share `memory`.
struct Voice {
  std::shared_ptr<std::vector<uint8_t>> memory;
  uint32_t bytes = 0;     // buffer size
  uint32_t frames = 0;    // whole sample frames in it
  uint16_t channels = 1;  // 1 or 2
  SampleType sample = SampleType::kS16;
  uint16_t align = 2;     // bytes per frame
  uint32_t rate = 22050;  // the format's own rate
  DWORD caps = 0;

  bool playing = false;
  bool looping = false;
  bool lost = false;
  uint64_t position = 0;  // play position in frames, 32.32 fixed point

  DWORD frequency = 0;  // 0: the format's rate
  LONG volume = DSBVOLUME_MAX;
  LONG pan = DSBPAN_CENTER;
  int32_t gain_left = 32768;  // 1.0 = 32768
  int32_t gain_right = 32768;

  std::vector<DSBPOSITIONNOTIFY> notifications;  // sorted by offset

  uint32_t play_cursor() const { return static_cast<uint32_t>(position >> 32) * align; }
};

// Recomputes the voice's gains from its volume and pan.
void update_gains(Voice& voice);

class Mixer {
 public:
  static Mixer& instance();

  // Devices and buffers hold the mixer while they exist; the first opens the
  // output, the last closes it. acquire() is false when no output opens.
  bool acquire();
  void release();

  std::unique_lock<std::mutex> lock() { return std::unique_lock<std::mutex>(mutex_); }
  // Both under lock().
  void add(Voice* voice);
  void remove(Voice* voice);

  // The output format (the primary buffer's); changing it reopens the output.
  backend::AudioFormat format();
  bool set_format(const backend::AudioFormat& format);

  // Mixes `frames` frames of the output format into `out`, then sets the
  // events whose offsets the play cursors passed. The audio pull callback.
  void render(int16_t* out, int frames);

  // Sets the DSBPN_OFFSETSTOP events of a voice stopped by the program.
  static void signal_stop(const Voice& voice, std::vector<HANDLE>& events);

 private:
  Mixer() = default;
  // `heard`: false mixes the voice at silence (it plays on, unheard).
  void mix_voice(Voice& voice, int32_t* acc, int frames, uint32_t out_rate, bool heard,
                 std::vector<HANDLE>& events);

  std::mutex mutex_;  // voices and their state
  std::vector<Voice*> voices_;
  std::vector<int32_t> accumulator_;
  backend::AudioFormat render_format_{22050, 2};  // the open output's, under mutex_

  std::mutex output_mutex_;  // users, format and the backend output
  int users_ = 0;
  bool open_ = false;
  backend::AudioFormat format_{22050, 2};
};

}  // namespace dsound

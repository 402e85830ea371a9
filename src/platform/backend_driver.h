// The small table a backend fills for the parts of the seam that every
// backend shares. The core (backend_core.cpp) implements backend::audio_open,
// backend::audio_close and backend::debug_output once over it: the checks
// of the audio format, one output open at a time, the silent fallback when
// there is no audio device (and its one line on the debugger output), the
// close of an output still open when the process ends, and the writing of
// debugger text to file descriptor 2. See "Adding a backend" in backend.h.
#pragma once

#include <cstddef>
#include <string>

#include "platform/backend.h"

namespace backend {

struct Driver {
  // Names the backend at the start of the core's lines ("SDL: no audio ...").
  const char* name;

  // Opens the machine's audio output at `format` (already checked: rate
  // above 0, 1 or 2 channels) and starts pulling `pull` on a thread of the
  // backend's. False, with the reason in `why`, when there is no device.
  bool (*open_audio_device)(const AudioFormat& format, AudioPull pull, void* user, std::string& why);
  // Stops what open_audio_device started; `pull` is never called after it.
  void (*close_audio_device)();

  // A silent output of the backend's own, taken when there is no device:
  // pulls as the backend's clock runs and drops the samples. Null for the
  // core's, which pulls at the real rate on a thread of its own.
  bool (*open_silent_audio)(const AudioFormat& format, AudioPull pull, void* user);
  void (*close_silent_audio)();

  // Sees all debugger output first; returns whether the core should also
  // write it to file descriptor 2. Null: always written.
  bool (*see_debug_text)(const char* text, size_t length);
};

// The driver of the backend the program was linked with.
extern const Driver kDriver;

}  // namespace backend

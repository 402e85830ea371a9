// A scriptable DirectSound device and buffers for exact tests of the sound
// library: buffers hold real memory (duplicates share it), report the status,
// restore results, play cursor and failures a test sets, and record what the
// library asked of them. The test owns every object; Release only counts.
#pragma once

#include <dsound.h>

#include <algorithm>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace fake {

struct Buffer final : IDirectSoundBuffer {
  std::shared_ptr<std::vector<BYTE>> memory;
  ULONG refs = 1;
  DWORD status = 0;
  std::deque<HRESULT> restore_results;  // answers of Restore, then DS_OK
  std::deque<DWORD> play_cursors;       // answers of GetCurrentPosition
  HRESULT status_result = DS_OK, lock_result = DS_OK, stop_result = DS_OK, play_result = DS_OK;
  HRESULT cursor_result = DS_OK, set_position_result = DS_OK;
  bool split_lock = false;  // Lock hands out a second region
  int locked = 0;           // locks not yet unlocked
  int restores = 0;
  std::vector<std::string> calls;  // "SetVolume", "SetPan", "SetFrequency", "Play", "Stop", ...
  LONG volume = 0, pan = 0;
  DWORD frequency = 22050, play_priority = 0, play_flags = 0;

  explicit Buffer(DWORD bytes) : memory(std::make_shared<std::vector<BYTE>>(bytes, 0xEE)) {}

  HRESULT QueryInterface(REFIID riid, void** out) override;
  ULONG AddRef() override { return ++refs; }
  ULONG Release() override { return --refs; }
  HRESULT GetCurrentPosition(LPDWORD play, LPDWORD write) override {
    if (play) *play = play_cursors.empty() ? 0 : play_cursors.front();
    if (!play_cursors.empty()) play_cursors.pop_front();
    if (write) *write = 0;
    return cursor_result;
  }
  HRESULT GetFrequency(LPDWORD f) override {
    *f = frequency;
    return DS_OK;
  }
  HRESULT GetStatus(LPDWORD s) override {
    *s = status;
    return status_result;
  }
  HRESULT Lock(DWORD offset, DWORD bytes, LPVOID* p1, LPDWORD n1, LPVOID* p2, LPDWORD n2, DWORD) override {
    if (FAILED(lock_result)) return lock_result;
    ++locked;
    const DWORD size = static_cast<DWORD>(memory->size());
    *p1 = memory->data() + offset;
    *n1 = std::min(bytes, size - offset);
    if (p2) *p2 = split_lock ? memory->data() : nullptr;
    if (n2) *n2 = split_lock ? 1 : 0;
    return DS_OK;
  }
  HRESULT Play(DWORD, DWORD priority, DWORD flags) override {
    calls.push_back("Play");
    play_priority = priority;
    play_flags = flags;
    return play_result;
  }
  HRESULT SetCurrentPosition(DWORD) override {
    calls.push_back("SetCurrentPosition");
    return set_position_result;
  }
  HRESULT SetFormat(LPCWAVEFORMATEX f) override {
    format = *f;
    return DS_OK;
  }
  HRESULT SetVolume(LONG v) override {
    calls.push_back("SetVolume");
    volume = v;
    return DS_OK;
  }
  HRESULT SetPan(LONG p) override {
    calls.push_back("SetPan");
    pan = p;
    return DS_OK;
  }
  HRESULT SetFrequency(DWORD f) override {
    calls.push_back("SetFrequency");
    frequency = f;
    return DS_OK;
  }
  HRESULT Stop() override {
    calls.push_back("Stop");
    return stop_result;
  }
  HRESULT Unlock(LPVOID, DWORD, LPVOID, DWORD) override {
    --locked;
    return DS_OK;
  }
  HRESULT Restore() override {
    ++restores;
    if (restore_results.empty()) {
      status &= ~DSBSTATUS_BUFFERLOST;
      return DS_OK;
    }
    HRESULT hr = restore_results.front();
    restore_results.pop_front();
    return hr;
  }
  // Loses the buffer as the platform would: memory gone, lost bit set.
  void Lose() {
    std::fill(memory->begin(), memory->end(), 0x55);
    status |= DSBSTATUS_BUFFERLOST;
  }
  std::vector<BYTE> Bytes(size_t from, size_t count) const {
    return std::vector<BYTE>(memory->begin() + from, memory->begin() + from + count);
  }

  WAVEFORMATEX format{};
  struct Notify* notify = nullptr;
};

struct Notify final : IDirectSoundNotify {
  ULONG refs = 0;
  HRESULT result = DS_OK;
  std::vector<DSBPOSITIONNOTIFY> positions;
  HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG AddRef() override { return ++refs; }
  ULONG Release() override { return --refs; }
  HRESULT SetNotificationPositions(DWORD n, LPCDSBPOSITIONNOTIFY p) override {
    positions.assign(p, p + n);
    return result;
  }
};

inline HRESULT Buffer::QueryInterface(REFIID riid, void** out) {
  if (riid == IID_IDirectSoundNotify && notify != nullptr) {
    notify->AddRef();
    *out = notify;
    return DS_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

struct Device final : IDirectSound8 {
  std::vector<std::unique_ptr<Buffer>> buffers;  // every buffer made, in order
  std::vector<DSBUFFERDESC> descs;               // every CreateSoundBuffer description
  std::vector<bool> duplicated;                  // per buffer: made by DuplicateSoundBuffer
  Notify notify;
  std::deque<HRESULT> create_results;  // answers of CreateSoundBuffer, then DS_OK
  HRESULT duplicate_result = DS_OK;

  HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG AddRef() override { return 1; }
  ULONG Release() override { return 1; }
  HRESULT CreateSoundBuffer(LPCDSBUFFERDESC d, LPDIRECTSOUNDBUFFER* out, LPUNKNOWN) override {
    descs.push_back(*d);
    HRESULT hr = DS_OK;
    if (!create_results.empty()) {
      hr = create_results.front();
      create_results.pop_front();
    }
    if (FAILED(hr)) return hr;
    *out = Add(d->dwBufferBytes, false);
    if (d->dwFlags & DSBCAPS_CTRLPOSITIONNOTIFY) buffers.back()->notify = &notify;
    return hr;
  }
  HRESULT DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER original, LPDIRECTSOUNDBUFFER* out) override {
    if (FAILED(duplicate_result)) return duplicate_result;
    Buffer* b = Add(0, true);
    b->memory = static_cast<Buffer*>(original)->memory;
    *out = b;
    return DS_OK;
  }
  HRESULT SetCooperativeLevel(HWND, DWORD) override { return DS_OK; }

  Buffer* Add(DWORD bytes, bool dup) {
    buffers.push_back(std::make_unique<Buffer>(bytes));
    duplicated.push_back(dup);
    return buffers.back().get();
  }
  ULONG LiveRefs() const {
    ULONG n = 0;
    for (auto& b : buffers) n += b->refs;
    return n;
  }
};

}  // namespace fake

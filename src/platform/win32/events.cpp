// Win32 event objects: CreateEventA, SetEvent, ResetEvent,
// WaitForSingleObject, CloseHandle. Safe from any thread; waits are in real
// time on either backend. A handle is a number that is never reused, so a
// closed handle stays invalid.
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>

#include "platform/backend.h"
#include "platform/fault_points.h"
#include "windows.h"

namespace {

struct Event {
  std::mutex mutex;
  std::condition_variable changed;
  bool manual_reset = false;
  bool signalled = false;
};

std::mutex g_mutex;
std::map<uintptr_t, std::shared_ptr<Event>> g_events;
uintptr_t g_next = 0x10000;

std::shared_ptr<Event> find(HANDLE handle) {
  std::lock_guard lock(g_mutex);
  auto it = g_events.find(reinterpret_cast<uintptr_t>(handle));
  return it == g_events.end() ? nullptr : it->second;
}

}  // namespace

HANDLE WINAPI CreateEventA(LPSECURITY_ATTRIBUTES, BOOL bManualReset, BOOL bInitialState, LPCSTR) {
  if (fault_point::fails(fault_point::kCreateEventA)) return nullptr;
  auto event = std::make_shared<Event>();
  event->manual_reset = bManualReset != FALSE;
  event->signalled = bInitialState != FALSE;
  std::lock_guard lock(g_mutex);
  const uintptr_t handle = g_next;
  g_next += 4;
  g_events.emplace(handle, std::move(event));
  return reinterpret_cast<HANDLE>(handle);
}

BOOL WINAPI SetEvent(HANDLE hEvent) {
  std::shared_ptr<Event> event = find(hEvent);
  if (!event) return FALSE;
  {
    std::lock_guard lock(event->mutex);
    event->signalled = true;
  }
  event->changed.notify_all();
  return TRUE;
}

BOOL WINAPI ResetEvent(HANDLE hEvent) {
  std::shared_ptr<Event> event = find(hEvent);
  if (!event) return FALSE;
  std::lock_guard lock(event->mutex);
  event->signalled = false;
  return TRUE;
}

DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
  std::shared_ptr<Event> event = find(hHandle);
  if (!event) return WAIT_FAILED;
  std::unique_lock lock(event->mutex);
  auto ready = [&] { return event->signalled; };
  if (dwMilliseconds == INFINITE) {
    event->changed.wait(lock, ready);
  } else if (!event->changed.wait_for(lock, std::chrono::milliseconds(dwMilliseconds), ready)) {
    return WAIT_TIMEOUT;
  }
  if (!event->manual_reset) event->signalled = false;
  return WAIT_OBJECT_0;
}

BOOL WINAPI CloseHandle(HANDLE hObject) {
  std::lock_guard lock(g_mutex);
  return g_events.erase(reinterpret_cast<uintptr_t>(hObject)) ? TRUE : FALSE;
}

// Win32 kernel stand-in: tick count, sleep, module handle, debugger output,
// debugger break and message boxes, all on the backend of platform/backend.h.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/backend.h"
#include "platform/win32/windows_internal.h"
#include "windows.h"

namespace {

// The program's module handle: any fixed non-null value will do.
struct ModuleTag {
  int unused;
} g_module;

// Wide text to UTF-8; wchar_t is UTF-32 here.
std::string narrow(LPCWSTR text) {
  std::string out;
  if (!text) return out;
  for (; *text; ++text) {
    uint32_t c = static_cast<uint32_t>(*text);
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

int message_box(const char* text, const char* caption, UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_YESNO:
      return backend::message_box_yes_no(caption ? caption : "Error", text ? text : "") ? IDYES : IDNO;
    default: {
      // Only Yes/No boxes are shown; others are written down and answered
      // with their first button.
      std::string line = "MessageBox: ";
      line += caption ? caption : "";
      line += ": ";
      line += text ? text : "";
      line += "\n";
      backend::debug_output(line.c_str());
      switch (type & MB_TYPEMASK) {
        case MB_ABORTRETRYIGNORE:
          return IDABORT;
        case MB_YESNOCANCEL:
          return IDYES;
        case MB_RETRYCANCEL:
          return IDRETRY;
        default:
          return IDOK;
      }
    }
  }
}

}  // namespace

// The tick count advances as the platform's does, with its system timer:
// every 15.625 ms (64 times a second, the timer's default, which a program
// that never asks for another resolution keeps), counted over the backend's
// 64-bit microsecond clock, on which a step is a whole 15,625, and wrapped
// to 32 bits only at the end (2^32 ms is not a whole number of steps). A thread that keeps reading it within
// one step is polling: from its ninth read in a row of one step on, the read sleeps to the next step and
// gives that one, so a program that waits by polling the count gives the processor back (about 64 wake-ups a
// second) and every answer is still the true count. A few reads a step cost nothing: a program stamping what
// it does in a frame reads several times before it waits, and a read right after a wait (the first two of a
// step) never sleeps.
namespace {

constexpr uint64_t kStepUs = 15625;
constexpr int kFreeReads = 8;

thread_local uint64_t t_step = UINT64_MAX;  // the step of this thread's last read
thread_local int t_reads = 0;               // its reads in a row that gave that step

}  // namespace

DWORD WINAPI GetTickCount(VOID) {
  uint64_t step = backend::clock_us() / kStepUs;
  while (step == t_step && t_reads >= kFreeReads) {
    backend::sleep_until_us((step + 1) * kStepUs);
    step = backend::clock_us() / kStepUs;
  }
  t_reads = step == t_step ? t_reads + 1 : 1;
  t_step = step;
  return static_cast<DWORD>(step * kStepUs / 1000);
}

VOID WINAPI Sleep(DWORD dwMilliseconds) {
  backend::sleep_until_us(backend::clock_us() + uint64_t{dwMilliseconds} * 1000);
}

HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName) {
  if (lpModuleName != nullptr) return nullptr;  // no other modules are loaded
  return reinterpret_cast<HMODULE>(&g_module);
}

VOID WINAPI OutputDebugStringA(LPCSTR lpOutputString) {
  if (lpOutputString) backend::debug_output(lpOutputString);
}

VOID WINAPI OutputDebugStringW(LPCWSTR lpOutputString) {
  if (lpOutputString) backend::debug_output(narrow(lpOutputString).c_str());
}

namespace win32_internal {

bool debugger_attached() {
  std::FILE* f = std::fopen("/proc/self/status", "r");
  if (!f) return false;
  char line[256];
  bool attached = false;
  while (std::fgets(line, sizeof line, f)) {
    if (std::strncmp(line, "TracerPid:", 10) == 0) {
      attached = std::atoi(line + 10) != 0;
      break;
    }
  }
  std::fclose(f);
  return attached;
}

}  // namespace win32_internal

VOID WINAPI DebugBreak(VOID) {
  if (win32_internal::debugger_attached()) std::raise(SIGTRAP);
}

int WINAPI MessageBoxA(HWND, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
  return message_box(lpText, lpCaption, uType);
}

int WINAPI MessageBoxW(HWND, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType) {
  const std::string text = narrow(lpText);
  const std::string caption = narrow(lpCaption);
  return message_box(text.c_str(), lpCaption ? caption.c_str() : nullptr, uType);
}

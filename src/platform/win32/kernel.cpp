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

DWORD WINAPI GetTickCount(VOID) { return backend::ticks_ms(); }

VOID WINAPI Sleep(DWORD dwMilliseconds) { backend::sleep_ms(dwMilliseconds); }

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

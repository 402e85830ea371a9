// Shared set-up of the platform tests: a fresh headless backend and a fresh
// win32 state for every test, and the game's window made the game's way.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/win32/windows_internal.h"
#include "windows.h"

namespace platform_test {

// Every message the test window procedure received, in order.
inline std::vector<UINT>& received() {
  static std::vector<UINT> messages;
  return messages;
}

inline LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  received().push_back(message);
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

inline ATOM register_class(WNDPROC procedure = window_procedure) {
  WNDCLASSEXA wc;
  wc.cbSize = sizeof(WNDCLASSEXA);
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = procedure;
  wc.cbClsExtra = 0;
  wc.cbWndExtra = 0;
  wc.hInstance = GetModuleHandleA(NULL);
  wc.hIcon = NULL;
  wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
  wc.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
  wc.lpszMenuName = NULL;
  wc.lpszClassName = "Quarrelo";
  wc.hIconSm = NULL;
  return RegisterClassExA(&wc);
}

inline HWND create_window() {
  return CreateWindowExA(0, "Quarrelo", "Quarrelo", WS_POPUP | WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, 800,
                         600, NULL, NULL, GetModuleHandleA(NULL), NULL);
}

// Presents one black 800x600 frame (so scheduled events of the next frame
// become due).
inline void present_frame() {
  static std::vector<uint32_t> pixels(800 * 600, 0);
  backend::present(pixels.data(), 800, 600, 800 * 4, false);
}

// Drains the queue, dispatching everything; returns the messages taken.
inline std::vector<UINT> pump_messages() {
  std::vector<UINT> taken;
  MSG msg;
  while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
    taken.push_back(msg.message);
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    if (msg.message == WM_QUIT) break;
  }
  return taken;
}

class PlatformTest : public ::testing::Test {
 protected:
  void SetUp() override {
    headless::reset();
    headless::echo_debug_output(false);
    win32_internal::reset_for_tests();
    received().clear();
  }
  void TearDown() override {
    win32_internal::reset_for_tests();
    headless::reset();
  }
};

}  // namespace platform_test

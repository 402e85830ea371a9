// A small program on the SDL backend for the Xvfb test: opens the window
// the game's way, goes full screen, presents a frame of four coloured
// quarters, waits for the focus, acquires the keyboard through DirectInput
// and prints the DirectInput code of the first key that goes down.
//
// Protocol (stdout, one line each): "presented", "acquired", "key 0xNN".
// Exits 0 after a key, 2 when nothing comes within 60 s.
#include <cstdio>
#include <vector>

#include "dinput.h"
#include "platform/backend.h"
#include "windows.h"

namespace {

LRESULT CALLBACK Probe_Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void say(const char* line) {
  std::printf("%s\n", line);
  std::fflush(stdout);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = Probe_Procedure;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
  wc.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
  wc.lpszClassName = "QuarreloProbe";
  RegisterClassExA(&wc);
  HWND window = CreateWindowExA(0, "QuarreloProbe", "QuarreloProbe", WS_POPUP | WS_VISIBLE, CW_USEDEFAULT,
                                CW_USEDEFAULT, 800, 600, NULL, NULL, instance, NULL);
  if (!window) return 1;
  ShowWindow(window, show);
  UpdateWindow(window);
  backend::window_set_fullscreen(true);

  // Quarters: red, green / blue, white.
  std::vector<uint32_t> pixels(800 * 600);
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x)
      pixels[y * 800 + x] = y < 300 ? (x < 400 ? 0xFF0000 : 0x00FF00) : (x < 400 ? 0x0000FF : 0xFFFFFF);

  LPDIRECTINPUT8 dinput = nullptr;
  LPDIRECTINPUTDEVICE8 keyboard = nullptr;
  if (DirectInput8Create(GetModuleHandleA(NULL), DIRECTINPUT_VERSION, IID_IDirectInput8A, (void**)&dinput,
                         NULL) != DI_OK ||
      dinput->CreateDevice(GUID_SysKeyboard, &keyboard, NULL) != DI_OK ||
      keyboard->SetDataFormat(&c_dfDIKeyboard) != DI_OK ||
      keyboard->SetCooperativeLevel(window, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND) != DI_OK)
    return 1;

  bool presented = false, acquired = false;
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < 60000) {
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) return 3;
      DispatchMessageA(&msg);
    }
    backend::present(pixels.data(), 800, 600, 800 * 4, false);
    if (!presented) {
      presented = true;
      Sleep(300);  // let the window system settle before the screenshot
      backend::present(pixels.data(), 800, 600, 800 * 4, false);
      say("presented");
    }
    if (!acquired && keyboard->Acquire() == DI_OK) {
      acquired = true;
      say("acquired");
    }
    if (acquired) {
      BYTE keys[256];
      if (keyboard->GetDeviceState(sizeof keys, keys) == DI_OK) {
        for (int code = 1; code < 256; ++code)
          if (keys[code] & 0x80) {
            char line[32];
            std::snprintf(line, sizeof line, "key 0x%02X", code);
            say(line);
            keyboard->Unacquire();
            keyboard->Release();
            dinput->Release();
            DestroyWindow(window);
            return 0;
          }
      } else {
        acquired = false;
      }
    }
    Sleep(10);
  }
  return 2;
}

// The window class and the window procedure with the shutdown sequence.
#include <iostream>

#include "game/game.h"
#include "graphics/graphics.h"
#include "input/input.h"
#include "shell/window.h"

ATOM Register_WindowClass(HINSTANCE instance) {
  WNDCLASSEXA wc;
  wc.cbSize = sizeof(WNDCLASSEXA);
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = Window_Procedure;
  wc.cbClsExtra = 0;
  wc.cbWndExtra = 0;
  wc.hInstance = instance;
  wc.hIcon = NULL;
  wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
  wc.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
  wc.lpszMenuName = NULL;
  wc.lpszClassName = "Quarrelo";
  wc.hIconSm = NULL;
  return RegisterClassExA(&wc);
}

// Releases the graphics and input objects and the game's assets. The game's
// posted WM_DESTROY may be followed by the window system's own before
// WM_QUIT is taken; the second finds everything already released.
static void Shut_Down(HWND window) {
  static bool done = false;
  if (done) return;
  done = true;

  if (d3d_device) {
    d3d_device->Release();
    std::cerr << "Direct3D Device Released\n";
  }
  if (d3d_object) {
    d3d_object->Release();
    std::cerr << "Direct3D Object Released\n";
  }
  if (sprite_handler) {
    sprite_handler->Release();
    std::cerr << "Sprite Handler Released\n";
  }
  Release_Keyboard();
  Release_Mouse();
  if (dinput_object) {
    dinput_object->Release();
    std::cerr << "DirectInput Object Released\n";
  }
  Game_Shutdown(window);
}

LRESULT CALLBACK Window_Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_DESTROY) return DefWindowProcA(window, message, wParam, lParam);
  Shut_Down(window);
  PostQuitMessage(0);
  return 0;
}

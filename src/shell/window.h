// The game's window class and window procedure.
#pragma once

#include <windows.h>

// Registers the class "Quarrelo" (pop-up game window, black background,
// arrow cursor) for the program instance; the class atom or 0.
ATOM Register_WindowClass(HINSTANCE instance);
// Hands every message to the default processing, except WM_DESTROY, which
// runs the shutdown sequence once and asks the message loop to end.
LRESULT CALLBACK Window_Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

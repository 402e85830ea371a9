// The step of each game screen, chosen by gameState.
#pragma once

#include <windows.h>

// Runs this frame's step of the current screen: the duel, the menu, a
// banner, the new-bout frame, help or credits. `window` receives the quit
// request from the menu.
void Screen_Step(HWND window);

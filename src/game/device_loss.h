// Presenting the frame, and getting the game back after the device was lost
// (the player switched away from the full-screen game).
#pragma once

#include <windows.h>

// Presents the frame drawn; a Present that fails makes the next frames ask
// Restore_Device before they run. The first Present that succeeds after a
// loss writes "Direct3D device reset\n" to the run log.
void Present_Frame();

// 1 when the frame may run: no Present failed, or the device works again
// (reset, with the images reloaded). 0 while the device is lost or its reset
// failed: the game pauses this frame and asks again on the next. Writes
// "Direct3D device lost\n" when it first finds the loss, and
// "Direct3D device Reset failed\n" at the first failed reset of a loss. A
// device that reports a fault other than the loss writes
// "Direct3D device failed\n" and has `window` ended (WM_DESTROY), as the
// menu's Quit does.
int Restore_Device(HWND window);

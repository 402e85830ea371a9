// What the win32 family's window module offers the rest of the platform
// stand-in. Platform-internal.
#pragma once

#include "windows.h"

namespace win32_internal {

// True for a window that exists (created and not yet destroyed).
bool is_window(HWND window);
// The one window, or NULL.
HWND current_window();
// The window manager asked to close the window: posts WM_CLOSE to it.
void close_requested();
// Forgets every window class, window, queued message and the quit request,
// and resets the input state and the embedded-block registry, without
// calling any window procedure (tests that run several scenarios in one
// process; pair with headless::reset()).
void reset_for_tests();

// True when a debugger is attached to the process (DebugBreak stops only then).
bool debugger_attached();

}  // namespace win32_internal

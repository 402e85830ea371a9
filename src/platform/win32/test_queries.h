// What the win32 stand-in lets a test watch. For tests only; the program
// never includes this header.
#pragma once

#include <functional>

#include "windows.h"

namespace win32_test {

// Called by DispatchMessageA with every message it is given (WM_QUIT and
// messages of no window included), before the window procedure sees it. A
// test may post messages from here. Empty: none.
void on_dispatch(std::function<void(const MSG&)> watcher);

}  // namespace win32_test

// Stand-in for the Win32 API the program calls: windows and the thread's
// message queue, tick count and sleep, rectangles, debugger output, message
// boxes, embedded data blocks and events.
#pragma once

#include "wintypes.h"

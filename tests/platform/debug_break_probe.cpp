// Calls DebugBreak once and prints "after" when it goes on: run alone it
// must go straight on; under a debugger it must stop there (SIGTRAP).
#include <cstdio>

#include "windows.h"

int main() {
  DebugBreak();
  std::printf("after\n");
  return 0;
}

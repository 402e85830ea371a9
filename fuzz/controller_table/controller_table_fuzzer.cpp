// Reads arbitrary bytes as the controllers' key table, the way a player's own
// controllers.txt is read. Nothing may crash or read out of bounds, and a
// fault is named with its line ("line N: ...").
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/pads/key_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  key_table::Table table;
  std::string error;
  if (key_table::parse(std::string_view(reinterpret_cast<const char*>(data), size), table, error)) return 0;
  if (error.rfind("line ", 0) != 0 || std::atoi(error.c_str() + 5) < 1) std::abort();
  return 0;
}

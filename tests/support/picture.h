// A picture as the tests hold it: rows packed, one 32-bit pixel each,
// 0xAARRGGBB (0x00RRGGBB where there is no alpha, as in a frame shown).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

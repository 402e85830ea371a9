// Embedded data blocks (FindResourceA and the rest of <windows.h>): the
// program carries none, so the registry is empty in the game. Tests register
// blocks here. Platform-internal.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace win32_resources {

// Adds (or replaces) the block `name` of type `type`, e.g. ("WAVE", "hit.wav").
// Names and types compare without regard to letter case.
void add(const std::string& type, const std::string& name, std::vector<uint8_t> bytes);
// Empties the registry. Handles given out before become invalid.
void clear();

}  // namespace win32_resources

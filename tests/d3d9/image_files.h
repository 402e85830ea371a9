// Test images written with SDL into a temporary folder: BMP of 8, 24 and 32
// bits, PNG with alpha, JPEG, and damaged copies of any of them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "picture.h"

void write_png(const std::string& file, const Picture& picture);
void write_jpg(const std::string& file, const Picture& picture, int quality);
void write_bmp24(const std::string& file, const Picture& picture);
// Alpha kept through a 32-bit BMP with an alpha mask.
void write_bmp32_with_alpha(const std::string& file, const Picture& picture);
// A plain 32-bit BMP (no masks) whose fourth byte is 0, as most tools write.
void write_bmp32_plain(const std::string& file, const Picture& picture);
// Palette entries are 0x00RRGGBB; `indices` hold one byte per pixel.
void write_bmp8(const std::string& file, int width, int height, const std::vector<uint32_t>& palette,
                const std::vector<uint8_t>& indices);

std::string read_bytes(const std::string& file);
void write_bytes(const std::string& file, const std::string& bytes);

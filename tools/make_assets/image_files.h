// Writing finished pictures: BMP through SDL, PNG and JPEG through SDL2_image.
// Every file is written as 24-bit RGB; alpha is dropped, so sprites are keyed
// (KeyOut) before they are saved.
#pragma once

#include <string>

#include "canvas.h"

namespace assets {

bool SaveBmp(const Image& picture, const std::string& path);
bool SavePng(const Image& picture, const std::string& path);
bool SaveJpeg(const Image& picture, const std::string& path);

}  // namespace assets

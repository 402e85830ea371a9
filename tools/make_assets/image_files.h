// Writing finished pictures: BMP through SDL, PNG and JPEG through SDL2_image.
// The game's files are written as 24-bit RGB; alpha is dropped, so sprites are
// keyed (KeyOut) before they are saved. Icons keep their alpha (SavePngWithAlpha).
#pragma once

#include <string>

#include "canvas.h"

namespace assets {

bool SaveBmp(const Image& picture, const std::string& path);
bool SavePng(const Image& picture, const std::string& path);
bool SaveJpeg(const Image& picture, const std::string& path);
bool SavePngWithAlpha(const Image& picture, const std::string& path);

}  // namespace assets

// Image files read through SDL2_image, independently of the platform
// stand-in's own loaders, for checks of what those loaders and the screen
// give. A test that includes this links SDL2_image.
#pragma once

#include <SDL.h>
#include <SDL_image.h>

#include <string>

#include "picture.h"

// The picture in the file as 0xAARRGGBB pixels (opaque where the file has no
// alpha); an empty picture (width 0) when it cannot be read.
inline Picture ReadPicture(const std::string& path) {
  Picture picture;
  SDL_Surface* loaded = IMG_Load(path.c_str());
  if (loaded == nullptr) return picture;
  SDL_Surface* argb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(loaded);
  if (argb == nullptr) return picture;
  picture.width = argb->w;
  picture.height = argb->h;
  for (int y = 0; y < argb->h; ++y) {
    const auto* row =
        reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(argb->pixels) + y * argb->pitch);
    picture.pixels.insert(picture.pixels.end(), row, row + argb->w);
  }
  SDL_FreeSurface(argb);
  return picture;
}

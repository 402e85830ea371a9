#include "image_files.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstdio>
#include <cstring>

namespace assets {

// Bytes per pixel 3 (RGB) or 4 (RGBA, straight alpha).
static SDL_Surface* ToSurface(const Image& picture, int bytes) {
  SDL_Surface* s =
      SDL_CreateRGBSurfaceWithFormat(0, picture.width, picture.height, bytes * 8,
                                     bytes == 4 ? SDL_PIXELFORMAT_RGBA32 : SDL_PIXELFORMAT_RGB24);
  if (!s) return nullptr;
  for (int y = 0; y < picture.height; ++y) {
    uint8_t* row = static_cast<uint8_t*>(s->pixels) + y * s->pitch;
    for (int x = 0; x < picture.width; ++x) {
      const Rgba& p = picture.at(x, y);
      row[x * bytes + 0] = p.r;
      row[x * bytes + 1] = p.g;
      row[x * bytes + 2] = p.b;
      if (bytes == 4) row[x * bytes + 3] = p.a;
    }
  }
  return s;
}

template <typename Writer>
static bool Save(const Image& picture, const std::string& path, Writer write, int bytes = 3) {
  SDL_Surface* s = ToSurface(picture, bytes);
  const bool ok = s && write(s, path.c_str()) == 0;
  if (!ok) std::fprintf(stderr, "make_assets: cannot write %s: %s\n", path.c_str(), SDL_GetError());
  SDL_FreeSurface(s);
  return ok;
}

bool SaveBmp(const Image& picture, const std::string& path) {
  return Save(picture, path, [](SDL_Surface* s, const char* file) { return SDL_SaveBMP(s, file); });
}

bool SavePng(const Image& picture, const std::string& path) {
  return Save(picture, path, [](SDL_Surface* s, const char* file) { return IMG_SavePNG(s, file); });
}

bool SaveJpeg(const Image& picture, const std::string& path) {
  return Save(picture, path, [](SDL_Surface* s, const char* file) { return IMG_SaveJPG(s, file, 92); });
}

bool SavePngWithAlpha(const Image& picture, const std::string& path) {
  return Save(
      picture, path, [](SDL_Surface* s, const char* file) { return IMG_SavePNG(s, file); }, 4);
}

}  // namespace assets

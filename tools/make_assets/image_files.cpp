#include "image_files.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstdio>
#include <cstring>

namespace assets {

static SDL_Surface* ToSurface(const Image& picture) {
  SDL_Surface* s =
      SDL_CreateRGBSurfaceWithFormat(0, picture.width, picture.height, 24, SDL_PIXELFORMAT_RGB24);
  if (!s) return nullptr;
  for (int y = 0; y < picture.height; ++y) {
    uint8_t* row = static_cast<uint8_t*>(s->pixels) + y * s->pitch;
    for (int x = 0; x < picture.width; ++x) {
      const Rgba& p = picture.at(x, y);
      row[x * 3 + 0] = p.r;
      row[x * 3 + 1] = p.g;
      row[x * 3 + 2] = p.b;
    }
  }
  return s;
}

template <typename Writer>
static bool Save(const Image& picture, const std::string& path, Writer write) {
  SDL_Surface* s = ToSurface(picture);
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

}  // namespace assets

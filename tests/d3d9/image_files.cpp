#include "image_files.h"

#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

SDL_Surface* argb_surface(const Picture& picture) {
  SDL_Surface* surface =
      SDL_CreateRGBSurfaceWithFormat(0, picture.width, picture.height, 32, SDL_PIXELFORMAT_ARGB8888);
  if (surface == nullptr) throw std::runtime_error(SDL_GetError());
  for (int y = 0; y < picture.height; ++y) {
    std::memcpy(static_cast<char*>(surface->pixels) + y * surface->pitch, &picture.pixels[y * picture.width],
                picture.width * 4);
  }
  return surface;
}

void put_le(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

void write_png(const std::string& file, const Picture& picture) {
  SDL_Surface* surface = argb_surface(picture);
  ASSERT_EQ(IMG_SavePNG(surface, file.c_str()), 0) << SDL_GetError();
  SDL_FreeSurface(surface);
}

void write_jpg(const std::string& file, const Picture& picture, int quality) {
  SDL_Surface* surface = argb_surface(picture);
  ASSERT_EQ(IMG_SaveJPG(surface, file.c_str(), quality), 0) << SDL_GetError();
  SDL_FreeSurface(surface);
}

void write_bmp24(const std::string& file, const Picture& picture) {
  SDL_Surface* surface = argb_surface(picture);
  SDL_Surface* rgb = SDL_ConvertSurfaceFormat(surface, SDL_PIXELFORMAT_BGR24, 0);
  ASSERT_NE(rgb, nullptr);
  ASSERT_EQ(SDL_SaveBMP(rgb, file.c_str()), 0) << SDL_GetError();
  SDL_FreeSurface(rgb);
  SDL_FreeSurface(surface);
}

void write_bmp32_with_alpha(const std::string& file, const Picture& picture) {
  SDL_Surface* surface = argb_surface(picture);
  ASSERT_EQ(SDL_SaveBMP(surface, file.c_str()), 0) << SDL_GetError();
  SDL_FreeSurface(surface);
}

void write_bmp32_plain(const std::string& file, const Picture& picture) {
  const uint32_t image_bytes = static_cast<uint32_t>(picture.width * picture.height * 4);
  std::string out = "BM";
  put_le(out, 54 + image_bytes, 4);
  put_le(out, 0, 4);
  put_le(out, 54, 4);
  put_le(out, 40, 4);  // BITMAPINFOHEADER
  put_le(out, static_cast<uint32_t>(picture.width), 4);
  put_le(out, static_cast<uint32_t>(picture.height), 4);  // bottom-up
  put_le(out, 1, 2);
  put_le(out, 32, 2);
  put_le(out, 0, 4);  // BI_RGB
  put_le(out, image_bytes, 4);
  put_le(out, 2835, 4);
  put_le(out, 2835, 4);
  put_le(out, 0, 4);
  put_le(out, 0, 4);
  for (int y = picture.height - 1; y >= 0; --y) {
    for (int x = 0; x < picture.width; ++x) put_le(out, picture.at(x, y) & 0x00FFFFFF, 4);
  }
  write_bytes(file, out);
}

void write_bmp8(const std::string& file, int width, int height, const std::vector<uint32_t>& palette,
                const std::vector<uint8_t>& indices) {
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 8, SDL_PIXELFORMAT_INDEX8);
  ASSERT_NE(surface, nullptr);
  std::vector<SDL_Color> colours;
  for (uint32_t c : palette) {
    colours.push_back(
        SDL_Color{static_cast<Uint8>(c >> 16), static_cast<Uint8>(c >> 8), static_cast<Uint8>(c), 255});
  }
  SDL_SetPaletteColors(surface->format->palette, colours.data(), 0, static_cast<int>(colours.size()));
  for (int y = 0; y < height; ++y) {
    std::memcpy(static_cast<char*>(surface->pixels) + y * surface->pitch, &indices[y * width], width);
  }
  ASSERT_EQ(SDL_SaveBMP(surface, file.c_str()), 0) << SDL_GetError();
  SDL_FreeSurface(surface);
}

std::string read_bytes(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_bytes(const std::string& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

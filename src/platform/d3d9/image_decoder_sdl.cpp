// Image decoding through SDL2_image. The decoded surface is kept in the
// layout the decoder gives (one byte a pixel for a palette picture) and
// converted band by band where it goes, so a picture never exists twice in
// full at 32 bits a pixel beside the surface or texture it fills.
//
// SDL2_image hands over a CMYK (or YCCK) JPEG's four components untouched
// in an ARGB8888 surface, the bytes of each pixel in the order C, M, Y, K:
// they are turned into RGB here.
#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cstring>

#include "platform/d3d9/image_decoder.h"

namespace d3d9sw {
namespace {

// Rows converted at a time: a band of 64 rows of the widest picture is 2 MB.
constexpr int kBandRows = 64;

struct SurfaceFree {
  void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceFree>;

// The file's own pixel format, as near as the platform's list allows.
D3DFORMAT file_pixel_format(const SDL_Surface* surface, D3DXIMAGE_FILEFORMAT kind, bool has_alpha) {
  const SDL_PixelFormat* f = surface->format;
  if (f->palette != nullptr || f->BitsPerPixel <= 8) return kind == D3DXIFF_JPG ? D3DFMT_L8 : D3DFMT_P8;
  if (has_alpha) return D3DFMT_A8R8G8B8;
  if (f->BitsPerPixel == 16) return f->Gmask == 0x07E0 ? D3DFMT_R5G6B5 : D3DFMT_X1R5G5B5;
  if (f->BitsPerPixel == 24 && kind == D3DXIFF_BMP) return D3DFMT_R8G8B8;
  return D3DFMT_X8R8G8B8;
}

class SdlPicture final : public SourcePicture {
 public:
  SdlPicture(SurfacePtr surface, bool cmyk, bool inverted)
      : surface_(std::move(surface)), cmyk_(cmyk), inverted_(inverted) {}

  void write_argb(const PixelView& to) const override {
    if (cmyk_) {
      write_cmyk(to);
      return;
    }
    SDL_Surface* whole = surface_.get();
    for (int top = 0; top < height; top += kBandRows) {
      const int rows = std::min(kBandRows, height - top);
      // The band as a surface of its own over the same pixels, with the
      // picture's palette and transparent colour, converted as a whole
      // picture would be (a transparent colour becomes alpha 0).
      SurfacePtr band(SDL_CreateRGBSurfaceWithFormatFrom(
          static_cast<uint8_t*>(whole->pixels) + top * whole->pitch, width, rows, whole->format->BitsPerPixel,
          whole->pitch, whole->format->format));
      if (!band) throw std::bad_alloc();
      if (whole->format->palette != nullptr) SDL_SetSurfacePalette(band.get(), whole->format->palette);
      Uint32 key = 0;
      if (SDL_GetColorKey(whole, &key) == 0) SDL_SetColorKey(band.get(), SDL_TRUE, key);
      SurfacePtr argb(SDL_ConvertSurfaceFormat(band.get(), SDL_PIXELFORMAT_ARGB8888, 0));
      if (!argb) throw std::bad_alloc();
      for (int y = 0; y < rows; ++y) {
        std::memcpy(to.pixels + static_cast<ptrdiff_t>(top + y) * to.pitch,
                    static_cast<const uint8_t*>(argb->pixels) + y * argb->pitch, sizeof(uint32_t) * width);
      }
    }
  }

 private:
  void write_cmyk(const PixelView& to) const {
    for (int y = 0; y < height; ++y) {
      const uint8_t* p = static_cast<const uint8_t*>(surface_->pixels) + y * surface_->pitch;
      uint32_t* out = to.pixels + static_cast<ptrdiff_t>(y) * to.pitch;
      for (int x = 0; x < width; ++x, p += 4) out[x] = argb_of_cmyk(p[0], p[1], p[2], p[3], inverted_);
    }
  }

  SurfacePtr surface_;
  bool cmyk_;
  bool inverted_;
};

}  // namespace

std::unique_ptr<SourcePicture> decode_picture(const std::vector<unsigned char>& bytes,
                                              const ImageFacts& facts) {
  SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
  if (rw == nullptr) return nullptr;
  SDL_Surface* decoded = nullptr;
  switch (facts.kind) {
    case D3DXIFF_BMP:
      decoded = IMG_LoadBMP_RW(rw);
      break;
    case D3DXIFF_PNG:
      decoded = IMG_LoadPNG_RW(rw);
      break;
    default:
      decoded = IMG_LoadJPG_RW(rw);
      break;
  }
  SDL_RWclose(rw);
  SurfacePtr surface(decoded);
  if (!surface || surface->w <= 0 || surface->h <= 0) return nullptr;
  const bool cmyk = facts.kind == D3DXIFF_JPG && facts.jpeg_components == 4;
  if (cmyk && (surface->format->BytesPerPixel != 4 || surface->format->palette != nullptr)) return nullptr;
  const bool has_alpha = !cmyk && (surface->format->Amask != 0 || SDL_HasColorKey(surface.get()));
  const D3DFORMAT format = cmyk ? D3DFMT_X8R8G8B8 : file_pixel_format(surface.get(), facts.kind, has_alpha);
  const int width = surface->w;
  const int height = surface->h;
  auto picture = std::make_unique<SdlPicture>(std::move(surface), cmyk, facts.adobe);
  picture->width = width;
  picture->height = height;
  picture->has_alpha = has_alpha;
  picture->format = format;
  return picture;
}

}  // namespace d3d9sw

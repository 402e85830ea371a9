// The image decoder of the Linux build: SDL2_image.
#include <SDL.h>
#include <SDL_image.h>

#include <cstring>
#include <memory>

#include "platform/d3d9/image_decoder.h"
#include "platform/d3d9/pixel_resources.h"

namespace d3d9sw {
namespace {

using SurfacePointer = std::unique_ptr<SDL_Surface, void (*)(SDL_Surface*)>;

// The file's own pixel format, as near as the platform's list allows.
D3DFORMAT file_pixel_format(const SDL_Surface* surface, D3DXIMAGE_FILEFORMAT kind, bool has_alpha) {
  const SDL_PixelFormat* f = surface->format;
  if (f->palette != nullptr || f->BitsPerPixel <= 8) return kind == D3DXIFF_JPG ? D3DFMT_L8 : D3DFMT_P8;
  if (has_alpha) return D3DFMT_A8R8G8B8;
  if (f->BitsPerPixel == 16) return f->Gmask == 0x07E0 ? D3DFMT_R5G6B5 : D3DFMT_X1R5G5B5;
  if (f->BitsPerPixel == 24 && kind == D3DXIFF_BMP) return D3DFMT_R8G8B8;
  return D3DFMT_X8R8G8B8;
}

}  // namespace

bool image_kind(const std::vector<unsigned char>& bytes, D3DXIMAGE_FILEFORMAT& kind) {
  SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
  if (rw == nullptr) return false;
  bool known = true;
  if (IMG_isBMP(rw)) {
    kind = D3DXIFF_BMP;
  } else if (IMG_isPNG(rw)) {
    kind = D3DXIFF_PNG;
  } else if (IMG_isJPG(rw)) {
    kind = D3DXIFF_JPG;
  } else {
    known = false;
  }
  SDL_RWclose(rw);
  return known;
}

HRESULT decode_image_bytes(const std::vector<unsigned char>& bytes, D3DXIMAGE_FILEFORMAT kind,
                           DecodedImage& image) {
  SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
  if (rw == nullptr) return D3DXERR_INVALIDDATA;
  SDL_Surface* decoded = kind == D3DXIFF_BMP   ? IMG_LoadBMP_RW(rw)
                         : kind == D3DXIFF_PNG ? IMG_LoadPNG_RW(rw)
                                               : IMG_LoadJPG_RW(rw);
  SDL_RWclose(rw);
  if (decoded == nullptr) return D3DXERR_INVALIDDATA;
  SurfacePointer source(decoded, &SDL_FreeSurface);
  if (source->w <= 0 || source->h <= 0 || source->w > kMaxDimension || source->h > kMaxDimension) {
    return D3DXERR_INVALIDDATA;
  }

  const bool has_alpha = source->format->Amask != 0 || SDL_HasColorKey(source.get());
  SurfacePointer argb(SDL_ConvertSurfaceFormat(source.get(), SDL_PIXELFORMAT_ARGB8888, 0), &SDL_FreeSurface);
  if (!argb) return D3DXERR_INVALIDDATA;

  try {
    image.pixels.resize(static_cast<size_t>(argb->w) * static_cast<size_t>(argb->h));
  } catch (...) {
    return E_OUTOFMEMORY;
  }
  image.width = argb->w;
  image.height = argb->h;
  image.has_alpha = has_alpha;
  image.format = file_pixel_format(source.get(), kind, has_alpha);
  const auto* row = static_cast<const unsigned char*>(argb->pixels);
  for (int y = 0; y < image.height; ++y, row += argb->pitch) {
    std::memcpy(&image.pixels[static_cast<size_t>(y) * image.width], row, sizeof(uint32_t) * image.width);
  }
  return D3D_OK;
}

}  // namespace d3d9sw

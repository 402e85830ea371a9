// D3DX image loading: file description, a file into a surface, a file into
// a new texture. Copies between different sizes are nearest-neighbour
// whatever filter is asked for (D3DX_FILTER_NONE too, which on the platform
// would leave the picture unscaled in the corner); a texture has one level
// whatever the level count asked for.
#include <new>
#include <vector>

#include "d3dx9.h"
#include "platform/backend.h"
#include "platform/fault_points.h"
#include "platform/d3d9/composition.h"
#include "platform/d3d9/device.h"
#include "platform/d3d9/image_file.h"
#include "platform/d3d9/pixel_resources.h"

namespace {

using d3d9sw::Area;
using d3d9sw::area_of_rect;

// A requested texture side. 0 and D3DX_DEFAULT take the file's size rounded
// up to a power of two, as the platform documents (the picture is then
// stretched over the texture); D3DX_DEFAULT_NONPOW2 and D3DX_FROM_FILE take
// it as it is (the device has no power-of-two limit); any other value is
// the size itself. Only the last two give the picture pixel for pixel.
UINT texture_side(UINT requested, int from_file) {
  const UINT side = static_cast<UINT>(from_file);
  if (requested == 0 || requested == D3DX_DEFAULT) {
    UINT power = 1;
    while (power < side) power *= 2;
    return power;
  }
  if (requested == D3DX_DEFAULT_NONPOW2 || requested == D3DX_FROM_FILE) return side;
  return requested;
}

// Writes the whole picture into `to` of the pixels of `target` (a surface
// or texture), stretched nearest-neighbour when the sizes differ, each pixel
// taken as (p & and_mask) | or_mask. Throws std::bad_alloc when memory is short.
void write_into(const d3d9sw::ImageFile& file, D3DCOLOR key, const d3d9sw::PixelView& target, const Area& to,
                uint32_t and_mask, uint32_t or_mask) {
  const Area whole{0, 0, file.width(), file.height()};
  if (to.width() == file.width() && to.height() == file.height()) {
    // Straight into place: no second copy of the picture.
    const d3d9sw::PixelView place{target.pixels + to.top * target.pitch + to.left, to.width(), to.height(),
                                  target.pitch};
    file.write(place, key);
    if (and_mask != 0xFFFFFFFFu || or_mask != 0u)
      d3d9sw::stretch_copy(place, whole, place, whole, and_mask, or_mask);
    return;
  }
  std::vector<uint32_t> pixels(static_cast<size_t>(file.width()) * static_cast<size_t>(file.height()));
  const d3d9sw::PixelView picture{pixels.data(), file.width(), file.height(), file.width()};
  file.write(picture, key);
  d3d9sw::stretch_copy(picture, whole, target, to, and_mask, or_mask);
}

}  // namespace

HRESULT WINAPI D3DXGetImageInfoFromFileA(LPCSTR pSrcFile, D3DXIMAGE_INFO* pSrcInfo) {
  if (pSrcFile == nullptr || pSrcInfo == nullptr) return D3DERR_INVALIDCALL;
  d3d9sw::ImageFile file;
  const HRESULT opened = file.open(pSrcFile);
  if (FAILED(opened)) return opened;
  *pSrcInfo = file.info();
  return D3D_OK;
}

HRESULT WINAPI D3DXLoadSurfaceFromFileA(LPDIRECT3DSURFACE9 pDestSurface, CONST PALETTEENTRY* pDestPalette,
                                        CONST RECT* pDestRect, LPCSTR pSrcFile, CONST RECT* pSrcRect,
                                        DWORD Filter, D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo) {
  (void)pDestPalette;  // no palette formats
  (void)Filter;
  if (pDestSurface == nullptr || pSrcFile == nullptr) return D3DERR_INVALIDCALL;
  d3d9sw::Surface* surface = d3d9sw::as_surface(pDestSurface);
  if (surface->refuses_calls()) return d3d9sw::refuse_after_failed_reset();
  if (fault_point::fails(fault_point::kD3DXLoadSurfaceFromFileA))
    return fault_point::kD3DXLoadSurfaceFromFileA.result;
  Area to;
  if (!area_of_rect(pDestRect, surface->bounds(), to)) return D3DERR_INVALIDCALL;

  d3d9sw::ImageFile file;
  const HRESULT opened = file.open(pSrcFile);
  if (FAILED(opened)) return opened;
  Area from;
  if (!area_of_rect(pSrcRect, Area{0, 0, file.width(), file.height()}, from)) return D3DERR_INVALIDCALL;
  const uint32_t and_mask = d3d9sw::copy_and_mask(D3DFMT_A8R8G8B8, surface->format());
  const uint32_t or_mask = d3d9sw::copy_or_mask(D3DFMT_A8R8G8B8, surface->format());
  const bool whole_surface =
      to.left == 0 && to.top == 0 && to.right == surface->width() && to.bottom == surface->height();
  try {
    const d3d9sw::PixelView target = whole_surface ? surface->view_to_overwrite() : surface->view();
    if (from.left == 0 && from.top == 0 && from.right == file.width() && from.bottom == file.height()) {
      write_into(file, ColorKey, target, to, and_mask, or_mask);
    } else {
      // A part of the picture: the whole written aside, the part stretched.
      std::vector<uint32_t> pixels(static_cast<size_t>(file.width()) * static_cast<size_t>(file.height()));
      const d3d9sw::PixelView picture{pixels.data(), file.width(), file.height(), file.width()};
      file.write(picture, ColorKey);
      d3d9sw::stretch_copy(picture, from, target, to, and_mask, or_mask);
    }
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  if (pSrcInfo != nullptr) *pSrcInfo = file.info();
  return D3D_OK;
}

HRESULT WINAPI D3DXCreateTextureFromFileExA(LPDIRECT3DDEVICE9 pDevice, LPCSTR pSrcFile, UINT Width,
                                            UINT Height, UINT MipLevels, DWORD Usage, D3DFORMAT Format,
                                            D3DPOOL Pool, DWORD Filter, DWORD MipFilter, D3DCOLOR ColorKey,
                                            D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
                                            LPDIRECT3DTEXTURE9* ppTexture) {
  (void)MipLevels;
  (void)Usage;
  (void)Filter;
  (void)MipFilter;
  (void)pPalette;
  if (pDevice == nullptr || pSrcFile == nullptr || ppTexture == nullptr) return D3DERR_INVALIDCALL;
  *ppTexture = nullptr;
  d3d9sw::Device* device = static_cast<d3d9sw::Device*>(pDevice);
  if (device->refuses_calls()) return d3d9sw::refuse_after_failed_reset();
  if (fault_point::fails(fault_point::kD3DXCreateTextureFromFileExA))
    return fault_point::kD3DXCreateTextureFromFileExA.result;

  d3d9sw::ImageFile file;
  const HRESULT opened = file.open(pSrcFile);
  if (FAILED(opened)) return opened;

  // An opaque texture (asked for as X8R8G8B8, or a file without alpha and
  // no key) draws with alpha 255 everywhere.
  const bool opaque =
      Format == D3DFMT_X8R8G8B8 ||
      ((Format == D3DFMT_UNKNOWN || Format == D3DFMT_FROM_FILE) && !file.has_alpha() && ColorKey == 0);
  const UINT width = texture_side(Width, file.width());
  const UINT height = texture_side(Height, file.height());
  if (width > d3d9sw::kMaxDimension || height > d3d9sw::kMaxDimension) return D3DERR_INVALIDCALL;
  d3d9sw::Texture* texture =
      d3d9sw::create_texture(static_cast<int>(width), static_cast<int>(height), D3DFMT_A8R8G8B8, Pool);
  if (texture == nullptr) return D3DERR_OUTOFVIDEOMEMORY;
  device->adopt(texture);
  try {
    write_into(file, ColorKey, texture->view_to_overwrite(), texture->bounds(), 0xFFFFFFFFu,
               opaque ? 0xFF000000u : 0u);
  } catch (const std::bad_alloc&) {
    texture->Release();
    return E_OUTOFMEMORY;
  }

  if (pSrcInfo != nullptr) *pSrcInfo = file.info();
  *ppTexture = texture;
  return D3D_OK;
}

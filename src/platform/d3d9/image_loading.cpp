// D3DX image loading: file description, a file into a surface, a file into
// a new texture. Copies between different sizes are nearest-neighbour
// whatever filter is asked for (D3DX_FILTER_NONE too, which on the platform
// would leave the picture unscaled in the corner); a texture has one level
// whatever the level count asked for.
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

d3d9sw::PixelView view_of(d3d9sw::DecodedImage& image) {
  return d3d9sw::PixelView{image.pixels.data(), image.width, image.height, image.width};
}

}  // namespace

HRESULT WINAPI D3DXGetImageInfoFromFileA(LPCSTR pSrcFile, D3DXIMAGE_INFO* pSrcInfo) {
  if (pSrcFile == nullptr || pSrcInfo == nullptr) return D3DERR_INVALIDCALL;
  d3d9sw::DecodedImage image;
  const HRESULT decoded = d3d9sw::decode_image_file(pSrcFile, image);
  if (FAILED(decoded)) return decoded;
  *pSrcInfo = d3d9sw::image_info(image);
  return D3D_OK;
}

HRESULT WINAPI D3DXLoadSurfaceFromFileA(LPDIRECT3DSURFACE9 pDestSurface, CONST PALETTEENTRY* pDestPalette,
                                        CONST RECT* pDestRect, LPCSTR pSrcFile, CONST RECT* pSrcRect,
                                        DWORD Filter, D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo) {
  (void)pDestPalette;  // no palette formats
  (void)Filter;
  if (pDestSurface == nullptr || pSrcFile == nullptr) return D3DERR_INVALIDCALL;
  if (backend::fault(fault_point::kD3DXLoadSurfaceFromFileA))
    return fault_point::kD3DXLoadSurfaceFromFileA.result;
  d3d9sw::Surface* surface = d3d9sw::as_surface(pDestSurface);
  Area to;
  if (!area_of_rect(pDestRect, surface->bounds(), to)) return D3DERR_INVALIDCALL;

  d3d9sw::DecodedImage image;
  const HRESULT decoded = d3d9sw::decode_image_file(pSrcFile, image);
  if (FAILED(decoded)) return decoded;
  Area from;
  if (!area_of_rect(pSrcRect, Area{0, 0, image.width, image.height}, from)) return D3DERR_INVALIDCALL;
  d3d9sw::apply_colour_key(image, ColorKey);

  d3d9sw::stretch_copy(view_of(image), from, surface->view(), to,
                       d3d9sw::copy_and_mask(D3DFMT_A8R8G8B8, surface->format()),
                       d3d9sw::copy_or_mask(D3DFMT_A8R8G8B8, surface->format()));
  if (pSrcInfo != nullptr) *pSrcInfo = d3d9sw::image_info(image);
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
  if (backend::fault(fault_point::kD3DXCreateTextureFromFileExA))
    return fault_point::kD3DXCreateTextureFromFileExA.result;

  d3d9sw::DecodedImage image;
  const HRESULT decoded = d3d9sw::decode_image_file(pSrcFile, image);
  if (FAILED(decoded)) return decoded;
  d3d9sw::apply_colour_key(image, ColorKey);

  // An opaque texture (asked for as X8R8G8B8, or a file without alpha and
  // no key) draws with alpha 255 everywhere.
  const bool opaque =
      Format == D3DFMT_X8R8G8B8 ||
      ((Format == D3DFMT_UNKNOWN || Format == D3DFMT_FROM_FILE) && !image.has_alpha && ColorKey == 0);
  const UINT width = texture_side(Width, image.width);
  const UINT height = texture_side(Height, image.height);
  if (width > d3d9sw::kMaxDimension || height > d3d9sw::kMaxDimension) return D3DERR_INVALIDCALL;
  d3d9sw::Texture* texture =
      d3d9sw::create_texture(static_cast<int>(width), static_cast<int>(height), D3DFMT_A8R8G8B8, Pool);
  if (texture == nullptr) return D3DERR_OUTOFVIDEOMEMORY;
  static_cast<d3d9sw::Device*>(pDevice)->adopt(texture);
  const uint32_t or_mask = opaque ? 0xFF000000u : 0u;
  d3d9sw::stretch_copy(view_of(image), Area{0, 0, image.width, image.height}, texture->view(),
                       texture->bounds(), 0xFFFFFFFFu, or_mask);

  if (pSrcInfo != nullptr) *pSrcInfo = d3d9sw::image_info(image);
  *ppTexture = texture;
  return D3D_OK;
}

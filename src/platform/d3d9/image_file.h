// Image files for D3DX: BMP (any common depth), JPEG and PNG, decoded into
// 0xAARRGGBB pixels (alpha 255 where the file has none) by the decoder the
// build links (image_decoder.h).
#pragma once

#include <cstdint>
#include <vector>

#include "d3dx9tex.h"

namespace d3d9sw {

struct DecodedImage {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;       // width * height, rows packed
  D3DFORMAT format = D3DFMT_UNKNOWN;  // the file's own pixel format
  D3DXIMAGE_FILEFORMAT file_format = D3DXIFF_BMP;
  bool has_alpha = false;  // the file carries alpha (or transparency)
};

// Reads and decodes the file. D3D_OK, or D3DXERR_INVALIDDATA when the file
// is missing, unreadable, of another kind, truncated or corrupt.
HRESULT decode_image_file(const char* path, DecodedImage& image);

// The image's description as D3DXGetImageInfoFromFileA reports it.
D3DXIMAGE_INFO image_info(const DecodedImage& image);

// Turns every pixel equal to the key in all four channels into transparent
// black (0x00000000). A key of 0 means no key.
void apply_colour_key(DecodedImage& image, D3DCOLOR key);

}  // namespace d3d9sw

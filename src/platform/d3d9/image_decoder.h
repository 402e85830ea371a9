// The decoder under the image files of D3DX (image_file.cpp): it names the
// kind of picture a file's bytes hold and turns them into 0xAARRGGBB pixels.
// image_file.cpp reads the file and makes every check that does not need a
// decoder (the size the header declares, a PNG or JPEG cut short) before it
// asks for the pixels. One decoder is linked: SDL2_image on Linux
// (image_decoder_sdl.cpp), stb_image in the browser (image_decoder_stb.cpp).
#pragma once

#include <vector>

#include "d3dx9.h"
#include "platform/d3d9/image_file.h"

namespace d3d9sw {

// The kind of picture the bytes hold, by their signature: D3DXIFF_BMP,
// D3DXIFF_PNG or D3DXIFF_JPG. False for anything else.
bool image_kind(const std::vector<unsigned char>& bytes, D3DXIMAGE_FILEFORMAT& kind);

// Decodes a whole file of that kind into `image`: its size, pixels (alpha
// 255 where the file has none), whether the file carries alpha or a
// transparent colour, and the file's own pixel format as near as the
// platform's list allows. D3DXERR_INVALIDDATA for a file the decoder
// refuses, E_OUTOFMEMORY when the pixels do not fit in memory.
HRESULT decode_image_bytes(const std::vector<unsigned char>& bytes, D3DXIMAGE_FILEFORMAT kind,
                           DecodedImage& image);

}  // namespace d3d9sw

// Turning the bytes of an image file that image_file.cpp has read and
// checked into its pixels: the one place an image library is named. The
// desktop build decodes with SDL2_image (image_decoder_sdl.cpp).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "d3dx9tex.h"
#include "platform/d3d9/composition.h"

namespace d3d9sw {

// What the checks learnt of the file from its header.
struct ImageFacts {
  D3DXIMAGE_FILEFORMAT kind = D3DXIFF_BMP;
  int width = 0;  // as declared, within kMaxDimension
  int height = 0;
  // JPEG only: colour components (4 for CMYK or YCCK), and whether an Adobe
  // marker is there, whose files store CMYK inverted (0 is full ink).
  int jpeg_components = 0;
  bool adobe = false;
  // PNG only: a transparency chunk before the image data.
  bool png_transparency = false;
};

// Numbers in a file's bytes, little- and big-endian.
inline uint32_t le16(const std::vector<unsigned char>& b, size_t at) {
  return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8;
}
inline uint32_t le32(const std::vector<unsigned char>& b, size_t at) {
  return le16(b, at) | le16(b, at + 2) << 16;
}
inline uint32_t be16(const std::vector<unsigned char>& b, size_t at) {
  return uint32_t(b[at]) << 8 | b[at + 1];
}
inline uint32_t be32(const std::vector<unsigned char>& b, size_t at) {
  return be16(b, at) << 16 | be16(b, at + 2);
}

// A decoded picture, kept in the file's own layout (as small as the file's
// pixels allow) until written out.
class SourcePicture {
 public:
  virtual ~SourcePicture() = default;
  int width = 0;
  int height = 0;
  bool has_alpha = false;             // the file carries alpha (or a transparent colour)
  D3DFORMAT format = D3DFMT_UNKNOWN;  // the file's own pixel format
  // Writes the whole picture into `to` (its size) as 0xAARRGGBB, alpha 255
  // where the file has none; a CMYK picture in its true colours, opaque.
  virtual void write_argb(const PixelView& to) const = 0;
};

// Null when the bytes do not decode into a picture of the declared size.
std::unique_ptr<SourcePicture> decode_picture(const std::vector<unsigned char>& bytes,
                                              const ImageFacts& facts);

// A CMYK pixel as RGB, opaque; `inverted` for the Adobe form.
inline uint32_t argb_of_cmyk(uint32_t c, uint32_t m, uint32_t y, uint32_t k, bool inverted) {
  if (!inverted) {
    c = 255 - c;
    m = 255 - m;
    y = 255 - y;
    k = 255 - k;
  }
  // Each of c, m, y, k is now how much light it lets through.
  auto channel = [k](uint32_t v) { return (v * k + 127) / 255; };
  return 0xFF000000u | channel(c) << 16 | channel(m) << 8 | channel(y);
}

}  // namespace d3d9sw

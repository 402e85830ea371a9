// The image decoder of the browser build: stb_image (Debian's libstb-dev),
// built into this file for BMP, PNG and JPEG alone, from memory.
//
// Why stb_image rather than the browser's own decoders: it decodes at once
// inside the program, as SDL2_image does on Linux, so a picture can be
// loaded again after a device reset at any time without a trip through the
// page; it neither manages colour nor premultiplies alpha, so the pixels are
// the file's; and a corrupt file fails here with the same result code as on
// Linux. Like SDL2_image it applies no gamma or colour profile.
//
// Where it differs from SDL2_image: JPEG's colour upsampling and inverse
// transform are stb's own, so a JPEG may come out a few levels off (the
// game's three JPEGs differ by at most 3 levels in a channel); a CMYK or
// YCCK JPEG comes out in its true colours and opaque only in the form with
// Adobe's marker (as Photoshop and ImageMagick write them), which stb_image
// takes as inverted: a plain CMYK JPEG without the marker, rare, comes out
// in wrong colours; a BMP compressed with RLE is refused.
#include <cstdlib>

#include <memory>

#include "platform/d3d9/image_decoder.h"
#include "platform/d3d9/pixel_resources.h"

#define STBI_ONLY_BMP
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_NO_FAILURE_STRINGS
#define STBI_MAX_DIMENSIONS 8192
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

namespace d3d9sw {
namespace {

static_assert(STBI_MAX_DIMENSIONS == kMaxDimension, "stb_image refuses what the device cannot hold");

// What the BMP's header says of its pixels: bits per pixel, and the masks
// of a 16-bit one (BI_BITFIELDS: after a 40-byte header, or in a larger
// one). A 32-bit BMP without masks keeps its fourth byte as alpha (opaque
// where all of it is 0); one with masks has alpha when its alpha mask does.
D3DFORMAT bmp_format(const std::vector<unsigned char>& b, bool& has_alpha) {
  has_alpha = false;
  if (b.size() < 34) return D3DFMT_UNKNOWN;
  const uint32_t header = le32(b, 14);
  const uint32_t bits = header == 12 ? le16(b, 24) : le16(b, 28);
  if (bits <= 8) return D3DFMT_P8;
  if (bits == 24) return D3DFMT_R8G8B8;
  const bool masked = header != 12 && le32(b, 30) == 3 && b.size() >= 66;
  const uint32_t green = masked ? le32(b, 58) : (bits == 16 ? 0x03E0u : 0x0000FF00u);
  const uint32_t alpha =
      masked ? (header >= 56 && b.size() >= 70 ? le32(b, 66) : 0u) : (bits == 32 ? 0xFF000000u : 0u);
  has_alpha = alpha != 0;
  if (has_alpha) return D3DFMT_A8R8G8B8;
  if (bits == 16) return green == 0x07E0 ? D3DFMT_R5G6B5 : D3DFMT_X1R5G5B5;
  return D3DFMT_X8R8G8B8;
}

// Whether the BMP holds every row its header declares: stb_image reads
// past the end of a file cut short as zeros, where SDL2_image refuses it.
// Compressed pixels (RLE) are refused by stb_image anyway.
bool bmp_complete(const std::vector<unsigned char>& b) {
  if (b.size() < 30) return false;
  const uint32_t header = le32(b, 14);
  const bool core = header == 12;
  const int64_t width = core ? le16(b, 18) : static_cast<int32_t>(le32(b, 18));
  const int64_t height = core ? le16(b, 20) : static_cast<int32_t>(le32(b, 22));
  const int64_t bits = core ? le16(b, 24) : le16(b, 28);
  const int64_t stride = (width * bits + 31) / 32 * 4;
  return uint64_t{le32(b, 10)} + static_cast<uint64_t>(stride * (height < 0 ? -height : height)) <= b.size();
}

// A PNG's colour type, and its transparency chunk as the file's check found it.
D3DFORMAT png_format(const std::vector<unsigned char>& b, const ImageFacts& facts, bool& has_alpha) {
  const unsigned colour = b.size() > 25 ? b[25] : 0;
  has_alpha = facts.png_transparency || colour == 4 || colour == 6;
  if (colour == 0 || colour == 3) return D3DFMT_P8;  // grey and palette pictures keep a palette
  return has_alpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
}

// The picture as stb_image gives it, four bytes a pixel in the order R, G,
// B, A: the decoded size, no more.
class StbPicture final : public SourcePicture {
 public:
  explicit StbPicture(unsigned char* rgba) : rgba_(rgba) {}
  ~StbPicture() override { stbi_image_free(rgba_); }

  void write_argb(const PixelView& to) const override {
    const unsigned char* p = rgba_;
    for (int y = 0; y < height; ++y) {
      uint32_t* out = to.pixels + static_cast<ptrdiff_t>(y) * to.pitch;
      for (int x = 0; x < width; ++x, p += 4) {
        const uint32_t alpha = has_alpha ? p[3] : 0xFFu;
        out[x] = alpha << 24 | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
      }
    }
  }

 private:
  unsigned char* rgba_;
};

}  // namespace

std::unique_ptr<SourcePicture> decode_picture(const std::vector<unsigned char>& bytes,
                                              const ImageFacts& facts) {
  if (bytes.empty() || bytes.size() > static_cast<size_t>(INT32_MAX)) return nullptr;
  if (facts.kind == D3DXIFF_BMP && !bmp_complete(bytes)) return nullptr;
  int width = 0, height = 0, components = 0;
  unsigned char* rgba =
      stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &width, &height, &components, 4);
  if (rgba == nullptr) return nullptr;
  auto picture = std::make_unique<StbPicture>(rgba);
  if (width <= 0 || height <= 0) return nullptr;
  bool has_alpha = false;
  if (facts.kind == D3DXIFF_BMP) {
    picture->format = bmp_format(bytes, has_alpha);
  } else if (facts.kind == D3DXIFF_PNG) {
    picture->format = png_format(bytes, facts, has_alpha);
  } else {
    picture->format = components == 1 ? D3DFMT_L8 : D3DFMT_X8R8G8B8;
  }
  picture->width = width;
  picture->height = height;
  picture->has_alpha = has_alpha;
  return picture;
}

}  // namespace d3d9sw

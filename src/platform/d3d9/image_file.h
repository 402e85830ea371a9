// Image files for D3DX: BMP (any common depth), JPEG and PNG. The file is
// read whole and checked before any decoder sees it, decoded by the image
// decoder (platform/d3d9/image_decoder.h) and kept in its own pixel layout
// until written where it goes: a load never holds more than the file's
// decoded picture and the surface or texture it fills, and keeps nothing
// once done.
#pragma once

#include <cstdint>
#include <memory>

#include "d3dx9tex.h"
#include "platform/d3d9/composition.h"
#include "platform/d3d9/image_decoder.h"

namespace d3d9sw {

class ImageFile {
 public:
  // Reads, checks and decodes the file. D3D_OK, or D3DXERR_INVALIDDATA when
  // it is missing, unreadable, not a regular file, of another kind, declares
  // a side beyond kMaxDimension, or is truncated or corrupt;
  // D3DERR_INVALIDCALL for no name.
  HRESULT open(const char* path);

  int width() const { return picture_->width; }
  int height() const { return picture_->height; }
  bool has_alpha() const { return picture_->has_alpha; }
  // The description D3DXGetImageInfoFromFileA gives.
  D3DXIMAGE_INFO info() const;
  // Writes the whole picture into `to` (its size) as 0xAARRGGBB, every pixel
  // equal to `key` in all four channels turned into transparent black
  // (0x00000000); a key of 0 is none.
  void write(const PixelView& to, D3DCOLOR key) const;

 private:
  ImageFacts facts_;
  std::unique_ptr<SourcePicture> picture_;
};

}  // namespace d3d9sw

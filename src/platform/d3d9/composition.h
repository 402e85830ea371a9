// The software device's pixel work: fills, rectangle copies and sprite
// drawing over 32-bit pixel arrays. Pixels are 0xAARRGGBB; a destination in
// an X8R8G8B8 format keeps 0 in its top byte.
#pragma once

#include <cstddef>
#include <cstdint>

#include "wintypes.h"

namespace d3d9sw {

// Pixels of one surface or texture: rows `pitch` pixels apart.
struct PixelView {
  uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  ptrdiff_t pitch = 0;
};

// Half-open: [left, right) x [top, bottom).
struct Area {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool empty() const { return right <= left || bottom <= top; }
};

// The part of `area` inside `bounds`.
Area intersect(const Area& area, const Area& bounds);

// The area a RECT names inside `bounds`, or all of `bounds` when it is null;
// false when the rectangle is empty or reaches outside.
bool area_of_rect(const RECT* rect, const Area& bounds, Area& out);

// Sets every pixel of `area` (already inside the view) to `value`.
void fill(const PixelView& dst, const Area& area, uint32_t value);

// Copies src_area onto dst_area (both inside their views), nearest-neighbour
// when the sizes differ: destination pixel (x, y) takes the source pixel
// whose cell holds that pixel's centre. Each copied pixel becomes
// (p & and_mask) | or_mask, which converts between X8R8G8B8 and A8R8G8B8.
void stretch_copy(const PixelView& src, const Area& src_area, const PixelView& dst, const Area& dst_area,
                  uint32_t and_mask, uint32_t or_mask);

// How a sprite's pixels meet the destination.
struct SpriteMode {
  bool blend = true;           // straight alpha blending; false: alpha ignored, pixels copied
  uint32_t tint = 0xFFFFFFFF;  // each texture channel times the tint's same channel / 255
};

// Draws src_area of `src` (inside it) with its top-left corner at (x, y) of
// `dst` (an X8R8G8B8 view), clipped to dst. Result channels are rounded:
// src * a / 255 + dst * (255 - a) / 255 to the nearest integer.
void draw_sprite(const PixelView& src, const Area& src_area, const PixelView& dst, int x, int y,
                 const SpriteMode& mode);

}  // namespace d3d9sw

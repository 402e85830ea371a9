// Pixel loops of the software device. The sprite loop is the hot one: a game
// frame draws about a million texels, mostly fully opaque or fully clear, so
// it looks at four pixels at a time and copies or skips whole groups, and
// blends only the pixels in between, with integer math.
#include "platform/d3d9/composition.h"

#include <algorithm>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace d3d9sw {
namespace {

constexpr uint32_t kRgb = 0x00FFFFFF;

// x / 255 rounded to the nearest integer, exact for 0 <= x <= 255 * 255.
inline uint32_t div255(uint32_t x) {
  x += 128;
  return (x + (x >> 8)) >> 8;
}

// Straight alpha over an X8R8G8B8 pixel; red and blue share one multiply,
// each in its own 16-bit lane (no lane exceeds 65535, so none carries).
inline uint32_t blend_pixel(uint32_t s, uint32_t d) {
  const uint32_t a = s >> 24;
  if (a == 255) return s & kRgb;
  if (a == 0) return d;
  const uint32_t ia = 255 - a;
  uint32_t rb = (s & 0x00FF00FF) * a + (d & 0x00FF00FF) * ia + 0x00800080;
  rb = ((rb + ((rb >> 8) & 0x00FF00FF)) >> 8) & 0x00FF00FF;
  uint32_t g = ((s >> 8) & 0xFF) * a + ((d >> 8) & 0xFF) * ia + 0x80;
  g = ((g + (g >> 8)) >> 8) & 0xFF;
  return rb | (g << 8);
}

inline uint32_t tint_pixel(uint32_t s, uint32_t tint) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    out |= div255(((s >> shift) & 0xFF) * ((tint >> shift) & 0xFF)) << shift;
  }
  return out;
}

void blend_row(const uint32_t* s, uint32_t* d, int n) {
  int i = 0;
#if defined(__SSE2__)
  const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  const __m128i rgb = _mm_set1_epi32(static_cast<int>(kRgb));
  const __m128i zero = _mm_setzero_si128();
  for (; i + 4 <= n; i += 4) {
    const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    const __m128i a = _mm_and_si128(p, alpha);
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(a, alpha)) == 0xFFFF) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_and_si128(p, rgb));
    } else if (_mm_movemask_epi8(_mm_cmpeq_epi32(a, zero)) != 0xFFFF) {
      for (int k = i; k < i + 4; ++k) d[k] = blend_pixel(s[k], d[k]);
    }
  }
#endif
  for (; i < n; ++i) d[i] = blend_pixel(s[i], d[i]);
}

void copy_row_masked(const uint32_t* s, uint32_t* d, int n, uint32_t and_mask, uint32_t or_mask) {
  for (int i = 0; i < n; ++i) d[i] = (s[i] & and_mask) | or_mask;
}

}  // namespace

Area intersect(const Area& area, const Area& bounds) {
  Area out{std::max(area.left, bounds.left), std::max(area.top, bounds.top),
           std::min(area.right, bounds.right), std::min(area.bottom, bounds.bottom)};
  if (out.empty()) return Area{};
  return out;
}

bool area_of_rect(const RECT* rect, const Area& bounds, Area& out) {
  if (rect == nullptr) {
    out = bounds;
    return true;
  }
  if (rect->left < bounds.left || rect->top < bounds.top || rect->right > bounds.right ||
      rect->bottom > bounds.bottom || rect->left >= rect->right || rect->top >= rect->bottom) {
    return false;
  }
  out = Area{rect->left, rect->top, rect->right, rect->bottom};
  return true;
}

void fill(const PixelView& dst, const Area& area, uint32_t value) {
  for (int y = area.top; y < area.bottom; ++y) {
    std::fill_n(dst.pixels + y * dst.pitch + area.left, area.width(), value);
  }
}

void stretch_copy(const PixelView& src, const Area& src_area, const PixelView& dst, const Area& dst_area,
                  uint32_t and_mask, uint32_t or_mask) {
  const int dw = dst_area.width();
  const int dh = dst_area.height();
  const int sw = src_area.width();
  const int sh = src_area.height();
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
  const bool plain = and_mask == 0xFFFFFFFF && or_mask == 0;

  if (dw == sw && dh == sh) {
    for (int y = 0; y < dh; ++y) {
      const uint32_t* s = src.pixels + (src_area.top + y) * src.pitch + src_area.left;
      uint32_t* d = dst.pixels + (dst_area.top + y) * dst.pitch + dst_area.left;
      if (plain) {
        std::memcpy(d, s, static_cast<size_t>(dw) * sizeof(uint32_t));
      } else {
        copy_row_masked(s, d, dw, and_mask, or_mask);
      }
    }
    return;
  }

  // Source column of each destination column: the cell under its centre.
  thread_local std::vector<int> columns;
  columns.resize(static_cast<size_t>(dw));
  for (int x = 0; x < dw; ++x) {
    columns[x] = src_area.left + static_cast<int>((int64_t{2} * x + 1) * sw / (int64_t{2} * dw));
  }
  const int* column = columns.data();
  for (int y = 0; y < dh; ++y) {
    const int sy = src_area.top + static_cast<int>((int64_t{2} * y + 1) * sh / (int64_t{2} * dh));
    const uint32_t* s = src.pixels + sy * src.pitch;
    uint32_t* d = dst.pixels + (dst_area.top + y) * dst.pitch + dst_area.left;
    for (int x = 0; x < dw; ++x) d[x] = (s[column[x]] & and_mask) | or_mask;
  }
}

void draw_sprite(const PixelView& src, const Area& src_area, const PixelView& dst, int x, int y,
                 const SpriteMode& mode) {
  // Clip the placed rectangle to the destination; 64-bit so that positions
  // far outside cannot overflow.
  const int64_t left = std::max<int64_t>(x, 0);
  const int64_t top = std::max<int64_t>(y, 0);
  const int64_t right = std::min<int64_t>(int64_t{x} + src_area.width(), dst.width);
  const int64_t bottom = std::min<int64_t>(int64_t{y} + src_area.height(), dst.height);
  if (right <= left || bottom <= top) return;
  const int n = static_cast<int>(right - left);
  const int sx = src_area.left + static_cast<int>(left - x);
  const int sy = src_area.top + static_cast<int>(top - y);

  for (int64_t row = top; row < bottom; ++row) {
    const uint32_t* s = src.pixels + (sy + (row - top)) * src.pitch + sx;
    uint32_t* d = dst.pixels + row * dst.pitch + left;
    if (mode.tint == 0xFFFFFFFF) {
      if (mode.blend) {
        blend_row(s, d, n);
      } else {
        copy_row_masked(s, d, n, kRgb, 0);
      }
    } else {
      for (int i = 0; i < n; ++i) {
        const uint32_t p = tint_pixel(s[i], mode.tint);
        d[i] = mode.blend ? blend_pixel(p, d[i]) : (p & kRgb);
      }
    }
  }
}

}  // namespace d3d9sw

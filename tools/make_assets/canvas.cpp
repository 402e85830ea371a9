#include "canvas.h"

#include <algorithm>
#include <cmath>

namespace assets {

static uint8_t Clamp8(float v) { return uint8_t(std::clamp(std::lround(v), 0L, 255L)); }

Rgba Mix(Rgba a, Rgba b, float t) {
  return Rgba{Clamp8(a.r + (b.r - a.r) * t), Clamp8(a.g + (b.g - a.g) * t), Clamp8(a.b + (b.b - a.b) * t),
              a.a};
}

Rgba Shade(Rgba c, float factor) {
  if (factor <= 1.0f) return Rgba{Clamp8(c.r * factor), Clamp8(c.g * factor), Clamp8(c.b * factor), c.a};
  return Mix(c, Rgba{255, 255, 255, c.a}, factor - 1.0f);
}

Rgba WithAlpha(Rgba c, uint8_t alpha) { return Rgba{c.r, c.g, c.b, alpha}; }

Canvas::Canvas(int width, int height, int samples)
    : width_(width), height_(height), samples_(samples), grid_(size_t(width) * height * samples * samples) {}

void Canvas::Fill(Rgba colour) { std::fill(grid_.begin(), grid_.end(), colour); }

void Canvas::BlendSample(int sx, int sy, Rgba c) {
  const int gw = width_ * samples_;
  if (sx < 0 || sy < 0 || sx >= gw || sy >= height_ * samples_ || c.a == 0) return;
  Rgba& d = grid_[size_t(sy) * gw + sx];
  if (c.a == 255 || d.a == 0) {
    d = c;
    return;
  }
  const float sa = c.a / 255.0f, da = d.a / 255.0f;
  const float oa = sa + da * (1 - sa);
  auto ch = [&](uint8_t s, uint8_t t) { return Clamp8((s * sa + t * da * (1 - sa)) / oa); };
  d = Rgba{ch(c.r, d.r), ch(c.g, d.g), ch(c.b, d.b), Clamp8(oa * 255)};
}

// Visits every sample whose centre lies in the box and for which `inside`
// holds at the sample centre (in output-pixel coordinates).
template <typename Inside>
void Canvas::Paint(float x0, float y0, float x1, float y1, Rgba colour, Inside inside) {
  const float s = float(samples_);
  const int sx0 = std::max(0, int(std::floor(x0 * s))), sy0 = std::max(0, int(std::floor(y0 * s)));
  const int sx1 = std::min(width_ * samples_ - 1, int(std::ceil(x1 * s)));
  const int sy1 = std::min(height_ * samples_ - 1, int(std::ceil(y1 * s)));
  for (int sy = sy0; sy <= sy1; ++sy) {
    const float py = (sy + 0.5f) / s;
    for (int sx = sx0; sx <= sx1; ++sx) {
      const float px = (sx + 0.5f) / s;
      if (inside(px, py)) BlendSample(sx, sy, colour);
    }
  }
}

void Canvas::FillRect(float x, float y, float w, float h, Rgba colour) {
  Paint(x, y, x + w, y + h, colour,
        [&](float px, float py) { return px >= x && px < x + w && py >= y && py < y + h; });
}

void Canvas::FillRoundRect(float x, float y, float w, float h, float r, Rgba colour) {
  r = std::min({r, w / 2, h / 2});
  Paint(x, y, x + w, y + h, colour, [&](float px, float py) {
    if (px < x || px >= x + w || py < y || py >= y + h) return false;
    const float cx = std::clamp(px, x + r, x + w - r), cy = std::clamp(py, y + r, y + h - r);
    const float dx = px - cx, dy = py - cy;
    return dx * dx + dy * dy <= r * r;
  });
}

void Canvas::FillEllipse(float cx, float cy, float rx, float ry, Rgba colour) {
  Paint(cx - rx, cy - ry, cx + rx, cy + ry, colour, [&](float px, float py) {
    const float dx = (px - cx) / rx, dy = (py - cy) / ry;
    return dx * dx + dy * dy <= 1.0f;
  });
}

void Canvas::FillPolygon(const std::vector<Point>& pts, Rgba colour) {
  if (pts.size() < 3) return;
  float x0 = pts[0].x, x1 = x0, y0 = pts[0].y, y1 = y0;
  for (const Point& p : pts) {
    x0 = std::min(x0, p.x), x1 = std::max(x1, p.x), y0 = std::min(y0, p.y), y1 = std::max(y1, p.y);
  }
  Paint(x0, y0, x1, y1, colour, [&](float px, float py) {
    int winding = 0;
    for (size_t i = 0; i < pts.size(); ++i) {
      const Point a = pts[i], b = pts[(i + 1) % pts.size()];
      const float side = (b.x - a.x) * (py - a.y) - (px - a.x) * (b.y - a.y);
      if (a.y <= py) {
        if (b.y > py && side > 0) ++winding;
      } else if (b.y <= py && side < 0) {
        --winding;
      }
    }
    return winding != 0;
  });
}

void Canvas::Line(Point a, Point b, float width, Rgba colour) {
  const float r = width / 2;
  const float dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
  Paint(std::min(a.x, b.x) - r, std::min(a.y, b.y) - r, std::max(a.x, b.x) + r, std::max(a.y, b.y) + r,
        colour, [&](float px, float py) {
          float t = len2 > 0 ? ((px - a.x) * dx + (py - a.y) * dy) / len2 : 0;
          t = std::clamp(t, 0.0f, 1.0f);
          const float ex = px - (a.x + t * dx), ey = py - (a.y + t * dy);
          return ex * ex + ey * ey <= r * r;
        });
}

void Canvas::Arc(float cx, float cy, float r, float a0, float a1, float width, Rgba colour) {
  const float outer = r + width / 2, inner = r - width / 2;
  constexpr float kTurn = 6.28318530718f;
  Paint(cx - outer, cy - outer, cx + outer, cy + outer, colour, [&](float px, float py) {
    const float dx = px - cx, dy = py - cy, d2 = dx * dx + dy * dy;
    if (d2 > outer * outer || d2 < inner * inner) return false;
    float a = std::atan2(dy, dx);
    while (a < a0) a += kTurn;
    return a <= a1;
  });
}

void Canvas::DrawSamples(const Image& picture, float x, float y) {
  const int ox = int(std::lround(x * samples_)), oy = int(std::lround(y * samples_));
  for (int py = 0; py < picture.height; ++py) {
    for (int px = 0; px < picture.width; ++px) BlendSample(ox + px, oy + py, picture.at(px, py));
  }
}

void Canvas::DrawImage(const Image& picture, float x, float y) {
  const int ox = int(std::lround(x * samples_)), oy = int(std::lround(y * samples_));
  for (int sy = 0; sy < picture.height * samples_; ++sy) {
    for (int sx = 0; sx < picture.width * samples_; ++sx) {
      BlendSample(ox + sx, oy + sy, picture.at(sx / samples_, sy / samples_));
    }
  }
}

Image Canvas::Resolve() const {
  Image out(width_, height_);
  const int gw = width_ * samples_, n = samples_ * samples_;
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      float r = 0, g = 0, b = 0, a = 0;
      for (int j = 0; j < samples_; ++j) {
        for (int i = 0; i < samples_; ++i) {
          const Rgba& s = grid_[size_t(y * samples_ + j) * gw + x * samples_ + i];
          const float sa = s.a / 255.0f;
          r += s.r * sa, g += s.g * sa, b += s.b * sa, a += sa;
        }
      }
      if (a > 0) out.at(x, y) = Rgba{Clamp8(r / a), Clamp8(g / a), Clamp8(b / a), Clamp8(a / n * 255)};
    }
  }
  return out;
}

Image KeyOut(const Image& picture) {
  Image out = picture;
  for (Rgba& p : out.pixels) {
    if (p.a < 128) {
      p = kKey;
    } else {
      p.a = 255;
      if (p == kKey) p.g = 1;
    }
  }
  return out;
}

void AddRim(Image& picture, Rgba colour) {
  const Image before = picture;
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      if (before.at(x, y).a >= 128) continue;
      bool near = false;
      for (int dy = -1; dy <= 1 && !near; ++dy) {
        for (int dx = -1; dx <= 1 && !near; ++dx) {
          const int nx = x + dx, ny = y + dy;
          near =
              nx >= 0 && ny >= 0 && nx < picture.width && ny < picture.height && before.at(nx, ny).a >= 128;
        }
      }
      if (near) picture.at(x, y) = colour;
    }
  }
}

Image Crop(const Image& picture, int x, int y, int w, int h) {
  Image out(w, h);
  for (int j = 0; j < h; ++j) {
    for (int i = 0; i < w; ++i) out.at(i, j) = picture.at(x + i, y + j);
  }
  return out;
}

void Paste(Image& into, const Image& picture, int x, int y) {
  for (int j = 0; j < picture.height; ++j) {
    for (int i = 0; i < picture.width; ++i) {
      const int tx = x + i, ty = y + j;
      if (tx >= 0 && ty >= 0 && tx < into.width && ty < into.height) into.at(tx, ty) = picture.at(i, j);
    }
  }
}

}  // namespace assets

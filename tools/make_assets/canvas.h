// A drawing surface for the asset generator.
//
// Shapes are drawn onto a grid of samples, `samples` x `samples` per output
// pixel, with hard edges at sample level; Resolve() averages the samples into
// the finished picture, which gives smooth edges between colours. All
// coordinates are in output pixels (floats), so a drawing does not depend on
// the sample count. Everything is plain arithmetic on the inputs: the same
// calls give the same bytes on every run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assets {

struct Rgba {
  uint8_t r = 0, g = 0, b = 0, a = 0;
  bool operator==(const Rgba&) const = default;
};

// 0xRRGGBB, opaque.
constexpr Rgba Hex(uint32_t rgb, uint8_t alpha = 255) {
  return Rgba{uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb), alpha};
}

// Mixes a towards b by t in 0..1 (colour channels only; alpha from a).
Rgba Mix(Rgba a, Rgba b, float t);
Rgba Shade(Rgba c, float factor);  // darker below 1, lighter above
Rgba WithAlpha(Rgba c, uint8_t alpha);

struct Point {
  float x = 0, y = 0;
};

// A finished picture at output resolution, straight (not premultiplied) alpha.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<Rgba> pixels;

  Image() = default;
  Image(int w, int h, Rgba fill = {}) : width(w), height(h), pixels(size_t(w) * h, fill) {}
  Rgba& at(int x, int y) { return pixels[size_t(y) * width + x]; }
  const Rgba& at(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

class Canvas {
 public:
  Canvas(int width, int height, int samples);

  int width() const { return width_; }
  int height() const { return height_; }
  int samples() const { return samples_; }

  void Fill(Rgba colour);
  void FillRect(float x, float y, float w, float h, Rgba colour);
  void FillRoundRect(float x, float y, float w, float h, float radius, Rgba colour);
  void FillEllipse(float cx, float cy, float rx, float ry, Rgba colour);
  void FillCircle(float cx, float cy, float r, Rgba colour) { FillEllipse(cx, cy, r, r, colour); }
  void FillPolygon(const std::vector<Point>& points, Rgba colour);
  // A stroke with round ends.
  void Line(Point a, Point b, float width, Rgba colour);
  // A ring between radii r - width/2 and r + width/2, from angle a0 to a1 (radians, clockwise from +x).
  void Arc(float cx, float cy, float r, float a0, float a1, float width, Rgba colour);

  // Blends `colour` over the sample at sample coordinates.
  void BlendSample(int sx, int sy, Rgba colour);
  // Draws a picture made at sample resolution with its top-left at (x, y) output pixels.
  void DrawSamples(const Image& picture, float x, float y);
  // Draws an output-resolution picture, each pixel covering samples x samples samples.
  void DrawImage(const Image& picture, float x, float y);

  Image Resolve() const;

 private:
  template <typename Inside>
  void Paint(float x0, float y0, float x1, float y1, Rgba colour, Inside inside);

  int width_, height_, samples_;
  std::vector<Rgba> grid_;
};

// Turns a picture into a sprite on the key colour: pixels at least half
// covered become fully opaque in their own colour, the rest become magenta.
// An opaque pixel that happens to be magenta is nudged off the key.
Image KeyOut(const Image& picture);
// Adds a one-pixel rim of `colour` around every opaque shape (8-neighbourhood)
// where the picture is transparent. Run before KeyOut.
void AddRim(Image& picture, Rgba colour);
// A copy of the region (x, y, w, h) of a picture.
Image Crop(const Image& picture, int x, int y, int w, int h);
// Copies a picture into another at (x, y), replacing the pixels it covers.
void Paste(Image& into, const Image& picture, int x, int y);

constexpr Rgba kKey{255, 0, 255, 255};

}  // namespace assets

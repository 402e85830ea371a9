#include <cmath>

#include "palette.h"
#include "pictures.h"

namespace assets {

namespace pal = palette;

static constexpr int kStep[8][2] = {{-1, 0}, {-1, -1}, {0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}};

float HeadingAngle(int heading) {
  return std::atan2(float(kStep[heading & 7][1]), float(kStep[heading & 7][0]));
}

float FlightAngle(int heading) {
  return std::atan2(6.0f * kStep[heading & 7][1], 8.0f * kStep[heading & 7][0]);
}

void DrawPaperPlane(Canvas& canvas, float cx, float cy, float angle, float scale, Rgba paper, Rgba fold) {
  const float c = std::cos(angle), s = std::sin(angle);
  auto at = [&](float x, float y) {
    return Point{cx + (x * c - y * s) * scale, cy + (x * s + y * c) * scale};
  };
  // Nose at +x; the crease runs from the nose to the tail, and the trailing
  // edge is cut into a V so the back of the dart reads at a glance.
  const Point nose = at(13, 0), tail = at(-7.5f, 0);
  canvas.FillPolygon({nose, at(-11, -7.5f), at(-5, -1.4f), tail}, paper);
  canvas.FillPolygon({nose, tail, at(-5, 1.4f), at(-11, 7.5f)}, fold);
  // The keel folded under the crease shows as a narrow strip.
  canvas.FillPolygon({nose, at(-9.5f, -1.4f), at(-9.5f, 1.4f)}, Shade(fold, 0.85f));
  canvas.Line(nose, at(-9, 0), 0.7f * scale, Shade(fold, 0.7f));
}

Image FighterSheet(const KidLook& look) {
  constexpr int kW = 56, kH = 64;
  Image sheet(8 * kW, 4 * kH);
  for (int heading = 0; heading < 8; ++heading) {
    for (int frame = 0; frame < 4; ++frame) {
      Image kid = DrawKid(look, KidPose{HeadingAngle(heading), frame}, kW, kH, 28, 58, 1.1f);
      AddRim(kid, pal::kInk);
      // A flat shadow on the floor under the feet, behind the figure.
      Canvas shadow(kW, kH, 4);
      shadow.FillEllipse(28, 58.5f, 16, 4.5f, pal::kFloorShadow);
      Image cell = shadow.Resolve();
      for (size_t i = 0; i < cell.pixels.size(); ++i) {
        if (kid.pixels[i].a >= 128) cell.pixels[i] = kid.pixels[i];
      }
      Paste(sheet, KeyOut(cell), heading * kW, frame * kH);
    }
  }
  return sheet;
}

}  // namespace assets

namespace assets {

Image AirplaneSheet() {
  Image sheet(256, 32);
  for (int heading = 0; heading < 8; ++heading) {
    Canvas cell(32, 32, 4);
    DrawPaperPlane(cell, 16, 16, FlightAngle(heading), 1.0f, pal::kPlane, pal::kPlaneShade);
    Image plane = cell.Resolve();
    AddRim(plane, pal::kInk);
    Paste(sheet, KeyOut(plane), heading * 32, 0);
  }
  return sheet;
}

Image MenuCursor() {
  Canvas canvas(54, 36, 4);
  DrawPaperPlane(canvas, 29, 18, 3.14159265f, 2.0f, pal::kPlane, pal::kGold);
  Image cursor = canvas.Resolve();
  AddRim(cursor, pal::kInk);
  return KeyOut(cursor);
}

Image Desk() {
  Canvas c(128, 64, 4);
  // Table top with a rim of darker wood and a few grain lines.
  c.FillRoundRect(0, 0, 128, 64, 6, pal::kInk);
  c.FillRoundRect(1, 1, 126, 62, 5, pal::kDeskDark);
  c.FillRoundRect(1, 1, 126, 58, 5, pal::kDesk);
  for (int i = 0; i < 6; ++i) {
    const float y = 8 + i * 9 + (i % 2) * 2.5f;
    const float x0 = 6 + (i * 37) % 30, x1 = 122 - (i * 23) % 40;
    c.Line({x0, y}, {x1, y}, 1.0f, Shade(pal::kDesk, 0.9f));
  }
  c.FillRect(4, 3, 120, 1.5f, Shade(pal::kDesk, 1.15f));
  // An open exercise book.
  c.FillRect(13, 11, 46, 36, pal::kInk);
  c.FillRect(14, 12, 21.5f, 34, pal::kPaper);
  c.FillRect(36.5f, 12, 21.5f, 34, pal::kPaper);
  c.FillRect(35.5f, 12, 1, 34, pal::kPaperShade);
  for (int line = 0; line < 5; ++line) {
    const float y = 18 + line * 5.5f;
    c.Line({17, y}, {33, y}, 0.8f, Hex(0x9cb8d8));
    c.Line({39, y}, {55 - (line == 4) * 8.0f, y}, 0.8f, Hex(0x9cb8d8));
  }
  // A pencil.
  const Point tip{72, 44}, end{112, 20};
  c.Line(tip, end, 5.0f, pal::kInk);
  c.Line({74, 42.8f}, {108, 22.4f}, 3.4f, pal::kGold);
  c.Line({108, 22.4f}, {111, 20.6f}, 3.4f, Hex(0xf08f9a));
  c.FillPolygon({{72.5f, 43.8f}, {77, 39.5f}, {78.8f, 42.5f}}, Hex(0xf2d8b0));
  // An apple for the teacher.
  c.FillCircle(98, 44, 7.5f, pal::kInk);
  c.FillCircle(98, 44, 6.5f, pal::kLeft);
  c.FillCircle(95.5f, 41.5f, 2.0f, Shade(pal::kLeft, 1.35f));
  c.Line({98, 37.5f}, {99.5f, 34.5f}, 1.2f, pal::kFrameDark);
  c.FillEllipse(102, 35.5f, 2.8f, 1.4f, Hex(0x5cc28a));
  return KeyOut(c.Resolve());
}

}  // namespace assets

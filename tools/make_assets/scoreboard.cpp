#include <cmath>
#include <string>

#include "palette.h"
#include "pictures.h"
#include "text.h"

namespace assets {

namespace pal = palette;

Image ScoreDigits() {
  Image sheet(144, 60);
  for (int digit = 0; digit <= 5; ++digit) {
    Canvas c(24, 60, 4);
    // A flip card: two halves with a hinge line across the middle.
    c.FillRoundRect(0, 2, 24, 56, 5, pal::kInk);
    c.FillRoundRect(1.5f, 3.5f, 21, 53, 4, pal::kPaper);
    c.FillRoundRect(1.5f, 30, 21, 26.5f, 4, pal::kPaperShade);
    c.FillRect(1.5f, 30, 21, 4, pal::kPaperShade);
    DrawText(c, TextStyle{Face::SansCondensedBold, 32, pal::kInk}, std::to_string(digit), 12, 30,
             Align::Centre);
    c.FillRect(1.5f, 29.5f, 21, 1.2f, Shade(pal::kPaperShade, 0.75f));
    Paste(sheet, KeyOut(c.Resolve()), digit * 24, 0);
  }
  return sheet;
}

// The kid's head and shoulders inside a round badge of `ring` colour.
static void DrawBadge(Canvas& c, const KidLook& look, float cx, float cy, float radius, Rgba ring) {
  c.FillCircle(cx, cy, radius + 1.5f, pal::kInk);
  c.FillCircle(cx, cy, radius, ring);
  c.FillCircle(cx, cy, radius - 3, pal::kPaper);
  const int size = int(std::ceil(2 * radius));
  const float scale = radius / 16.0f;
  const float elevation = 0.25f;  // nearly face on, as in a photo
  const float head_height = 45.8f * std::cos(elevation) - 2.5f;
  Image kid = DrawKid(look, KidPose{1.5707963f, 0, elevation}, size, size, radius,
                      radius + head_height * scale, scale);
  const float inner = radius - 3;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const float dx = x + 0.5f - radius, dy = y + 0.5f - radius;
      if (dx * dx + dy * dy > inner * inner) kid.at(x, y).a = 0;
    }
  }
  c.DrawImage(kid, cx - radius, cy - radius);
}

// A kid's plate: the badge, the kid's name and, under it, who plays the kid:
// the player's keys, or the word COMPUTER on a steel-ringed badge.
static Image Plate(bool left_player, bool computer) {
  const int w = left_player ? 124 : 160, h = left_player ? 72 : 64;
  const Rgba colour = left_player ? pal::kLeft : pal::kRight;
  const Rgba dark = left_player ? pal::kLeftDark : pal::kRightDark;
  Canvas c(w, h, 4);
  c.FillRoundRect(0, 0, w, h, 10, pal::kInk);
  c.FillRoundRect(1.5f, 1.5f, w - 3, h - 3, 9, dark);
  c.FillRoundRect(1.5f, 1.5f, w - 3, h - 6, 9, colour);
  const float badge = left_player ? 21 : 20;
  DrawBadge(c, left_player ? pal::kLily : pal::kMax, 4 + badge, h / 2.0f - 1, badge,
            computer ? pal::kSteel : pal::kGold);
  const float text_x = 8 + 2 * badge + (w - 8 - 2 * badge) / 2.0f;
  DrawText(c, TextStyle{Face::SansBold, 22, pal::kPaper, 1.5f, pal::kInk}, left_player ? "LILY" : "MAX",
           text_x, h / 2.0f - 9, Align::Centre);
  if (computer) {
    // The word on a dark tab, so it reads as the player's name does.
    const float tab_w = left_player ? 68 : 86;
    c.FillRoundRect(text_x - tab_w / 2, h / 2.0f + 6, tab_w, 16, 4, pal::kInk);
    DrawText(c, TextStyle{Face::SansCondensedBold, 11, pal::kChalkYellow}, "COMPUTER", text_x, h / 2.0f + 14,
             Align::Centre);
  } else {
    DrawText(c, TextStyle{Face::SansCondensedBold, 10, pal::kPaper},
             left_player ? "W A S D  F" : "ARROWS  R-CTRL", text_x, h / 2.0f + 14, Align::Centre);
  }
  return KeyOut(c.Resolve());
}

Image NamePlate(bool left_player) { return Plate(left_player, false); }
Image ComputerPlate(bool left_player) { return Plate(left_player, true); }

static void DrawStar(Canvas& c, float cx, float cy, float r, Rgba colour) {
  std::vector<Point> points;
  for (int i = 0; i < 10; ++i) {
    const float a = -1.5707963f + i * 0.6283185f, rr = (i % 2) ? r * 0.45f : r;
    points.push_back({cx + rr * std::cos(a), cy + rr * std::sin(a)});
  }
  c.FillPolygon(points, colour);
}

static void DrawEnterKey(Canvas& c, float x, float y) {
  c.FillRoundRect(x, y, 62, 26, 5, pal::kInk);
  c.FillRoundRect(x + 1.5f, y + 1.5f, 59, 23, 4, pal::kPaperShade);
  c.FillRoundRect(x + 1.5f, y + 1.5f, 59, 19, 4, Hex(0xffffff));
  DrawText(c, TextStyle{Face::SansBold, 13, pal::kInk}, "Enter", x + 31, y + 11.5f, Align::Centre);
}

Image Banner(bool left_player, bool wins) {
  constexpr int kW = 280, kH = 256;
  const Rgba colour = left_player ? pal::kLeft : pal::kRight;
  const Rgba dark = left_player ? pal::kLeftDark : pal::kRightDark;
  const std::string name = left_player ? "Lily" : "Max";
  Canvas c(kW, kH, 3);
  // A paper card with a hard shadow, under a ribbon in the player's colour.
  c.FillRoundRect(8, 22, 268, 230, 14, pal::kInk);
  c.FillRoundRect(4, 18, 268, 230, 14, pal::kInk);
  c.FillRoundRect(6, 20, 264, 226, 12, pal::kPaper);
  c.FillPolygon({{0, 6}, {280, 6}, {268, 34}, {280, 62}, {0, 62}, {12, 34}}, pal::kInk);
  c.FillPolygon({{3, 8.5f}, {277, 8.5f}, {265.5f, 34}, {277, 59.5f}, {3, 59.5f}, {14.5f, 34}}, colour);
  c.FillRect(3, 54, 274, 5.5f, dark);
  DrawText(c, TextStyle{Face::SansBold, 30, pal::kPaper, 2, pal::kInk}, wins ? "WINNER!" : "POINT!", 140, 32,
           Align::Centre);
  if (wins) {
    DrawStar(c, 52, 92, 15, pal::kInk);
    DrawStar(c, 52, 92, 12.5f, pal::kGold);
    DrawStar(c, 228, 92, 15, pal::kInk);
    DrawStar(c, 228, 92, 12.5f, pal::kGold);
  }
  DrawBadge(c, left_player ? pal::kLily : pal::kMax, 140, 112, 38, wins ? pal::kGold : colour);
  const std::string line = wins ? name + " wins the duel!" : name + " scores a hit!";
  DrawText(c, TextStyle{Face::SansBold, 19, pal::kInk}, line, 140, 172, Align::Centre);
  DrawText(c, TextStyle{Face::Sans, 13, Shade(pal::kInk, 1.3f)}, "Press", 88, 214, Align::Right);
  DrawEnterKey(c, 94, 201);
  DrawText(c, TextStyle{Face::Sans, 13, Shade(pal::kInk, 1.3f)}, wins ? "for the menu" : "to play on", 162,
           214, Align::Left);
  return KeyOut(c.Resolve());
}

}  // namespace assets

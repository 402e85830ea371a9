// The game's icon: Lily and Max glaring at each other over a school desk, a
// paper airplane between them, on a chalkboard in a wooden frame with round
// corners. Drawn on a 256-unit grid scaled to the icon's size, with large
// shapes and few details so it still reads at 48 pixels.
#include <cmath>

#include "palette.h"
#include "pictures.h"

namespace assets {

namespace pal = palette;

namespace {

constexpr int kSamples = 4;
constexpr float kPi = 3.14159265f;

// The frame's outer edge, its inner edge (the board's) and their corner radii, in grid units.
constexpr float kOuter = 8, kOuterRadius = 46;
constexpr float kInner = 22, kInnerRadius = 32;
constexpr float kDeskTop = 184;

// One kid from the chest up: the whole figure drawn at the icon's size, seen
// from a little above so the face shows, turned by `heading` (0 faces right,
// pi/2 faces the viewer).
Image Kid(const KidLook& look, float heading, float centre_x, float k, int size) {
  constexpr float kElevation = 0.32f, kScale = 4.0f;
  // The head's centre (45 body units up) comes out at grid row 114.
  const float foot_y = (114 + 45.8f * kScale * std::cos(kElevation)) * k;
  Image kid = DrawKid(look, KidPose{heading, 0, kElevation}, size, size, centre_x * k, foot_y, kScale * k);
  AddRim(kid, pal::kInk);
  return kid;
}

// A round-cornered square covering the grid square (inset .. 256 - inset), as
// coverage: alpha 255 inside, 0 outside, smooth along the edge.
Image Shape(int size, float k, float inset, float radius) {
  Canvas c(size, size, kSamples);
  c.FillRoundRect(inset * k, inset * k, (256 - 2 * inset) * k, (256 - 2 * inset) * k, radius * k,
                  Hex(0xffffff));
  return c.Resolve();
}

}  // namespace

Image GameIcon(int size) {
  const float k = size / 256.0f;

  // The board with everything on it, over the whole square; the frame's
  // inner edge cuts it to shape below.
  Canvas board(size, size, kSamples);
  board.Fill(pal::kBoard);
  board.FillEllipse(128 * k, 70 * k, 110 * k, 40 * k, WithAlpha(pal::kChalk, 14));
  board.DrawImage(Kid(pal::kLily, 0.62f, 76, k, size), 0, 0);
  board.DrawImage(Kid(pal::kMax, kPi - 0.62f, 180, k, size), 0, 0);
  // The desk they share, seen edge-on: a lit top edge over the wood.
  board.FillRect(0, kDeskTop * k, size, (256 - kDeskTop) * k, pal::kInk);
  board.FillRect(0, (kDeskTop + 3) * k, size, (256 - kDeskTop) * k, pal::kDeskDark);
  board.FillRect(0, (kDeskTop + 3) * k, size, 12 * k, pal::kDesk);
  board.FillRect(0, (kDeskTop + 6) * k, size, 3 * k, Shade(pal::kDesk, 1.2f));
  // The airplane, crossing from Lily towards Max over their heads.
  DrawPaperPlane(board, 128 * k, 44 * k, -0.22f, 3.1f * k, pal::kPlane, pal::kPlaneShade);
  const Image inside = board.Resolve();

  Canvas frame(size, size, kSamples);
  frame.FillRoundRect(kOuter * k, kOuter * k, (256 - 2 * kOuter) * k, (256 - 2 * kOuter) * k,
                      kOuterRadius * k, pal::kInk);
  frame.FillRoundRect((kOuter + 3) * k, (kOuter + 3) * k, (256 - 2 * kOuter - 6) * k,
                      (256 - 2 * kOuter - 6) * k, (kOuterRadius - 3) * k, pal::kFrame);
  frame.FillRoundRect((kInner - 3) * k, (kInner - 3) * k, (256 - 2 * kInner + 6) * k,
                      (256 - 2 * kInner + 6) * k, (kInnerRadius + 3) * k, pal::kFrameDark);
  Image icon = frame.Resolve();

  const Image board_shape = Shape(size, k, kInner, kInnerRadius);
  for (size_t i = 0; i < icon.pixels.size(); ++i) {
    const uint8_t alpha = icon.pixels[i].a;
    icon.pixels[i] =
        WithAlpha(Mix(icon.pixels[i], inside.pixels[i], board_shape.pixels[i].a / 255.0f), alpha);
  }
  return icon;
}

}  // namespace assets

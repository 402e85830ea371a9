// The pictures as files: exact sizes, sprite sheets cut into cells that are
// keyed around the figure and drawn inside, hard sprite edges, opaque full
// screens, and content the game relies on (headings, walk frames, digits,
// menu entries where the cursor points).
#include <gtest/gtest.h>

#include <cmath>

#include "asset_pictures.h"

namespace {

struct Sheet {
  const char* name;
  int width, height, cell_width, cell_height;
};
const Sheet kSheets[] = {{"KidRight.bmp", 448, 256, 56, 64},
                         {"kidleft.bmp", 448, 256, 56, 64},
                         {"airplane.bmp", 256, 32, 32, 32},
                         {"scores.bmp", 144, 60, 24, 60},
                         {"desk.bmp", 128, 64, 128, 64},
                         {"Leftplayerscores.bmp", 280, 256, 280, 256},
                         {"Rightplayerscores.bmp", 280, 256, 280, 256},
                         {"LeftPlayerWins.bmp", 280, 256, 280, 256},
                         {"RightPlayerWins.bmp", 280, 256, 280, 256},
                         {"leftplayername.bmp", 124, 72, 124, 72},
                         {"rightplayername.bmp", 160, 64, 160, 64},
                         {"leftcomputername.bmp", 124, 72, 124, 72},
                         {"rightcomputername.bmp", 160, 64, 160, 64},
                         {"airplanecursor.png", 54, 36, 54, 36}};
const char* const kScreens[] = {"classroom.bmp", "ssfrontmenu.jpg", "helpmenu.jpg", "credits.jpg"};

int Luma(uint32_t rgb) {
  return (int((rgb >> 16) & 0xFF) * 3 + int((rgb >> 8) & 0xFF) * 6 + int(rgb & 0xFF)) / 10;
}

// The largest distance from the cell's centre, along (dx, dy), of any drawn pixel.
float Reach(const Picture& p, int x0, int y0, int size, float dx, float dy) {
  float best = -1e9f;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x)
      if (p.at(x0 + x, y0 + y) != kKeyRgb)
        best = std::max(best, (x + 0.5f - size / 2.0f) * dx + (y + 0.5f - size / 2.0f) * dy);
  return best;
}

}  // namespace

TEST(AssetPictures, EveryPictureHasItsExactSize) {
  for (const Sheet& s : kSheets) {
    const Picture p = Decode(AssetPath(s.name));
    EXPECT_EQ(p.width, s.width) << s.name;
    EXPECT_EQ(p.height, s.height) << s.name;
  }
  for (const char* name : kScreens) {
    const Picture p = Decode(AssetPath(name));
    EXPECT_EQ(p.width, 800) << name;
    EXPECT_EQ(p.height, 600) << name;
  }
}

TEST(AssetPictures, SpriteCellsAreKeyedAroundAHardEdgedFigure) {
  for (const Sheet& s : kSheets) {
    const Picture p = Decode(AssetPath(s.name));
    ASSERT_EQ(p.width, s.width) << s.name;
    for (int cy = 0; cy < s.height; cy += s.cell_height) {
      for (int cx = 0; cx < s.width; cx += s.cell_width) {
        SCOPED_TRACE(std::string(s.name) + " cell at " + std::to_string(cx) + "," + std::to_string(cy));
        const int right = cx + s.cell_width - 1, bottom = cy + s.cell_height - 1;
        EXPECT_EQ(p.at(cx, cy), kKeyRgb);
        EXPECT_EQ(p.at(right, cy), kKeyRgb);
        EXPECT_EQ(p.at(cx, bottom), kKeyRgb);
        EXPECT_EQ(p.at(right, bottom), kKeyRgb);
        EXPECT_GE(OpaqueCount(p, cx, cy, s.cell_width, s.cell_height), s.cell_width * s.cell_height / 6);
      }
    }
    int fringe = 0;
    for (uint32_t px : p.pixels) fringe += NearKey(px);
    EXPECT_EQ(fringe, 0) << s.name << " has pixels blended towards the key colour";
  }
}

TEST(AssetPictures, FullScreensHaveNoKeyColouredHoles) {
  for (const char* name : kScreens) {
    const Picture p = Decode(AssetPath(name));
    ASSERT_EQ(p.width, 800) << name;
    EXPECT_EQ(OpaqueCount(p, 0, 0, 800, 600), 800 * 600) << name;
  }
}

TEST(AssetPictures, ScoreDigitsAreDistinct) {
  const Picture p = Decode(AssetPath("scores.bmp"));
  ASSERT_EQ(p.width, 144);
  for (int a = 0; a < 6; ++a)
    for (int b = a + 1; b < 6; ++b)
      EXPECT_GE(DifferingPixels(p, a * 24, 0, p, b * 24, 0, 24, 60), 40) << a << " and " << b;
}

TEST(AssetPictures, FightersChangeWithHeadingAndWalkFrameAndTheKidsDiffer) {
  const Picture left = Decode(AssetPath("kidleft.bmp")), right = Decode(AssetPath("KidRight.bmp"));
  ASSERT_EQ(left.width, 448);
  ASSERT_EQ(right.width, 448);
  for (const Picture* sheet : {&left, &right}) {
    for (int h = 0; h < 8; ++h) {
      for (int other = h + 1; other < 8; ++other)
        EXPECT_GE(DifferingPixels(*sheet, h * 56, 0, *sheet, other * 56, 0, 56, 64), 80)
            << h << " vs " << other;
      // Every walk frame moves something, and the two strides (rows 1 and 3) swap legs and arms.
      for (int row = 0; row < 4; ++row)
        EXPECT_GE(DifferingPixels(*sheet, h * 56, row * 64, *sheet, h * 56, (row + 1) % 4 * 64, 56, 64), 20)
            << "heading " << h << " frames " << row << ", " << (row + 1) % 4;
      EXPECT_GE(DifferingPixels(*sheet, h * 56, 64, *sheet, h * 56, 192, 56, 64), 40) << "heading " << h;
    }
  }
  for (int h = 0; h < 8; ++h) {
    const int drawn = OpaqueCount(left, h * 56, 0, 56, 64);
    EXPECT_GE(DifferingPixels(left, h * 56, 0, right, h * 56, 0, 56, 64), drawn / 2) << "heading " << h;
  }
}

TEST(AssetPictures, AirplanesPointWhereTheyFly) {
  const Picture p = Decode(AssetPath("airplane.bmp"));
  ASSERT_EQ(p.width, 256);
  const int steps[8][2] = {{-8, 0}, {-8, -6}, {0, -6}, {8, -6}, {8, 0}, {8, 6}, {0, 6}, {-8, 6}};
  for (int h = 0; h < 8; ++h) {
    const float len = std::hypot(float(steps[h][0]), float(steps[h][1]));
    const float dx = steps[h][0] / len, dy = steps[h][1] / len;
    // A dart: its narrow end, the nose, lies ahead of the centre and its
    // wide wings behind it.
    int front = 0, back = 0;
    for (int y = 0; y < 32; ++y) {
      for (int x = 0; x < 32; ++x) {
        if (p.at(h * 32 + x, y) == kKeyRgb) continue;
        const float along = (x + 0.5f - 16) * dx + (y + 0.5f - 16) * dy;
        front += along > 4, back += along < -4;
      }
    }
    EXPECT_LT(front * 3, back * 2) << "heading " << h;
    // Long along the flight, narrow across it.
    const float ahead = Reach(p, h * 32, 0, 32, dx, dy), behind = Reach(p, h * 32, 0, 32, -dx, -dy);
    const float across = std::max(Reach(p, h * 32, 0, 32, -dy, dx), Reach(p, h * 32, 0, 32, dy, -dx));
    EXPECT_GT(ahead + behind, 2 * across) << "heading " << h;
  }
}

TEST(AssetPictures, MenuCursorPointsLeft) {
  const Picture p = Decode(AssetPath("airplanecursor.png"));
  ASSERT_EQ(p.width, 54);
  // The nose is the narrow end: few drawn pixels in the first drawn columns,
  // many in the last ones.
  int first = 54, last = -1;
  for (int x = 0; x < 54; ++x)
    if (OpaqueCount(p, x, 0, 1, 36) > 0) first = std::min(first, x), last = x;
  ASSERT_LT(first, last);
  EXPECT_LT(OpaqueCount(p, first, 0, 6, 36) * 3, OpaqueCount(p, last - 5, 0, 6, 36));
}

TEST(AssetPictures, EveryCursorPositionPointsAtALabelledEntry) {
  struct Spot {
    const char* screen;
    int x, y;
  };
  const Spot spots[] = {{"ssfrontmenu.jpg", 525, 173}, {"ssfrontmenu.jpg", 526, 249},
                        {"ssfrontmenu.jpg", 575, 325}, {"ssfrontmenu.jpg", 525, 399},
                        {"helpmenu.jpg", 505, 408},    {"credits.jpg", 525, 400}};
  for (const Spot& s : spots) {
    const Picture p = Decode(AssetPath(s.screen));
    ASSERT_EQ(p.width, 800) << s.screen;
    // Left of the cursor's nose, on the cursor's middle line: light paper and dark letters.
    int light = 0, dark = 0;
    for (int y = s.y + 8; y < s.y + 28; ++y) {
      for (int x = s.x - 120; x < s.x - 8; ++x) {
        const int l = Luma(p.at(x, y));
        light += l > 200, dark += l < 80;
      }
    }
    EXPECT_GT(light, 400) << s.screen << " at " << s.x << "," << s.y;
    EXPECT_GT(dark, 40) << s.screen << " at " << s.x << "," << s.y;
  }
}

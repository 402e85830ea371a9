#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "palette.h"
#include "pictures.h"
#include "text.h"

namespace assets {

namespace pal = palette;

namespace {

constexpr int kW = 800, kH = 600, kSamples = 3;
constexpr float kPi = 3.14159265f;

// A fixed-seed generator for the scattered details (plank lengths, chalk
// dust), so every run draws the same room.
struct Scatter {
  uint32_t state;
  explicit Scatter(uint32_t seed) : state(seed) {}
  float Next() {  // 0..1
    state = state * 1664525u + 1013904223u;
    return float(state >> 8) / float(1u << 24);
  }
  float Range(float lo, float hi) { return lo + (hi - lo) * Next(); }
};

void DrawFloor(Canvas& c, float top) {
  Scatter rnd(7);
  constexpr float kPlank = 25;
  for (int row = 0; top + row * kPlank < kH; ++row) {
    const float y = top + row * kPlank;
    float x = -rnd.Range(0, 160);
    while (x < kW) {
      const float len = rnd.Range(130, 240);
      const Rgba tone = Mix(pal::kFloor, pal::kFloorDark, rnd.Range(0, 0.4f));
      c.FillRect(x, y, len, kPlank, tone);
      // Grain: a couple of long faint lines along the plank.
      for (int g = 0; g < 2; ++g) {
        const float gy = y + rnd.Range(5, kPlank - 5), gx = x + rnd.Range(8, 40);
        c.Line({gx, gy}, {gx + rnd.Range(40, len - 30), gy}, 1.0f, Shade(tone, 0.94f));
      }
      c.FillRect(x + len - 1.5f, y, 1.5f, kPlank, Mix(pal::kFloorShadow, pal::kFloorDark, 0.3f));
      x += len;
    }
    c.FillRect(0, y + kPlank - 1.5f, kW, 1.5f, Mix(pal::kFloorShadow, pal::kFloorDark, 0.3f));
  }
}

void DrawClock(Canvas& c, float cx, float cy, float r) {
  c.FillCircle(cx, cy, r + 3, pal::kInk);
  c.FillCircle(cx, cy, r, pal::kFrame);
  c.FillCircle(cx, cy, r - 4, pal::kPaper);
  for (int h = 0; h < 12; ++h) {
    const float a = h * kPi / 6, inner = (h % 3 == 0) ? r - 10 : r - 8;
    c.Line({cx + inner * std::cos(a), cy + inner * std::sin(a)},
           {cx + (r - 6) * std::cos(a), cy + (r - 6) * std::sin(a)}, h % 3 == 0 ? 2.0f : 1.2f, pal::kInk);
  }
  c.Line({cx, cy}, {cx + (r - 14) * std::cos(-kPi / 3), cy + (r - 14) * std::sin(-kPi / 3)}, 3, pal::kInk);
  c.Line({cx, cy}, {cx + (r - 9) * std::cos(kPi * 0.55f), cy + (r - 9) * std::sin(kPi * 0.55f)}, 2,
         pal::kInk);
  c.FillCircle(cx, cy, 2.5f, pal::kLeft);
}

void DrawWindow(Canvas& c, float x, float y, float w, float h) {
  c.FillRect(x - 3, y - 3, w + 6, h + 6, pal::kInk);
  c.FillRect(x, y, w, h, pal::kFrame);
  const float pane_w = (w - 12) / 2, pane_h = (h - 12) / 2;
  for (int i = 0; i < 2; ++i) {
    for (int j = 0; j < 2; ++j) {
      const float px = x + 4 + i * (pane_w + 4), py = y + 4 + j * (pane_h + 4);
      c.FillRect(px, py, pane_w, pane_h, Mix(Hex(0x9fd3f0), Hex(0xd9f0fb), j * 0.6f));
    }
  }
  c.Line({x + 8, y + h - 10}, {x + w * 0.45f, y + 10}, 2, WithAlpha(Hex(0xffffff), 120));
  c.FillEllipse(x + w * 0.72f, y + h * 0.30f, 9, 4, Hex(0xffffff));
  c.FillEllipse(x + w * 0.62f, y + h * 0.32f, 7, 3.5f, Hex(0xffffff));
}

// Chalkboard filling the screen inside a wooden frame, with a tray at the foot.
void DrawBoard(Canvas& c) {
  c.Fill(pal::kFrame);
  c.FillRect(0, 0, kW, 6, pal::kFrameDark);
  c.FillRect(0, kH - 6, kW, 6, pal::kFrameDark);
  c.FillRect(14, 14, kW - 28, kH - 40, pal::kInk);
  c.FillRect(17, 17, kW - 34, kH - 46, pal::kBoard);
  Scatter rnd(11);
  for (int i = 0; i < 40; ++i) {  // old chalk wiped across the board
    // One draw per declaration, so the order of the draws does not depend on
    // the compiler's order of evaluating arguments.
    const float x = rnd.Range(40, kW - 40), y = rnd.Range(40, kH - 60);
    const float rx = rnd.Range(40, 140), ry = rnd.Range(10, 30);
    const uint8_t alpha = uint8_t(rnd.Range(4, 10));
    c.FillEllipse(x, y, rx, ry, WithAlpha(pal::kChalk, alpha));
  }
  c.FillRect(17, 17, kW - 34, 5, pal::kBoardDark);
  // The chalk tray with two sticks of chalk.
  c.FillRect(8, kH - 30, kW - 16, 12, pal::kInk);
  c.FillRect(10, kH - 28, kW - 20, 8, pal::kFrameDark);
  c.FillRoundRect(600, kH - 34, 34, 7, 3, pal::kChalk);
  c.FillRoundRect(645, kH - 33, 22, 6, 3, pal::kChalkYellow);
}

// A sheet of paper stuck on the board with a strip of tape.
void DrawCard(Canvas& c, float x, float y, float w, float h, Rgba paper = pal::kPaper) {
  c.FillRoundRect(x + 4, y + 5, w, h, 6, WithAlpha(pal::kInk, 150));
  c.FillRoundRect(x - 1.5f, y - 1.5f, w + 3, h + 3, 7, pal::kInk);
  c.FillRoundRect(x, y, w, h, 6, paper);
  c.FillPolygon(
      {{x + w / 2 - 26, y - 8}, {x + w / 2 + 24, y - 10}, {x + w / 2 + 26, y + 8}, {x + w / 2 - 24, y + 10}},
      WithAlpha(Hex(0xf3ecc8), 190));
}

// A keyboard key with its label.
float DrawKeyCap(Canvas& c, float x, float cy, const std::string& label) {
  const TextStyle style{Face::SansBold, 15, pal::kInk};
  const float w = std::max(30.0f, TextWidth(style, label, c.samples()) + 16);
  c.FillRoundRect(x, cy - 15, w, 30, 5, pal::kInk);
  c.FillRoundRect(x + 1.5f, cy - 13.5f, w - 3, 27, 4, pal::kPaperShade);
  c.FillRoundRect(x + 1.5f, cy - 13.5f, w - 3, 22, 4, Hex(0xffffff));
  DrawText(c, style, label, x + w / 2, cy - 2.5f, Align::Centre);
  return w;
}

// A control on a game controller, drawn as the help screen shows it.
enum class PadControl { Up, Down, Left, Right, Throw };

// A small picture of the control centred on (cx, cy), about 60 x 28 pixels:
// a D-pad with the arm that is meant in `colour`, or for a throw the south
// face button ("A") and the right trigger ("RT").
void DrawPadControl(Canvas& c, float cx, float cy, PadControl control, Rgba colour) {
  if (control == PadControl::Throw) {
    const TextStyle label{Face::SansBold, 12, pal::kPaper};
    c.FillCircle(cx - 17, cy, 13, pal::kInk);
    c.FillCircle(cx - 17, cy, 11.5f, colour);
    DrawText(c, label, "A", cx - 17, cy, Align::Centre);
    DrawText(c, TextStyle{Face::Sans, 12, pal::kInk}, "or", cx + 3, cy, Align::Centre);
    // The trigger: a key-like tab, rounder on top.
    c.FillRoundRect(cx + 13, cy - 13, 30, 26, 8, pal::kInk);
    c.FillRoundRect(cx + 14.5f, cy - 11.5f, 27, 23, 7, colour);
    DrawText(c, label, "RT", cx + 28, cy + 0.5f, Align::Centre);
    return;
  }
  constexpr float kArm = 9, kReach = 13;  // arm width; centre to an arm's end
  c.FillRoundRect(cx - kArm / 2 - 1.5f, cy - kReach - 1.5f, kArm + 3, 2 * kReach + 3, 3, pal::kInk);
  c.FillRoundRect(cx - kReach - 1.5f, cy - kArm / 2 - 1.5f, 2 * kReach + 3, kArm + 3, 3, pal::kInk);
  c.FillRect(cx - kArm / 2, cy - kReach, kArm, 2 * kReach, pal::kPaperShade);
  c.FillRect(cx - kReach, cy - kArm / 2, 2 * kReach, kArm, pal::kPaperShade);
  switch (control) {
    case PadControl::Up:
      c.FillRect(cx - kArm / 2, cy - kReach, kArm, kReach - kArm / 2, colour);
      break;
    case PadControl::Down:
      c.FillRect(cx - kArm / 2, cy + kArm / 2, kArm, kReach - kArm / 2, colour);
      break;
    case PadControl::Left:
      c.FillRect(cx - kReach, cy - kArm / 2, kReach - kArm / 2, kArm, colour);
      break;
    default:
      c.FillRect(cx + kArm / 2, cy - kArm / 2, kReach - kArm / 2, kArm, colour);
      break;
  }
}

// A menu entry: a paper card whose right edge sits just left of the cursor's
// nose at (cursor_x, cursor_y), the cursor being 54 x 36.
void DrawEntry(Canvas& c, float cursor_x, float cursor_y, float width, const std::string& label) {
  const float cy = cursor_y + 18, right = cursor_x - 8;
  DrawCard(c, right - width, cy - 24, width, 48);
  DrawText(c, TextStyle{Face::SansBold, 26, pal::kInk}, label, right - width / 2, cy + 1, Align::Centre);
}

void DrawChalkDashes(Canvas& c, const std::vector<Point>& path, Rgba colour) {
  for (size_t i = 0; i + 1 < path.size(); i += 2) c.Line(path[i], path[i + 1], 3, colour);
}

void DrawFigure(Canvas& c, const KidLook& look, float heading, float foot_x, float foot_y, float scale) {
  const int w = int(60 * scale), h = int(66 * scale);
  Image kid = DrawKid(look, KidPose{heading, 1}, w, h, w / 2.0f, h - 4 * scale, scale);
  AddRim(kid, pal::kInk);
  c.FillEllipse(foot_x, foot_y, 16 * scale, 4.5f * scale, WithAlpha(pal::kInk, 90));
  c.DrawImage(kid, foot_x - w / 2.0f, foot_y - (h - 4 * scale));
}

const TextStyle kChalkTitle{Face::Serif, 48, pal::kChalkYellow, 0, {}};

}  // namespace

Image Classroom() {
  Canvas c(kW, kH, kSamples);
  constexpr float kWallFoot = 90;
  DrawFloor(c, kWallFoot);
  // Sunlight from the window falling across the floor.
  for (int i = 0; i < 3; ++i) {
    const float x = 470 + i * 70;
    c.FillPolygon({{x, kWallFoot}, {x + 52, kWallFoot}, {x - 150, kH}, {x - 220, kH}},
                  WithAlpha(Hex(0xfff4d6), 34));
  }
  // The wall behind the score board.
  c.FillRect(0, 0, kW, kWallFoot, pal::kWall);
  for (float x = 24; x < kW; x += 48) c.FillRect(x, 0, 2, kWallFoot, pal::kWallDark);
  c.FillRect(0, kWallFoot - 8, kW, 8, pal::kFrameDark);
  c.FillRect(0, kWallFoot - 8, kW, 2, pal::kFrame);
  c.FillRect(0, kWallFoot, kW, 5, WithAlpha(pal::kInk, 60));
  // The board: name plates and score cards hang on it.
  c.FillRect(96, 4, 612, 78, pal::kInk);
  c.FillRect(99, 7, 606, 72, pal::kFrame);
  c.FillRect(105, 12, 594, 62, pal::kBoard);
  Scatter rnd(3);
  for (int i = 0; i < 14; ++i) {
    const float x = rnd.Range(120, 690), y = rnd.Range(20, 66), rx = rnd.Range(20, 60), ry = rnd.Range(5, 10);
    c.FillEllipse(x, y, rx, ry, WithAlpha(pal::kChalk, 12));
  }
  DrawText(c, TextStyle{Face::SansBold, 15, pal::kChalk}, "FIRST TO 5", 386, 33, Align::Centre);
  DrawText(c, TextStyle{Face::SansBold, 15, pal::kChalkYellow}, "WINS!", 386, 54, Align::Centre);
  c.Line({320, 44}, {340, 38}, 2, pal::kChalk);
  c.Line({452, 38}, {434, 44}, 2, pal::kChalk);
  c.FillRect(92, 80, 620, 5, pal::kFrameDark);  // chalk ledge
  DrawClock(c, 48, 44, 30);
  DrawWindow(c, 726, 8, 62, 70);
  // The other walls, seen edge-on from above.
  c.FillRect(0, kWallFoot, 5, kH, pal::kFrameDark);
  c.FillRect(kW - 5, kWallFoot, 5, kH, pal::kFrameDark);
  c.FillRect(0, kH - 5, kW, 5, pal::kFrameDark);
  return c.Resolve();
}

Image TitleMenu() {
  Canvas c(kW, kH, kSamples);
  DrawBoard(c);
  DrawText(c, TextStyle{Face::Serif, 84, pal::kInk}, "Quarrelo", 404, 76, Align::Centre);
  DrawText(c, TextStyle{Face::Serif, 84, pal::kChalkYellow}, "Quarrelo", 400, 72, Align::Centre);
  DrawText(c, TextStyle{Face::Sans, 19, pal::kChalk}, "a paper-airplane duel for two", 400, 136,
           Align::Centre);
  DrawEntry(c, 525, 173, 220, "Start game");
  DrawEntry(c, 526, 249, 220, "Help");
  DrawEntry(c, 575, 325, 220, "Credits");
  DrawEntry(c, 525, 399, 220, "Quit");
  // The two kids squaring up in the corner, and a chalk flight path.
  DrawFigure(c, pal::kLily, 0.35f, 92, 545, 2.4f);
  DrawFigure(c, pal::kMax, kPi - 0.35f, 222, 545, 2.4f);
  // A curve from the floor up to the airplane's tail, meeting it along its flight.
  const Point from{600, 470}, bend{614, 363}, to{680, 318};
  std::vector<Point> path;
  for (int i = 0; i <= 21; ++i) {
    const float t = i / 21.0f, u = 1 - t;
    path.push_back({u * u * from.x + 2 * u * t * bend.x + t * t * to.x,
                    u * u * from.y + 2 * u * t * bend.y + t * t * to.y});
  }
  DrawChalkDashes(c, path, WithAlpha(pal::kChalk, 200));
  DrawPaperPlane(c, 704, 301, -0.60f, 3.2f, pal::kPlane, pal::kPlaneShade);
  DrawText(c, TextStyle{Face::Sans, 17, pal::kChalk},
           "\u2191 \u2193  choose     Enter  confirm     Esc  quit", 430, 510, Align::Centre);
  return c.Resolve();
}

Image HelpScreen() {
  Canvas c(kW, kH, kSamples);
  DrawBoard(c);
  DrawText(c, kChalkTitle, "How to play", 400, 52, Align::Centre);
  DrawText(c, TextStyle{Face::Sans, 17, pal::kChalk},
           "Throw paper airplanes at the other kid: every hit is a point,", 400, 94, Align::Centre);
  DrawText(c, TextStyle{Face::Sans, 17, pal::kChalk},
           "and the first to 5 points wins. Airplanes bounce off the walls and desks.", 400, 118,
           Align::Centre);
  // One card per player: each move's key, its control on the player's game
  // controller, and what it does.
  struct Row {
    const char* key;
    PadControl pad;
    const char* action;
  };
  auto card = [&](float x, bool left) {
    constexpr float kWidth = 360, kTop = 142, kKeyX = 16, kPadX = 156, kActionX = 206;
    const Rgba colour = left ? pal::kLeft : pal::kRight;
    DrawCard(c, x, kTop, kWidth, 240);
    c.FillRoundRect(x, kTop, kWidth, 38, 6, colour);
    c.FillRect(x, kTop + 26, kWidth, 12, colour);
    DrawText(c, TextStyle{Face::SansBold, 19, pal::kPaper},
             left ? "Lily  \u2014  left player" : "Max  \u2014  right player", x + kWidth / 2, kTop + 18,
             Align::Centre);
    const TextStyle caption{Face::SansBold, 11, Shade(pal::kPaperShade, 0.55f)};
    DrawText(c, caption, "KEYBOARD", x + kKeyX, kTop + 54, Align::Left);
    DrawText(c, caption, left ? "CONTROLLER 1" : "CONTROLLER 2", x + kPadX, kTop + 54, Align::Centre);
    const Row rows[5] = {{left ? "W" : "\u2191", PadControl::Up, "walk forward"},
                         {left ? "S" : "\u2193", PadControl::Down, "walk backward"},
                         {left ? "A" : "\u2190", PadControl::Left, "turn left"},
                         {left ? "D" : "\u2192", PadControl::Right, "turn right"},
                         {left ? "F" : "Right Ctrl", PadControl::Throw, "throw an airplane"}};
    for (int i = 0; i < 5; ++i) {
      const float cy = kTop + 82 + i * 33;
      DrawKeyCap(c, x + kKeyX, cy, rows[i].key);
      DrawPadControl(c, x + kPadX, cy, rows[i].pad, colour);
      DrawText(c, TextStyle{Face::Sans, 16, pal::kInk}, rows[i].action, x + kActionX, cy, Align::Left);
    }
  };
  card(30, true);
  card(410, false);
  DrawEntry(c, 505, 408, 170, "Back");
  const TextStyle line{Face::Sans, 16, pal::kChalk};
  DrawText(c, TextStyle{Face::SansBold, 17, pal::kChalkYellow}, "Menu, banners, controllers, the computer",
           400, 468, Align::Centre);
  DrawText(c, line, "Menu:  \u2191 \u2193 or LB RB choose,  Enter or Start confirms,  Esc or Back quits.",
           400, 491, Align::Centre);
  DrawText(c, line, "Duel:  Esc or Back goes to the menu;  after a point or a win, Enter or Start goes on.",
           400, 512, Align::Centre);
  DrawText(c, line,
           "The first controller plugged in plays Lily, the second Max;  the left stick works as the D-pad.",
           400, 533, Align::Centre);
  DrawText(c, line, "Alone?  C on the menu lets the computer play Max;  play Lily with either set of keys.",
           400, 554, Align::Centre);
  return c.Resolve();
}

Image CreditsScreen() {
  Canvas c(kW, kH, kSamples);
  DrawBoard(c);
  DrawText(c, kChalkTitle, "Credits", 400, 58, Align::Centre);
  DrawCard(c, 150, 110, 500, 250);
  const TextStyle head{Face::SansBold, 15, pal::kLeftDark};
  const TextStyle body{Face::Sans, 17, pal::kInk};
  struct Line {
    const char* heading;
    const char* text;
  };
  const Line lines[] = {
      {"GAME", "Quarrelo, made by the Quarrelo team"},
      {"PICTURES AND SOUNDS", "drawn and synthesised by our own make_assets tool"},
      {"LETTERING", "DejaVu fonts"},
      {"BUILT WITH", "C++20, SDL2, SDL2_image and SDL2_ttf"},
  };
  for (int i = 0; i < 4; ++i) {
    const float y = 142 + i * 56;
    DrawText(c, head, lines[i].heading, 400, y, Align::Centre);
    DrawText(c, body, lines[i].text, 400, y + 22, Align::Centre);
  }
  DrawEntry(c, 525, 400, 170, "Back");
  DrawFigure(c, pal::kLily, kPi / 2, 140, 545, 1.6f);
  DrawFigure(c, pal::kMax, kPi / 2, 660, 545, 1.6f);
  DrawText(c, TextStyle{Face::Sans, 17, pal::kChalk}, "Thanks for playing!", 400, 505, Align::Centre);
  return c.Resolve();
}

}  // namespace assets

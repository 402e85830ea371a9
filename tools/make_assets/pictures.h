// Every picture of the game, each drawn at its file's exact size. Sprites come
// back keyed: magenta (0xFF00FF) wherever they are see-through, hard edges
// everywhere else. Full screens are opaque.
#pragma once

#include "canvas.h"
#include "kid_figure.h"

namespace assets {

// Sprite sheets and sprites (sprite_sheets.cpp).
Image FighterSheet(const KidLook& look);  // 448x256: 8 headings x 4 walk frames of 56x64
Image AirplaneSheet();                    // 256x32: 8 headings of 32x32
Image Desk();                             // 128x64
Image MenuCursor();                       // 54x36, pointing left

// The score board and the banners (scoreboard.cpp).
Image ScoreDigits();                        // 144x60: 0..5 in cells of 24x60
Image NamePlate(bool left_player);          // left 124x72, right 160x64
Image ComputerPlate(bool left_player);      // the same sizes, for the computer's side
Image Banner(bool left_player, bool wins);  // 280x256

// Full screens, 800x600 (screens.cpp).
Image Classroom();
Image TitleMenu();
Image HelpScreen();
Image CreditsScreen();

// The game's icon for desktops and menus (icon.cpp): size x size pixels with
// real alpha (see-through corners), not keyed; drawn for 48, 128 and 256.
Image GameIcon(int size);

// A paper airplane seen from above, nose along `angle` (radians, screen axes),
// about 24 x 18 pixels at scale 1, centred on (cx, cy); the two wings in
// `paper` and `fold` so the centre crease shows.
void DrawPaperPlane(Canvas& canvas, float cx, float cy, float angle, float scale, Rgba paper, Rgba fold);

// The floor-plane direction of a heading 0..7 (0 left, then clockwise), in
// radians with screen axes (0 right, pi/2 down).
float HeadingAngle(int heading);

}  // namespace assets

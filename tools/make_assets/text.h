// Text set with SDL2_ttf onto a Canvas, at the canvas's sample resolution so
// the letters come out smooth after Canvas::Resolve().
#pragma once

#include <string>

#include "canvas.h"

namespace assets {

// The faces the pictures use, from Debian's fonts-dejavu-core.
enum class Face { Sans, SansBold, SansCondensedBold, Serif };

enum class Align { Left, Centre, Right };

struct TextStyle {
  Face face = Face::Sans;
  float size = 16;  // pixels per em at output resolution
  Rgba colour{0, 0, 0, 255};
  float outline = 0;  // width of a rim around the letters, output pixels; 0 for none
  Rgba outline_colour{0, 0, 0, 255};
};

// Opens the font library and checks that every face can be opened. False
// (with the reason on standard error) when a font file is missing.
bool OpenFonts();
void CloseFonts();
// The path of a face's font file.
const char* FontPath(Face face);

// Width of the text in output pixels.
float TextWidth(const TextStyle& style, const std::string& text, int samples);

// Sets one line of text. `x` is the left edge, centre or right edge by `align`;
// `y` is the middle of the capital letters.
void DrawText(Canvas& canvas, const TextStyle& style, const std::string& text, float x, float y, Align align);

}  // namespace assets

#include "text.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <utility>

namespace assets {

static std::map<std::pair<Face, int>, TTF_Font*> g_fonts;

const char* FontPath(Face face) {
  switch (face) {
    case Face::Sans:
      return "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    case Face::SansBold:
      return "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
    case Face::SansCondensedBold:
      return "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf";
    case Face::Serif:
      return "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf";
  }
  return "";
}

bool OpenFonts() {
  if (TTF_Init() != 0) {
    std::fprintf(stderr, "make_assets: cannot start SDL_ttf: %s\n", TTF_GetError());
    return false;
  }
  for (Face face : {Face::Sans, Face::SansBold, Face::SansCondensedBold, Face::Serif}) {
    TTF_Font* probe = TTF_OpenFont(FontPath(face), 12);
    if (!probe) {
      std::fprintf(stderr, "make_assets: cannot open font %s: %s\n", FontPath(face), TTF_GetError());
      return false;
    }
    TTF_CloseFont(probe);
  }
  return true;
}

void CloseFonts() {
  for (auto& [key, font] : g_fonts) TTF_CloseFont(font);
  g_fonts.clear();
  TTF_Quit();
}

static TTF_Font* FontAt(Face face, int pixels) {
  auto& slot = g_fonts[{face, pixels}];
  if (!slot) {
    slot = TTF_OpenFont(FontPath(face), pixels);
    if (slot) TTF_SetFontHinting(slot, TTF_HINTING_LIGHT);
  }
  return slot;
}

float TextWidth(const TextStyle& style, const std::string& text, int samples) {
  TTF_Font* font = FontAt(style.face, int(std::lround(style.size * samples)));
  int w = 0, h = 0;
  if (!font || TTF_SizeUTF8(font, text.c_str(), &w, &h) != 0) return 0;
  return float(w) / samples + 2 * style.outline;
}

// Renders the text in white and returns it as a picture of coverage values
// tinted with `colour`.
static Image RenderRun(TTF_Font* font, const std::string& text, Rgba colour) {
  Image out;
  SDL_Surface* rendered = TTF_RenderUTF8_Blended(font, text.c_str(), SDL_Color{255, 255, 255, 255});
  if (!rendered) return out;
  SDL_Surface* argb = SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(rendered);
  if (!argb) return out;
  out = Image(argb->w, argb->h);
  for (int y = 0; y < argb->h; ++y) {
    const auto* row =
        reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(argb->pixels) + y * argb->pitch);
    for (int x = 0; x < argb->w; ++x) {
      const uint32_t alpha = row[x] >> 24;
      out.at(x, y) = Rgba{colour.r, colour.g, colour.b, uint8_t(alpha * colour.a / 255)};
    }
  }
  SDL_FreeSurface(argb);
  return out;
}

void DrawText(Canvas& canvas, const TextStyle& style, const std::string& text, float x, float y,
              Align align) {
  const int s = canvas.samples();
  TTF_Font* font = FontAt(style.face, int(std::lround(style.size * s)));
  if (!font || text.empty()) return;
  const float width = TextWidth(style, text, s);
  float left = x;
  if (align == Align::Centre) left = x - width / 2;
  if (align == Align::Right) left = x - width;
  // DejaVu's capitals are 0.73 em tall; their middle sits that far above the baseline.
  const float top = y - (TTF_FontAscent(font) / float(s) - 0.365f * style.size);
  const int rim = int(std::lround(style.outline * s));
  if (rim > 0) {
    TTF_SetFontOutline(font, rim);
    const Image outline = RenderRun(font, text, style.outline_colour);
    TTF_SetFontOutline(font, 0);
    canvas.DrawSamples(outline, left, top - style.outline);
  }
  canvas.DrawSamples(RenderRun(font, text, style.colour), left + style.outline, top);
}

}  // namespace assets

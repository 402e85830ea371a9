// make_assets OUTPUT_FOLDER [ICON_FOLDER]
//
// Draws every picture and synthesises every sound the game loads, and writes
// them into OUTPUT_FOLDER under the names the game asks for. With
// ICON_FOLDER, also draws the game's icon for the installed game's desktop
// entry into it: quarrelo-48.png, quarrelo-128.png and quarrelo-256.png.
#include <SDL.h>
#include <SDL_image.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "image_files.h"
#include "palette.h"
#include "pictures.h"
#include "text.h"
#include "waves.h"

using namespace assets;

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: make_assets OUTPUT_FOLDER [ICON_FOLDER]\n");
    return 2;
  }
  for (int i = 1; i < argc; ++i) {
    std::error_code error;
    std::filesystem::create_directories(argv[i], error);
    if (error) {
      std::fprintf(stderr, "make_assets: cannot make folder %s: %s\n", argv[i], error.message().c_str());
      return 1;
    }
  }
  const std::string dir = std::string(argv[1]) + "/";
  if (!OpenFonts()) return 1;
  bool ok = true;
  ok &= SaveBmp(Classroom(), dir + "classroom.bmp");
  ok &= SaveJpeg(TitleMenu(), dir + "ssfrontmenu.jpg");
  ok &= SaveJpeg(HelpScreen(), dir + "helpmenu.jpg");
  ok &= SaveJpeg(CreditsScreen(), dir + "credits.jpg");
  ok &= SaveBmp(FighterSheet(palette::kMax), dir + "KidRight.bmp");
  ok &= SaveBmp(FighterSheet(palette::kLily), dir + "kidleft.bmp");
  ok &= SaveBmp(AirplaneSheet(), dir + "airplane.bmp");
  ok &= SaveBmp(Desk(), dir + "desk.bmp");
  ok &= SavePng(MenuCursor(), dir + "airplanecursor.png");
  ok &= SaveBmp(ScoreDigits(), dir + "scores.bmp");
  ok &= SaveBmp(NamePlate(true), dir + "leftplayername.bmp");
  ok &= SaveBmp(NamePlate(false), dir + "rightplayername.bmp");
  ok &= SaveBmp(ComputerPlate(true), dir + "leftcomputername.bmp");
  ok &= SaveBmp(ComputerPlate(false), dir + "rightcomputername.bmp");
  ok &= SaveBmp(Banner(true, false), dir + "Leftplayerscores.bmp");
  ok &= SaveBmp(Banner(false, false), dir + "Rightplayerscores.bmp");
  ok &= SaveBmp(Banner(true, true), dir + "LeftPlayerWins.bmp");
  ok &= SaveBmp(Banner(false, true), dir + "RightPlayerWins.bmp");
  CloseFonts();
  if (argc == 3) {
    for (int size : {48, 128, 256})
      ok &= SavePngWithAlpha(GameIcon(size),
                             std::string(argv[2]) + "/quarrelo-" + std::to_string(size) + ".png");
  }
  ok &= SaveWave(PaperSlap(), dir + "hit1.wav");
  ok &= SaveWave(Thump(), dir + "hit2.wav");
  ok &= SaveWave(Pop(), dir + "hit3.wav");
  return ok ? 0 : 1;
}

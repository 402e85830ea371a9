#include "game_image_loads.h"

#include <SDL.h>
#include <SDL_image.h>

const std::vector<std::string>& GameImageLoads() {
  static const std::vector<std::string> loads = {
      "classroom.bmp",
      "ssfrontmenu.jpg",
      "KidRight.bmp",
      "kidleft.bmp",
      "airplane.bmp",
      "airplane.bmp",
      "desk.bmp",
      "desk.bmp",
      "desk.bmp",
      "desk.bmp",
      "Rightplayerscores.bmp",
      "Leftplayerscores.bmp",
      "rightplayername.bmp",
      "leftplayername.bmp",
      "scores.bmp",
      "scores.bmp",
      "RightPlayerWins.bmp",
      "LeftPlayerWins.bmp",
      "airplanecursor.png",
      "credits.jpg",
      "helpmenu.jpg",
  };
  return loads;
}

int DecodeGameImagesWithSdlImage() {
  int failed = 0;
  std::vector<SDL_Surface*> kept;
  for (const std::string& file : GameImageLoads()) {
    SDL_Surface* surface = IMG_Load(file.c_str());
    if (surface == nullptr) ++failed;
    kept.push_back(surface);
  }
  for (SDL_Surface* surface : kept) SDL_FreeSurface(surface);
  return failed;
}

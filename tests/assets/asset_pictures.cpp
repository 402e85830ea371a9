#include "asset_pictures.h"

#include <cstdlib>

#include "picture_file.h"

const std::vector<std::string> kAssetNames = {"classroom.bmp",
                                              "ssfrontmenu.jpg",
                                              "KidRight.bmp",
                                              "kidleft.bmp",
                                              "airplane.bmp",
                                              "desk.bmp",
                                              "Rightplayerscores.bmp",
                                              "Leftplayerscores.bmp",
                                              "rightplayername.bmp",
                                              "leftplayername.bmp",
                                              "rightcomputername.bmp",
                                              "leftcomputername.bmp",
                                              "scores.bmp",
                                              "RightPlayerWins.bmp",
                                              "LeftPlayerWins.bmp",
                                              "airplanecursor.png",
                                              "credits.jpg",
                                              "helpmenu.jpg",
                                              "hit1.wav",
                                              "hit2.wav",
                                              "hit3.wav"};

const std::vector<std::string> kDataFileNames = {"controllers.txt"};

std::string AssetPath(const std::string& name) {
  return std::string(QUARRELO_SOURCE_DIR) + "/assets/" + name;
}

Picture Decode(const std::string& path) {
  Picture picture = ReadPicture(path);
  for (uint32_t& pixel : picture.pixels) pixel &= 0xFFFFFF;
  return picture;
}

bool NearKey(uint32_t rgb) {
  if (rgb == kKeyRgb) return false;
  const int r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
  return r > 150 && b > 150 && g < 110 && std::abs(r - b) < 90;
}

int OpaqueCount(const Picture& p, int x, int y, int w, int h) {
  int n = 0;
  for (int j = y; j < y + h; ++j)
    for (int i = x; i < x + w; ++i) n += p.at(i, j) != kKeyRgb;
  return n;
}

int DifferingPixels(const Picture& a, int ax, int ay, const Picture& b, int bx, int by, int w, int h) {
  int n = 0;
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i) n += a.at(ax + i, ay + j) != b.at(bx + i, by + j);
  return n;
}

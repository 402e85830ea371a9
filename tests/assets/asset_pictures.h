// The committed asset files as the tests read them: names, paths, and a
// decoder that gives a picture's pixels independently of the platform
// stand-in (through SDL2_image), for checks of layout and content.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "picture.h"

// Every picture and sound the game loads from assets/ (the generator draws
// them all).
extern const std::vector<std::string> kAssetNames;
// The other files of assets/: data written by hand, shipped and installed
// with the assets (the controllers' key table).
extern const std::vector<std::string> kDataFileNames;

std::string AssetPath(const std::string& name);

// The picture in the file as 0x00RRGGBB pixels; an empty picture (width 0)
// when it cannot be read.
Picture Decode(const std::string& path);

constexpr uint32_t kKeyRgb = 0xFF00FF;

// True for colours a smoothed edge between a shape and the key would make:
// reddish-blue mixes near magenta that are not the key itself.
bool NearKey(uint32_t rgb);
// How many pixels of the (x, y, w, h) region are not the key colour.
int OpaqueCount(const Picture& p, int x, int y, int w, int h);
// How many pixels differ between two equally sized regions of pictures.
int DifferingPixels(const Picture& a, int ax, int ay, const Picture& b, int bx, int by, int w, int h);

// The image files the game loads at start-up, in its order and as often as
// it loads each (two backgrounds, then nineteen sprite textures; several
// files serve more than one sprite), and the same decoding done with
// SDL2_image alone: the baseline the game's start-up is measured against.
#pragma once

#include <string>
#include <vector>

const std::vector<std::string>& GameImageLoads();

// Decodes every load in the working folder with IMG_Load, keeping every
// picture until all are loaded, as a program that draws them would; the
// number that failed.
int DecodeGameImagesWithSdlImage();

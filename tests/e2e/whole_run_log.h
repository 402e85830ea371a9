// The run log of a whole run of the game in which nothing fails: start-up,
// every picture and sound loaded, shutdown.
#pragma once

#include <string>

inline std::string WholeRunLog() {
  std::string log =
      "Log file created successfully!\n\nSprite Handler Created\nDirect3D objects initialized\n"
      "DirectSound Initialized\nDirectInput Initialized\nMouse Initialized\nKeyboard Initialized\n"
      "LoadSurface() successful\nLoadSurface() successful\n";
  for (int i = 0; i < 19; i++) log += "LoadTexture() Successful\n";
  for (int i = 0; i < 3; i++) log += "LoadSound() Successful\n";
  log +=
      "Game Specific Objects Initialized\n"
      "Direct3D Device Released\nDirect3D Object Released\nSprite Handler Released\n"
      "Keyboard objects released\nMouse Object Released\nDirectInput Object Released\n"
      "Surfaces Released\nTextures Released\nSounds Deleted\n\nGame shut down!\n";
  return log;
}

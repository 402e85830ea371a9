// The real game on the headless backend and its virtual clock, started once
// the way WinMain starts it, then played game after game between two
// contestants through the input module's key source: the game's own
// Game_Update, screens and duel. What costs and changes nothing in the game
// is left out: its images are released after start-up and its back buffer
// is a few pixels, so frames draw nothing.
#pragma once

#include <cstdint>

#include "contestants.h"

struct GameResult {
  int leftPoints = 0;
  int rightPoints = 0;
  uint32_t milliseconds = 0;  // of game time, on the virtual clock
  bool finished = false;      // someone reached five points within the time allowed
};

// Starts the game in a folder of its own holding the assets. False, saying
// why on standard error, when a subsystem failed.
bool Start_Game();

// One game from its first bout to five points, Enter pressed on every point
// banner. A game still going after `longestMs` of game time is stopped.
GameResult Play_Game(Contestant& left, Contestant& right, uint32_t longestMs);

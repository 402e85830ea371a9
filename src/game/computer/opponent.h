// The computer as the game's opponent: which side it plays and at which
// level, its keys given to the game through the input module's key source,
// the menu's switch, and its name plate.
//
// During a duel the keys of the computer's side are the computer's alone:
// what the keyboard or a controller presses there walks the person's kid
// instead, so a person alone plays with either set of keys and either
// controller (with the computer on the left, the first controller, which
// presses the left player's keys, plays the right kid). On the menu, the
// banners, help and credits the computer presses nothing and every key
// counts as it always does.
#pragma once

#include "game/computer/computer_player.h"
#include "game/game_state.h"

// No computer: two people play.
static const int NO_COMPUTER = -1;
static const int DEFAULT_COMPUTER_LEVEL = 2;

// The side the computer plays (SIDE_LEFT, SIDE_RIGHT of
// game/computer/computer_player.h, or NO_COMPUTER) and its level 1..3, the
// level also being the one the menu's switch gives it. Before Game_Init.
void Computer_Choose(int side, int level);
int Computer_Side();
int Computer_Level();

// Gives the input module the computer's key source (at start-up).
void Computer_Start();

// On the menu: C, once per press, switches the right player between a
// person and the computer (which then plays at the chosen level), loading
// its name plate the first time.
void Computer_MenuStep();

// The image shown as the name plate of `side`: the computer's when it plays
// that side and its plate is loaded, else the person's plate's own.
IDirect3DTexture9* Name_Plate(int side);

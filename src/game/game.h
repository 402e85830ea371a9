// The game's three entry points, called by the shell.
#pragma once

#include <windows.h>

// Seeds the generator, loads every image and sound, sets every record to its
// start and puts the game on the menu. 0 when a sound failed to load.
int Game_Init(HWND window);
// One frame: input, the current screen's step, drawing, presenting, the
// global Esc and the 15 ms pacing; while the device is lost only the input
// and the pacing, until the device is reset and the images reloaded. Only
// after Game_Init succeeded.
void Game_Update(HWND window);
// Releases the images and deletes the sounds Game_Init made.
void Game_Shutdown(HWND window);

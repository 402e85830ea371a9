// The game's subsystems started as WinMain starts them, in a scratch folder
// holding the assets, with the game put into the first frame of a duel in
// which both players keep walking; and one duel frame run without its
// pacing wait, both airplanes in flight.
#pragma once

#include <filesystem>

#include <windows.h>

#include "common/run_folder.h"
#include "game/game.h"
#include "game/game_state.h"
#include "graphics/graphics.h"
#include "input/input.h"
#include "keys.h"
#include "platform/headless/headless.h"
#include "shell/run_log.h"
#include "shell/window.h"
#include "sound/sound.h"

struct DuelSetup {
  HWND window = NULL;
  RunLog* log = nullptr;

  // Changes the working folder. False when a subsystem failed to start.
  bool Start() {
    std::filesystem::current_path(MakeRunFolder("duel"));
    headless::echo_debug_output(false);
    headless::keep_last_frame(false);
    Register_WindowClass(GetModuleHandleA(NULL));
    window = CreateWindowExA(0, "Quarrelo", "Quarrelo", WS_POPUP | WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                             800, 600, NULL, NULL, GetModuleHandleA(NULL), NULL);
    if (!window) return false;
    ShowWindow(window, SW_SHOWDEFAULT);
    log = new RunLog;
    if (!Init_Graphics(window, 800, 600) || !Init_Sound(window) || !Init_Input(window) ||
        !Init_Mouse(window) || !Init_Keyboard(window) || !Game_Init(window))
      return false;
    gameState = STATE_NEW_BOUT;
    Game_Update(window);
    // Both players keep walking: W and Up held from here on.
    dik_at(headless::frame_count(), DIK_W, true);
    dik_at(headless::frame_count(), DIK_UP, true);
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    return gameState == STATE_PLAY;
  }

  // One duel frame: both fighters walking, both airplanes in flight. With
  // `every_sprite`, the menu cursor, the full screens and the banners are
  // drawn as well: the frame's nineteen draws.
  void Frame(bool every_sprite) {
    if (gameState != STATE_PLAY) {  // a hit: back to the duel
      gameState = STATE_PLAY;
      leftScore = rightScore = 0;
    }
    leftPlane.visible = rightPlane.visible = true;
    leftPlane.life = rightPlane.life = 1;
    if (every_sprite) {
      for (GameSprite* s : {&menuCursor, &creditsScreen, &helpScreen, &leftScoresBanner, &rightScoresBanner,
                            &leftWinsBanner, &rightWinsBanner})
        s->visible = true;
    }
    // No pacing wait: the previous frame ended long ago. (These few stores
    // are timed with the frame; they cost nanoseconds.)
    lastFrameTick = headless::peek_ticks() - 1000;
    Game_Update(window);
  }
};

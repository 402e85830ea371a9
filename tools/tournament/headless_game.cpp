// The game played headless for the tournament (see headless_game.h).
#include "headless_game.h"

#include <cstdio>
#include <filesystem>
#include <iostream>

#include <windows.h>

#include "game/assets.h"
#include "game/game.h"
#include "game/game_state.h"
#include "graphics/graphics.h"
#include "input/input.h"
#include "platform/headless/headless.h"
#include "scratch_folder.h"
#include "shell/run_log.h"
#include "shell/window.h"
#include "sound/sound.h"

namespace {

HWND g_window = NULL;
Contestant* g_players[2] = {nullptr, nullptr};

// Both contestants decide in a duel; Enter goes on from a point banner.
void Tournament_Keys(BYTE* keys) {
  keys[DIK_RETURN] = gameState == STATE_LEFT_SCORES || gameState == STATE_RIGHT_SCORES ? 0x80 : 0;
  if (gameState == STATE_NEW_BOUT) {
    for (Contestant* player : g_players) player->New_Bout();
  } else if (gameState == STATE_PLAY) {
    for (Contestant* player : g_players) player->Decide(keys);
  }
}

}  // namespace

bool Start_Game() {
  namespace fs = std::filesystem;
  static ScratchFolder folder("quarrelo-tournament");
  for (const auto& entry : fs::directory_iterator(fs::path(QUARRELO_SOURCE_DIR) / "assets"))
    fs::copy_file(entry.path(), fs::path(folder.path()) / entry.path().filename());
  fs::current_path(folder.path());
  headless::echo_debug_output(false);
  headless::keep_last_frame(false);
  headless::set_audio_period_ms(250);

  Register_WindowClass(GetModuleHandleA(NULL));
  g_window = CreateWindowExA(0, "Quarrelo", "Quarrelo", WS_POPUP | WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                             800, 600, NULL, NULL, GetModuleHandleA(NULL), NULL);
  if (g_window == NULL) {
    std::fprintf(stderr, "tournament: no window\n");
    return false;
  }
  ShowWindow(g_window, SW_SHOWDEFAULT);
  static RunLog log;  // in the folder, as the game keeps it
  // A back buffer of a few pixels: the tournament looks at no picture.
  if (!Init_Graphics(g_window, 8, 6) || !Init_Sound(g_window) || !Init_Input(g_window) ||
      !Init_Mouse(g_window) || !Init_Keyboard(g_window) || !Game_Init(g_window)) {
    std::fprintf(stderr, "tournament: the game did not start (see %s/Log.txt)\n", folder.path().c_str());
    return false;
  }
  Release_Images();
  Set_KeySource(Tournament_Keys);
  return true;
}

GameResult Play_Game(Contestant& left, Contestant& right, uint32_t longestMs) {
  g_players[0] = &left;
  g_players[1] = &right;
  leftScore = rightScore = 0;
  gameState = STATE_NEW_BOUT;
  GameResult result;
  const uint32_t start = headless::peek_ticks();
  while (gameState != STATE_LEFT_WINS && gameState != STATE_RIGHT_WINS &&
         headless::peek_ticks() - start <= longestMs)
    Game_Update(g_window);
  result.leftPoints = leftScore;
  result.rightPoints = rightScore;
  result.milliseconds = headless::peek_ticks() - start;
  result.finished = gameState == STATE_LEFT_WINS || gameState == STATE_RIGHT_WINS;
  return result;
}

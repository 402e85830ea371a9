// Game_Update: the order of work in one frame.
#include <initializer_list>

#include "game/device_loss.h"
#include "game/draw_frame.h"
#include "game/game.h"
#include "game/game_state.h"
#include "game/screens.h"
#include "input/input.h"

static const DWORD FRAME_MS = 15;
static const int DIGIT_WIDTH = 24;  // one cell of the score digits' sheet

static void Release_Latch(int code, bool* latch) {
  if (!Key_Held(code)) *latch = false;
}

static void Release_Latches() {
  Release_Latch(DIK_RIGHT, &latchRight);
  Release_Latch(DIK_LEFT, &latchLeft);
  Release_Latch(DIK_UP, &latchUp);
  Release_Latch(DIK_DOWN, &latchDown);
  Release_Latch(DIK_A, &latchA);
  Release_Latch(DIK_S, &latchS);
  Release_Latch(DIK_D, &latchD);
  Release_Latch(DIK_W, &latchW);
  Release_Latch(DIK_RCONTROL, &latchRCtrl);
  Release_Latch(DIK_F, &latchF);
  Release_Latch(DIK_ESCAPE, &latchEsc);
  Release_Latch(DIK_RETURN, &latchEnter);
}

static void Refresh_SheetColumn(GameSprite* sprite) {
  sprite->srcRect.left = sprite->heading * sprite->width;
  sprite->srcRect.right = sprite->srcRect.left + sprite->width;
}

static void Refresh_Digit(GameSprite* digit, int score) {
  digit->srcRect.left = score * DIGIT_WIDTH;
  digit->srcRect.right = digit->srcRect.left + DIGIT_WIDTH;
}

static void Refresh_SourceRects() {
  Refresh_SheetColumn(&rightFighter);
  Refresh_SheetColumn(&leftFighter);
  for (GameSprite* plane : {&leftPlane, &rightPlane}) {
    Refresh_SheetColumn(plane);
    plane->srcRect.top = 0;
    plane->srcRect.bottom = plane->srcRect.top + plane->height;
  }
  Refresh_Digit(&rightDigit, rightScore);
  Refresh_Digit(&leftDigit, leftScore);
}

// Spins on the tick count until FRAME_MS have passed since the previous
// frame; the unsigned difference survives the counter's wrap.
static void Wait_FrameTime() {
  while (GetTickCount() - lastFrameTick < FRAME_MS) {
  }
  lastFrameTick = GetTickCount();
}

void Game_Update(HWND window) {
  Read_Mouse();
  Read_Keyboard();
  // While the device is lost the game pauses: no step, no drawing.
  if (!Restore_Device(window)) {
    Wait_FrameTime();
    return;
  }
  Release_Latches();
  Screen_Step(window);
  Refresh_SourceRects();
  Draw_Frame();
  Present_Frame();

  if (Key_Held(DIK_ESCAPE) && !latchEsc) {
    latchEsc = true;
    gameState = STATE_MENU;
  }
  Wait_FrameTime();
}

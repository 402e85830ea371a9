// The step of each screen of gameState, except the duel's own (duel.cpp).
#include <iostream>

#include "game/computer/opponent.h"
#include "game/duel.h"
#include "game/game_state.h"
#include "game/screens.h"
#include "input/input.h"

static void Request_Quit(HWND window) { PostMessageA(window, WM_DESTROY, 0, 0); }

// The duel's sprites that the menu hides and a new game shows again.
static void Show_Duel(bool visible) {
  rightFighter.visible = visible;
  leftFighter.visible = visible;
  rightName.visible = visible;
  rightDigit.visible = visible;
  leftName.visible = visible;
  leftDigit.visible = visible;
  for (GameSprite& desk : desks) desk.visible = visible;
}

static void Place_Cursor(int x, int y) {
  menuCursor.x = x;
  menuCursor.y = y;
}

static void Menu_Step(HWND window) {
  if (Key_Held(DIK_ESCAPE) && !latchEsc) Request_Quit(window);

  Show_Duel(false);
  menuCursor.visible = true;

  // The cursor shows the choice as it was before this frame's keys.
  switch (menuChoice) {
    case 1:
      Place_Cursor(525, 173);
      break;
    case 2:
      Place_Cursor(526, 249);
      break;
    case 3:
      Place_Cursor(575, 325);
      break;
    default:
      Place_Cursor(525, 399);
      break;
  }

  if (Key_Held(DIK_DOWN) && !latchDown) {
    latchDown = true;
    if (menuChoice < 4) menuChoice++;
  }
  if (Key_Held(DIK_UP) && !latchUp) {
    latchUp = true;
    if (menuChoice > 1) menuChoice--;
  }
  Computer_MenuStep();
  if (Key_Held(DIK_RETURN) && !latchEnter) {
    latchEnter = true;
    switch (menuChoice) {
      case 1:
        gameState = STATE_NEW_BOUT;
        Show_Duel(true);
        menuCursor.visible = false;
        leftScore = 0;
        rightScore = 0;
        break;
      case 2:
        gameState = STATE_HELP;
        break;
      case 3:
        gameState = STATE_CREDITS;
        break;
      default:
        Request_Quit(window);
        break;
    }
  }
}

// A point banner: Enter (held or not) starts the next bout.
static void Scores_Step(GameSprite* banner) {
  banner->visible = true;
  if (Key_Held(DIK_RETURN)) {
    banner->visible = false;
    gameState = STATE_NEW_BOUT;
  }
  if (Key_Held(DIK_ESCAPE)) banner->visible = false;
}

// A win banner: Enter (held or not) returns to the menu, and stays latched
// so the menu does not start a game at once.
static void Wins_Step(GameSprite* banner) {
  banner->visible = true;
  if (Key_Held(DIK_RETURN)) {
    banner->visible = false;
    latchEnter = true;
    gameState = STATE_MENU;
  }
  if (Key_Held(DIK_ESCAPE)) banner->visible = false;
}

// Help or credits: Esc (even held from before) or a fresh Enter leaves.
static void Page_Step(GameSprite* page, int cursorX, int cursorY) {
  page->visible = true;
  Place_Cursor(cursorX, cursorY);
  if (Key_Held(DIK_ESCAPE) || (Key_Held(DIK_RETURN) && !latchEnter)) {
    gameState = STATE_MENU;
    latchEsc = true;
    page->visible = false;
    latchEnter = true;
  }
}

void Screen_Step(HWND window) {
  switch (gameState) {
    case STATE_PLAY:
      Duel_Step();
      break;
    case STATE_MENU:
      Menu_Step(window);
      break;
    case STATE_RIGHT_SCORES:
      Scores_Step(&rightScoresBanner);
      break;
    case STATE_LEFT_SCORES:
      Scores_Step(&leftScoresBanner);
      break;
    case STATE_NEW_BOUT:
      Reset_Bout();
      gameState = STATE_PLAY;
      break;
    case STATE_RIGHT_WINS:
      Wins_Step(&rightWinsBanner);
      break;
    case STATE_LEFT_WINS:
      Wins_Step(&leftWinsBanner);
      break;
    case STATE_CREDITS:
      Page_Step(&creditsScreen, 525, 400);
      break;
    case STATE_HELP:
      Page_Step(&helpScreen, 505, 408);
      break;
    default:
      std::cerr << "Problem with Game State Switch\n";
      break;
  }
}

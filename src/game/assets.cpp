// Game_Init and Game_Shutdown: the game's images and sounds, loaded once at
// start-up and released once at shutdown, and the records' start values.
#include <cstdlib>
#include <ctime>
#include <iostream>

#include "game/game.h"
#include "game/game_state.h"
#include "graphics/image_loaders.h"
#include "sound/sound.h"

static const D3DCOLOR COLOUR_KEY = 0xFFFF00FF;  // opaque magenta

// Gives a record its start values, keeping its texture; every field not
// named is 0 and the record is hidden.
static void Set_Record(GameSprite* sprite, int x, int y, int width, int height) {
  IDirect3DTexture9* tex = sprite->tex;
  *sprite = GameSprite{};
  sprite->tex = tex;
  sprite->x = x;
  sprite->y = y;
  sprite->width = width;
  sprite->height = height;
}

static void Set_SourceRect(GameSprite* sprite, int right, int bottom) {
  sprite->srcRect.left = 0;
  sprite->srcRect.top = 0;
  sprite->srcRect.right = right;
  sprite->srcRect.bottom = bottom;
}

static void Set_Fighter(GameSprite* fighter, int x, int heading) {
  Set_Record(fighter, x, 300, 56, 64);
  fighter->heading = heading;
  fighter->animDelay = 80;
  Set_SourceRect(fighter, 56, 64);
  fighter->visible = true;
}

static void Set_Airplane(GameSprite* airplane, int heading) {
  Set_Record(airplane, 0, 0, 32, 32);
  airplane->heading = heading;
}

static void Set_Records() {
  Set_Fighter(&rightFighter, 750, 0);
  Set_Fighter(&leftFighter, 50, 4);
  Set_Airplane(&leftPlane, 4);
  Set_Airplane(&rightPlane, 0);

  for (GameSprite& desk : desks) {
    Set_Record(&desk, 0, 0, 128, 64);
    Set_SourceRect(&desk, 128, 64);
    desk.visible = true;
  }
  const POINT deskAt[4] = {{125, 300}, {575, 300}, {350, 200}, {350, 425}};
  for (int i = 0; i < 4; i++) {
    desks[i].x = deskAt[i].x;
    desks[i].y = deskAt[i].y;
  }

  Set_Record(&leftScoresBanner, 285, 250, 280, 256);
  Set_Record(&rightScoresBanner, 290, 250, 280, 256);
  Set_Record(&leftWinsBanner, 285, 250, 280, 256);
  Set_Record(&rightWinsBanner, 285, 250, 280, 256);

  Set_Record(&leftName, 130, 13, 124, 72);
  leftName.visible = true;
  Set_Record(&rightName, 470, 18, 160, 64);
  rightName.visible = true;

  Set_Record(&leftDigit, 280, 24, 24, 60);
  Set_SourceRect(&leftDigit, 24, 60);
  leftDigit.visible = true;
  Set_Record(&rightDigit, 660, 24, 24, 60);
  Set_SourceRect(&rightDigit, 24, 60);
  rightDigit.visible = true;

  Set_Record(&menuCursor, 0, 0, 54, 36);
  Set_Record(&creditsScreen, 0, 0, 800, 600);
  Set_Record(&helpScreen, 0, 0, 800, 600);
}

int Game_Init(HWND /*window*/) {
  srand((unsigned)time(NULL));

  classroomSurface = LoadSurface("classroom.bmp", 0);
  menuSurface = LoadSurface("ssfrontmenu.jpg", 0);
  rightFighter.tex = LoadTexture("KidRight.bmp", COLOUR_KEY);
  leftFighter.tex = LoadTexture("kidleft.bmp", COLOUR_KEY);
  leftPlane.tex = LoadTexture("airplane.bmp", COLOUR_KEY);
  rightPlane.tex = LoadTexture("airplane.bmp", COLOUR_KEY);
  for (GameSprite& desk : desks) desk.tex = LoadTexture("desk.bmp", COLOUR_KEY);
  rightScoresBanner.tex = LoadTexture("Rightplayerscores.bmp", COLOUR_KEY);
  leftScoresBanner.tex = LoadTexture("Leftplayerscores.bmp", COLOUR_KEY);
  rightName.tex = LoadTexture("rightplayername.bmp", COLOUR_KEY);
  leftName.tex = LoadTexture("leftplayername.bmp", COLOUR_KEY);
  rightDigit.tex = LoadTexture("scores.bmp", COLOUR_KEY);
  leftDigit.tex = LoadTexture("scores.bmp", COLOUR_KEY);
  rightWinsBanner.tex = LoadTexture("RightPlayerWins.bmp", COLOUR_KEY);
  leftWinsBanner.tex = LoadTexture("LeftPlayerWins.bmp", COLOUR_KEY);
  menuCursor.tex = LoadTexture("airplanecursor.png", COLOUR_KEY);
  creditsScreen.tex = LoadTexture("credits.jpg", COLOUR_KEY);
  helpScreen.tex = LoadTexture("helpmenu.jpg", COLOUR_KEY);

  Set_Records();

  hitSound1 = LoadSound("hit1.wav");
  hitSound2 = LoadSound("hit2.wav");
  hitSound3 = LoadSound("hit3.wav");
  if (hitSound1 == NULL || hitSound2 == NULL || hitSound3 == NULL) return 0;

  std::cerr << "Game Specific Objects Initialized\n";
  gameState = STATE_MENU;
  return 1;
}

template <typename T>
static void Release_IfHeld(T* object) {
  if (object) object->Release();
}

void Game_Shutdown(HWND /*window*/) {
  Release_IfHeld(classroomSurface);
  Release_IfHeld(menuSurface);
  std::cerr << "Surfaces Released\n";

  GameSprite* const inOrder[] = {&rightFighter,      &leftFighter,      &leftPlane,    &rightPlane,
                                 &desks[0],          &desks[1],         &desks[2],     &desks[3],
                                 &rightScoresBanner, &leftScoresBanner, &rightName,    &leftName,
                                 &rightDigit,        &leftDigit,        &menuCursor,   &rightWinsBanner,
                                 &leftWinsBanner,    &helpScreen,       &creditsScreen};
  for (GameSprite* sprite : inOrder) Release_IfHeld(sprite->tex);
  std::cerr << "Textures Released\n";

  delete hitSound1;
  delete hitSound2;
  delete hitSound3;
  std::cerr << "Sounds Deleted\n";
  std::cerr << "\nGame shut down!\n";
}

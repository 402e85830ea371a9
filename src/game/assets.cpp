// Game_Init and Game_Shutdown: the game's images and sounds, loaded at
// start-up (the images again after a device reset) and released at shutdown
// (the images also before a device reset), and the records' start values.
#include <cstdlib>
#include <ctime>
#include <iostream>

#include "game/assets.h"
#include "game/computer/opponent.h"
#include "game/duel.h"
#include "game/game.h"
#include "game/game_state.h"
#include "graphics/image_loaders.h"
#include "sound/sound.h"

static const D3DCOLOR COLOUR_KEY = 0xFFFF00FF;  // opaque magenta

// One image file and what it fills: a background surface, loaded without a
// colour key, or a sprite's texture, keyed with COLOUR_KEY. A file that
// serves several records is loaded once for each.
struct ImageAsset {
  const char* file;
  IDirect3DSurface9** surface;
  GameSprite* sprite;
};

// Every image, in load order.
static const ImageAsset IMAGES[] = {
    {"classroom.bmp", &classroomSurface, NULL},
    {"ssfrontmenu.jpg", &menuSurface, NULL},
    {"KidRight.bmp", NULL, &rightFighter},
    {"kidleft.bmp", NULL, &leftFighter},
    {"airplane.bmp", NULL, &leftPlane},
    {"airplane.bmp", NULL, &rightPlane},
    {"desk.bmp", NULL, &desks[0]},
    {"desk.bmp", NULL, &desks[1]},
    {"desk.bmp", NULL, &desks[2]},
    {"desk.bmp", NULL, &desks[3]},
    {"Rightplayerscores.bmp", NULL, &rightScoresBanner},
    {"Leftplayerscores.bmp", NULL, &leftScoresBanner},
    {"rightplayername.bmp", NULL, &rightName},
    {"leftplayername.bmp", NULL, &leftName},
    {"scores.bmp", NULL, &rightDigit},
    {"scores.bmp", NULL, &leftDigit},
    {"RightPlayerWins.bmp", NULL, &rightWinsBanner},
    {"LeftPlayerWins.bmp", NULL, &leftWinsBanner},
    {"airplanecursor.png", NULL, &menuCursor},
    {"credits.jpg", NULL, &creditsScreen},
    {"helpmenu.jpg", NULL, &helpScreen},
};

// The textured records in the order their textures are released.
static GameSprite* const TEXTURE_RELEASE_ORDER[] = {
    &rightFighter,  &leftFighter,      &leftPlane,         &rightPlane,       &desks[0],       &desks[1],
    &desks[2],      &desks[3],         &rightScoresBanner, &leftScoresBanner, &rightName,      &leftName,
    &rightDigit,    &leftDigit,        &menuCursor,        &rightWinsBanner,  &leftWinsBanner, &helpScreen,
    &creditsScreen, &leftComputerName, &rightComputerName};

void Load_Images() {
  for (const ImageAsset& image : IMAGES) {
    if (image.surface)
      *image.surface = LoadSurface(image.file, 0);
    else
      image.sprite->tex = LoadTexture(image.file, COLOUR_KEY);
  }
  Load_ComputerPlate();
}

// Only while the computer plays, so that a game of two people loads (and
// logs) the images it always did.
void Load_ComputerPlate() {
  if (Computer_Side() == SIDE_LEFT && leftComputerName.tex == NULL)
    leftComputerName.tex = LoadTexture("leftcomputername.bmp", COLOUR_KEY);
  if (Computer_Side() == SIDE_RIGHT && rightComputerName.tex == NULL)
    rightComputerName.tex = LoadTexture("rightcomputername.bmp", COLOUR_KEY);
}

template <typename T>
static void Release_IfHeld(T* object) {
  if (object) object->Release();
}

static void Release_Surfaces() {
  Release_IfHeld(classroomSurface);
  Release_IfHeld(menuSurface);
}

static void Release_Textures() {
  for (GameSprite* sprite : TEXTURE_RELEASE_ORDER) Release_IfHeld(sprite->tex);
}

// Releases every image and forgets the handles, so that a later release
// (the next reset, or the shutdown) finds none.
void Release_Images() {
  Release_Surfaces();
  Release_Textures();
  classroomSurface = NULL;
  menuSurface = NULL;
  for (GameSprite* sprite : TEXTURE_RELEASE_ORDER) sprite->tex = NULL;
}

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

// Fighters and airplanes get their sizes and looks here; Reset_Bout puts
// them at their start, as it does for every new bout.
static void Set_Fighter(GameSprite* fighter) {
  Set_Record(fighter, 0, 0, 56, 64);
  fighter->animDelay = 80;
  fighter->visible = true;
}

static void Set_Records() {
  Set_Fighter(&rightFighter);
  Set_Fighter(&leftFighter);
  Set_Record(&leftPlane, 0, 0, 32, 32);
  Set_Record(&rightPlane, 0, 0, 32, 32);
  Reset_Bout();

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
  Set_Record(&leftComputerName, 130, 13, 124, 72);
  Set_Record(&rightComputerName, 470, 18, 160, 64);

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
  Computer_Start();

  Load_Images();
  Set_Records();

  hitSound1 = LoadSound("hit1.wav");
  hitSound2 = LoadSound("hit2.wav");
  hitSound3 = LoadSound("hit3.wav");
  if (hitSound1 == NULL || hitSound2 == NULL || hitSound3 == NULL) return 0;

  std::cerr << "Game Specific Objects Initialized\n";
  gameState = STATE_MENU;
  return 1;
}

void Game_Shutdown(HWND /*window*/) {
  Release_Surfaces();
  std::cerr << "Surfaces Released\n";
  Release_Textures();
  std::cerr << "Textures Released\n";

  delete hitSound1;
  delete hitSound2;
  delete hitSound3;
  std::cerr << "Sounds Deleted\n";
  std::cerr << "\nGame shut down!\n";
}

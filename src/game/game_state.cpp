// Storage of the game's state. Start-up (Game_Init) gives the records their
// initial values; here everything starts zeroed except the menu choice and
// the frame timer.
#include "game/game_state.h"

GameSprite rightFighter;
GameSprite leftFighter;
GameSprite leftPlane;
GameSprite rightPlane;
GameSprite desks[4];
GameSprite leftName;
GameSprite rightName;
GameSprite leftDigit;
GameSprite rightDigit;
GameSprite leftScoresBanner;
GameSprite rightScoresBanner;
GameSprite leftWinsBanner;
GameSprite rightWinsBanner;
GameSprite menuCursor;
GameSprite creditsScreen;
GameSprite helpScreen;
GameSprite leftComputerName;
GameSprite rightComputerName;

IDirect3DSurface9* classroomSurface;
IDirect3DSurface9* menuSurface;

SoundClip* hitSound1;
SoundClip* hitSound2;
SoundClip* hitSound3;

int gameState;
int menuChoice = 1;
int leftScore;
int rightScore;

bool latchRight;
bool latchLeft;
bool latchUp;
bool latchDown;
bool latchA;
bool latchS;
bool latchD;
bool latchW;
bool latchRCtrl;
bool latchF;
bool latchEsc;
bool latchEnter;

DWORD lastFrameTick = GetTickCount();
D3DXVECTOR3 drawPos{0.0f, 0.0f, 0.0f};

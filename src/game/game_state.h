// The game's whole state: the sprite record, every sprite instance, the
// screen variable and its values, the scores, the menu choice, the key
// latches, the frame timer, and the images and sounds the game holds.
// Everything lives in static storage for the whole run; the game's routines
// (start-up and shutdown, the frame update, the duel) share it directly.
#pragma once

#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

class SoundClip;

// One drawn thing: a fighter, an airplane, a desk, a plate, a digit, a banner,
// the cursor or a full screen. Positions are back-buffer pixels of its
// top-left corner.
struct GameSprite {
  int x;
  int y;
  int width;   // of one frame
  int height;  // of one frame
  int stepX;   // movement per step, derived from heading
  int stepY;
  DWORD animDelay;  // ms between walk frames
  DWORD animStamp;  // tick at which the current walk frame began; 0: none yet
  int heading;      // 0 left, then clockwise: 1 up-left ... 7 down-left
  IDirect3DTexture9* tex;
  RECT srcRect;  // part of the texture drawn, for sheets
  bool visible;
  int life;  // airplanes: frames flown since launch
};

// Values of gameState.
enum {
  STATE_PLAY = 1,
  STATE_MENU = 2,
  STATE_RIGHT_SCORES = 3,
  STATE_LEFT_SCORES = 4,
  STATE_NEW_BOUT = 5,
  STATE_RIGHT_WINS = 6,
  STATE_LEFT_WINS = 7,
  STATE_CREDITS = 8,
  STATE_HELP = 9,
};

// Sprite records.
extern GameSprite rightFighter;
extern GameSprite leftFighter;
extern GameSprite leftPlane;
extern GameSprite rightPlane;
extern GameSprite desks[4];
extern GameSprite leftName;
extern GameSprite rightName;
extern GameSprite leftDigit;
extern GameSprite rightDigit;
extern GameSprite leftScoresBanner;
extern GameSprite rightScoresBanner;
extern GameSprite leftWinsBanner;
extern GameSprite rightWinsBanner;
extern GameSprite menuCursor;
extern GameSprite creditsScreen;
extern GameSprite helpScreen;
// The computer's name plates, shown in place of the person's on the side the
// computer plays; their images are loaded only while it plays one.
extern GameSprite leftComputerName;
extern GameSprite rightComputerName;

// Backgrounds, copied over the whole back buffer.
extern IDirect3DSurface9* classroomSurface;
extern IDirect3DSurface9* menuSurface;

// Hit sounds, owned by the game.
extern SoundClip* hitSound1;
extern SoundClip* hitSound2;
extern SoundClip* hitSound3;

// Screen variable: 0 until start-up succeeds, then one of the STATE_ values.
extern int gameState;
// Menu entry the cursor marks: 1 start, 2 help, 3 credits, 4 quit.
extern int menuChoice;
extern int leftScore;
extern int rightScore;

// Key latches: true from the frame that acted on a press until the first
// frame in which the key is up.
extern bool latchRight;
extern bool latchLeft;
extern bool latchUp;
extern bool latchDown;
extern bool latchA;
extern bool latchS;
extern bool latchD;
extern bool latchW;
extern bool latchRCtrl;
extern bool latchF;
extern bool latchEsc;
extern bool latchEnter;

// Tick count at the end of the previous frame.
extern DWORD lastFrameTick;
// Position handed to every sprite draw; z stays 0.
extern D3DXVECTOR3 drawPos;

// One frame of the duel and the reset that starts a new bout.
#include <cstdlib>

#include "game/duel.h"
#include "input/input.h"
#include "sound/sound.h"

static const int FIGHTER_SPEED = 3;
static const int AIRPLANE_SPEED_X = 8;
static const int AIRPLANE_SPEED_Y = 6;
static const int AIRPLANE_FLIGHT = 170;
static const int WALK_FRAMES = 4;
static const int WINNING_SCORE = 5;

// Heading after one step of an eighth of a turn, wrapping 8 to 0 and -1 to 7.
static int Turn_Heading(int heading, int by) {
  heading += by;
  if (heading == 8) heading = 0;
  if (heading == -1) heading = 7;
  return heading;
}

// Advances the walk frame once animDelay has passed since the current one
// began; the first move after a pause shows the next frame at once.
static void Animate_Walk(GameSprite* fighter) {
  if (GetTickCount() - fighter->animStamp >= fighter->animDelay) {
    fighter->srcRect.top += fighter->height;
    fighter->srcRect.bottom += fighter->height;
    if (fighter->srcRect.top >= WALK_FRAMES * fighter->height) {
      fighter->srcRect.top = 0;
      fighter->srcRect.bottom = fighter->height;
    }
    fighter->animStamp = 0;
  }
  if (fighter->animStamp == 0) fighter->animStamp = GetTickCount();
}

static void Walk(GameSprite* fighter, int direction) {
  fighter->x += direction * fighter->stepX;
  fighter->y += direction * fighter->stepY;
  Animate_Walk(fighter);
}

static void Throw(GameSprite* airplane, const GameSprite* thrower) {
  airplane->x = thrower->x;
  airplane->y = thrower->y;
  airplane->visible = true;
  airplane->life = 1;
  airplane->heading = thrower->heading;
}

static void Fly(GameSprite* airplane) {
  int flown = airplane->life;
  airplane->life = flown + 1;
  if (flown > AIRPLANE_FLIGHT) {
    airplane->visible = false;
    airplane->life = 0;
    return;
  }
  SetStepFromHeading(airplane, AIRPLANE_SPEED_X, AIRPLANE_SPEED_Y);
  airplane->x += airplane->stepX;
  airplane->y += airplane->stepY;
  BounceOffEdges(airplane);
  for (GameSprite& desk : desks) BounceOffDesk(airplane, &desk);
}

static void Block_AgainstDesks(GameSprite* fighter) {
  for (GameSprite& desk : desks) BlockAgainstDesk(fighter, &desk);
}

static void Play_HitSound() {
  switch (rand() % 3) {
    case 0:
      PlaySoundOnce(hitSound1);
      break;
    case 1:
      PlaySoundOnce(hitSound2);
      break;
    default:
      PlaySoundOnce(hitSound3);
      break;
  }
}

void Duel_Step() {
  // Turning, one step per press.
  if (Key_Held(DIK_RIGHT) && !latchRight) {
    latchRight = true;
    rightFighter.heading = Turn_Heading(rightFighter.heading, 1);
  }
  if (Key_Held(DIK_LEFT) && !latchLeft) {
    latchLeft = true;
    rightFighter.heading = Turn_Heading(rightFighter.heading, -1);
  }
  if (Key_Held(DIK_D) && !latchD) {
    latchD = true;
    leftFighter.heading = Turn_Heading(leftFighter.heading, 1);
  }
  if (Key_Held(DIK_A) && !latchA) {
    latchA = true;
    leftFighter.heading = Turn_Heading(leftFighter.heading, -1);
  }

  SetStepFromHeading(&rightFighter, FIGHTER_SPEED, FIGHTER_SPEED);
  SetStepFromHeading(&leftFighter, FIGHTER_SPEED, FIGHTER_SPEED);

  // Walking, every frame the key is held.
  if (Key_Held(DIK_UP)) {
    Walk(&rightFighter, 1);
    latchUp = true;
  }
  if (Key_Held(DIK_DOWN)) {
    Walk(&rightFighter, -1);
    latchDown = true;
  }
  if (Key_Held(DIK_W)) {
    Walk(&leftFighter, 1);
    latchW = true;
  }
  if (Key_Held(DIK_S)) {
    Walk(&leftFighter, -1);
    latchS = true;
  }

  // Throwing, only with an idle airplane.
  if (Key_Held(DIK_RCONTROL) && !latchRCtrl && !rightPlane.visible) {
    Throw(&rightPlane, &rightFighter);
    latchRCtrl = true;
  }
  if (Key_Held(DIK_F) && !latchF && !leftPlane.visible) {
    Throw(&leftPlane, &leftFighter);
    latchF = true;
  }

  Fly(&leftPlane);
  Fly(&rightPlane);

  KeepFighterInField(&rightFighter);
  Block_AgainstDesks(&rightFighter);
  KeepFighterInField(&leftFighter);
  Block_AgainstDesks(&leftFighter);

  // Hits. When both land in one frame the right player's banner shows,
  // except that a left win is never turned into a mere right point.
  if (AirplaneHitsPlayer(&rightFighter, &leftPlane) && leftPlane.visible) {
    leftPlane.visible = false;
    leftScore++;
    Play_HitSound();
    gameState = leftScore >= WINNING_SCORE ? STATE_LEFT_WINS : STATE_LEFT_SCORES;
  }
  if (AirplaneHitsPlayer(&leftFighter, &rightPlane) && rightPlane.visible) {
    rightPlane.visible = false;
    rightScore++;
    Play_HitSound();
    if (rightScore >= WINNING_SCORE)
      gameState = STATE_RIGHT_WINS;
    else if (gameState != STATE_LEFT_WINS)
      gameState = STATE_RIGHT_SCORES;
  }
}

// Where each fighter and airplane starts a bout, at start-up and after every
// point.
struct BoutStart {
  GameSprite* sprite;
  int x;
  int y;
  int heading;
};
static const BoutStart FIGHTER_STARTS[] = {{&rightFighter, 750, 300, 0}, {&leftFighter, 50, 300, 4}};
static const BoutStart AIRPLANE_STARTS[] = {{&leftPlane, 0, 0, 4}, {&rightPlane, 0, 0, 0}};

static GameSprite* Place_AtStart(const BoutStart& start) {
  GameSprite* sprite = start.sprite;
  sprite->x = start.x;
  sprite->y = start.y;
  sprite->stepX = 0;
  sprite->stepY = 0;
  sprite->heading = start.heading;
  return sprite;
}

void Reset_Bout() {
  for (const BoutStart& start : FIGHTER_STARTS) {
    GameSprite* fighter = Place_AtStart(start);
    fighter->animStamp = 0;
    fighter->srcRect.left = 0;
    fighter->srcRect.top = 0;
    fighter->srcRect.right = fighter->width;
    fighter->srcRect.bottom = fighter->height;
  }
  for (const BoutStart& start : AIRPLANE_STARTS) {
    GameSprite* airplane = Place_AtStart(start);
    airplane->visible = false;
    airplane->life = 0;
  }
}

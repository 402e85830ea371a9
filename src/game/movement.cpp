// Movement and collision routines of the duel: steps from headings, the play
// field's limits, desks as obstacles, airplane bounces and the hit test.
#include "game/duel.h"

static const int FIELD_WIDTH = 800;
static const int FIELD_HEIGHT = 600;
static const int FIGHTER_TOP = 60;
static const int AIRPLANE_TOP = 40;
static const int DESK_INSET = 20;
static const int HIT_INSET_X = 20;
static const int HIT_INSET_Y = 24;

void SetStepFromHeading(GameSprite* sprite, int speedX, int speedY) {
  switch (sprite->heading) {
    case 0:
      sprite->stepX = -speedX;
      sprite->stepY = 0;
      break;
    case 1:
      sprite->stepX = -speedX;
      sprite->stepY = -speedY;
      break;
    case 2:
      sprite->stepX = 0;
      sprite->stepY = -speedY;
      break;
    case 3:
      sprite->stepX = speedX;
      sprite->stepY = -speedY;
      break;
    case 4:
      sprite->stepX = speedX;
      sprite->stepY = 0;
      break;
    case 5:
      sprite->stepX = speedX;
      sprite->stepY = speedY;
      break;
    case 6:
      sprite->stepX = 0;
      sprite->stepY = speedY;
      break;
    case 7:
      sprite->stepX = -speedX;
      sprite->stepY = speedY;
      break;
    default:
      sprite->stepX = 1;
      sprite->stepY = 1;
      break;
  }
}

void KeepFighterInField(GameSprite* fighter) {
  if (fighter->x <= 0) fighter->x = 0;
  if (fighter->x + fighter->width >= FIELD_WIDTH) fighter->x = FIELD_WIDTH - fighter->width;
  if (fighter->y <= FIGHTER_TOP) fighter->y = FIGHTER_TOP;
  if (fighter->y + fighter->height >= FIELD_HEIGHT) fighter->y = FIELD_HEIGHT - fighter->height;
}

void BlockAgainstDesk(GameSprite* f, GameSprite* d) {
  const int DL = d->x;
  const int DR = d->x + d->width;
  const int DT = d->y;
  const int DB = d->y + d->height;

  // Each test sees the position the one before left.
  int L = f->x + DESK_INSET;
  int R = f->x + f->width - DESK_INSET;
  int T = f->y;
  int B = f->y + f->height;
  if (R >= DL && L < DL && B > DT && T < DB) f->x = DL - f->width + DESK_INSET;

  L = f->x + DESK_INSET;
  R = f->x + f->width - DESK_INSET;
  if (L <= DR && R > DR && B > DT && T < DB) f->x = DR - DESK_INSET;

  L = f->x + DESK_INSET;
  R = f->x + f->width - DESK_INSET;
  if (B >= DT && T < DT && R > DL && L < DR) f->y = DT - f->height;

  T = f->y;
  B = f->y + f->height;
  if (T <= DB && B > DB && R > DL && L < DR) f->y = DB;
}

// Heading turns at a wall on the left of the airplane (moving left).
static void Turn_FromLeftWall(GameSprite* p) {
  if (p->heading == 0)
    p->heading = 5;
  else if (p->heading == 1)
    p->heading = 3;
  else if (p->heading == 7)
    p->heading = 5;
}

// Heading turns at a wall on the right (moving right).
static void Turn_FromRightWall(GameSprite* p) {
  if (p->heading == 4)
    p->heading = 1;
  else if (p->heading == 3)
    p->heading = 1;
  else if (p->heading == 5)
    p->heading = 7;
}

// Heading turns at a wall above (moving up).
static void Turn_FromTopWall(GameSprite* p) {
  if (p->heading == 2)
    p->heading = 7;
  else if (p->heading == 1)
    p->heading = 7;
  else if (p->heading == 3)
    p->heading = 5;
}

// Heading turns at a wall below (moving down).
static void Turn_FromBottomWall(GameSprite* p) {
  if (p->heading == 6)
    p->heading = 3;
  else if (p->heading == 5)
    p->heading = 3;
  else if (p->heading == 7)
    p->heading = 1;
}

void BounceOffEdges(GameSprite* p) {
  if (p->x <= 0) {
    p->x = 0;
    Turn_FromLeftWall(p);
  }
  if (p->x >= FIELD_WIDTH - p->width) {
    p->x = FIELD_WIDTH - p->width;
    Turn_FromRightWall(p);
  }
  if (p->y <= AIRPLANE_TOP) {
    p->y = AIRPLANE_TOP;
    Turn_FromTopWall(p);
  }
  if (p->y >= FIELD_HEIGHT - p->height) {
    p->y = FIELD_HEIGHT - p->height;
    Turn_FromBottomWall(p);
  }
}

void BounceOffDesk(GameSprite* p, GameSprite* d) {
  const int DL = d->x;
  const int DR = d->x + d->width;
  const int DT = d->y;
  const int DB = d->y + d->height;

  if (p->x <= DR && p->x + p->width > DR && p->y + p->height > DT && p->y < DB) {
    p->x = DR;
    Turn_FromLeftWall(p);
  }
  if (p->x + p->width >= DL && p->x < DL && p->y + p->height > DT && p->y < DB) {
    p->x = DL - p->width;
    Turn_FromRightWall(p);
  }
  if (p->y + p->height >= DT && p->y < DT && p->x + p->width > DL && p->x < DR) {
    p->y = DT - p->height;
    Turn_FromBottomWall(p);
  }
  if (p->y <= DB && p->y + p->height > DB && p->x + p->width > DL && p->x < DR) {
    p->y = DB;
    Turn_FromTopWall(p);
  }
}

bool AirplaneHitsPlayer(GameSprite* player, GameSprite* airplane) {
  RECT rPlayer;
  rPlayer.left = player->x + HIT_INSET_X;
  rPlayer.top = player->y + HIT_INSET_Y;
  rPlayer.right = player->x + player->width - HIT_INSET_X;
  rPlayer.bottom = player->y + player->height - HIT_INSET_Y;

  RECT rAirplane;
  rAirplane.left = airplane->x;
  rAirplane.top = airplane->y;
  rAirplane.right = airplane->x + airplane->width;
  rAirplane.bottom = airplane->y + airplane->height;

  RECT rDummy;
  return IntersectRect(&rDummy, &rPlayer, &rAirplane) != 0;
}

// The duel's movement rules on plain numbers (see foresight.h). They follow
// game/movement.cpp and the duel step's order exactly; a test holds them to
// the game's own routines.
#include "game/computer/foresight.h"

#include <cstdlib>

#include "game/game_state.h"

namespace foresight {

const int HEADING_X[8] = {-1, -1, 0, 1, 1, 1, 0, -1};
const int HEADING_Y[8] = {0, -1, -1, -1, 0, 1, 1, 1};

static const int FIELD_WIDTH = 800;
static const int FIELD_HEIGHT = 600;
static const int KID_TOP = 60;
static const int PLANE_TOP = 40;
static const int KID_SPEED = 3;
static const int PLANE_SPEED_X = 8;
static const int PLANE_SPEED_Y = 6;
static const int DESK_INSET = 20;
static const int HIT_INSET_X = 20;
static const int HIT_INSET_Y = 24;

// The heading an airplane takes at a wall it meets moving left, right, up
// or down, by its heading before (the same turns at a desk's sides).
static const int FROM_LEFT_WALL[8] = {5, 3, 2, 3, 4, 5, 6, 5};
static const int FROM_RIGHT_WALL[8] = {0, 1, 2, 1, 1, 7, 6, 7};
static const int FROM_TOP_WALL[8] = {0, 7, 7, 5, 4, 5, 6, 7};
static const int FROM_BOTTOM_WALL[8] = {0, 1, 2, 3, 4, 3, 3, 1};

static Box Box_Of(const GameSprite& sprite) {
  return Box{sprite.x, sprite.y, sprite.x + sprite.width, sprite.y + sprite.height};
}

Field Field_Now() {
  Field field;
  field.kidWidth = rightFighter.width;
  field.kidHeight = rightFighter.height;
  field.planeWidth = rightPlane.width;
  field.planeHeight = rightPlane.height;
  for (int i = 0; i < 4; i++) field.desks[i] = Box_Of(desks[i]);
  return field;
}

// A heading outside 0..7 moves (1, 1), as the game's step does.
static int Step_X(int heading, int speed) {
  return heading >= 0 && heading < 8 ? HEADING_X[heading] * speed : 1;
}
static int Step_Y(int heading, int speed) {
  return heading >= 0 && heading < 8 ? HEADING_Y[heading] * speed : 1;
}
static int Turn_At(const int* turns, int heading) {
  return heading >= 0 && heading < 8 ? turns[heading] : heading;
}

bool Fly_Step(Body& p, const Field& field) {
  const int before = p.heading;
  const int w = field.planeWidth, h = field.planeHeight;
  p.x += Step_X(p.heading, PLANE_SPEED_X);
  p.y += Step_Y(p.heading, PLANE_SPEED_Y);
  if (p.x <= 0) {
    p.x = 0;
    p.heading = Turn_At(FROM_LEFT_WALL, p.heading);
  }
  if (p.x >= FIELD_WIDTH - w) {
    p.x = FIELD_WIDTH - w;
    p.heading = Turn_At(FROM_RIGHT_WALL, p.heading);
  }
  if (p.y <= PLANE_TOP) {
    p.y = PLANE_TOP;
    p.heading = Turn_At(FROM_TOP_WALL, p.heading);
  }
  if (p.y >= FIELD_HEIGHT - h) {
    p.y = FIELD_HEIGHT - h;
    p.heading = Turn_At(FROM_BOTTOM_WALL, p.heading);
  }
  for (const Box& d : field.desks) {
    if (p.x <= d.right && p.x + w > d.right && p.y + h > d.top && p.y < d.bottom) {
      p.x = d.right;
      p.heading = Turn_At(FROM_LEFT_WALL, p.heading);
    }
    if (p.x + w >= d.left && p.x < d.left && p.y + h > d.top && p.y < d.bottom) {
      p.x = d.left - w;
      p.heading = Turn_At(FROM_RIGHT_WALL, p.heading);
    }
    if (p.y + h >= d.top && p.y < d.top && p.x + w > d.left && p.x < d.right) {
      p.y = d.top - h;
      p.heading = Turn_At(FROM_BOTTOM_WALL, p.heading);
    }
    if (p.y <= d.bottom && p.y + h > d.bottom && p.x + w > d.left && p.x < d.right) {
      p.y = d.bottom;
      p.heading = Turn_At(FROM_TOP_WALL, p.heading);
    }
  }
  return p.heading != before;
}

void Walk_Step(Body& kid, int direction) {
  kid.x += direction * Step_X(kid.heading, KID_SPEED);
  kid.y += direction * Step_Y(kid.heading, KID_SPEED);
}

void Keep_Kid(Body& k, const Field& field) {
  const int w = field.kidWidth, h = field.kidHeight;
  if (k.x <= 0) k.x = 0;
  if (k.x + w >= FIELD_WIDTH) k.x = FIELD_WIDTH - w;
  if (k.y <= KID_TOP) k.y = KID_TOP;
  if (k.y + h >= FIELD_HEIGHT) k.y = FIELD_HEIGHT - h;
  for (const Box& d : field.desks) {
    // Each test sees the position the one before left.
    int left = k.x + DESK_INSET, right = k.x + w - DESK_INSET;
    const int top = k.y, bottom = k.y + h;
    if (right >= d.left && left < d.left && bottom > d.top && top < d.bottom) k.x = d.left - w + DESK_INSET;
    left = k.x + DESK_INSET;
    right = k.x + w - DESK_INSET;
    if (left <= d.right && right > d.right && bottom > d.top && top < d.bottom) k.x = d.right - DESK_INSET;
    left = k.x + DESK_INSET;
    right = k.x + w - DESK_INSET;
    if (bottom >= d.top && top < d.top && right > d.left && left < d.right) k.y = d.top - h;
    const int newTop = k.y, newBottom = k.y + h;
    if (newTop <= d.bottom && newBottom > d.bottom && right > d.left && left < d.right) k.y = d.bottom;
  }
}

bool Plane_Hits(const Body& p, int kidX, int kidY, int slack, const Field& field) {
  const int left = kidX + HIT_INSET_X - slack, right = kidX + field.kidWidth - HIT_INSET_X + slack;
  const int top = kidY + HIT_INSET_Y - slack, bottom = kidY + field.kidHeight - HIT_INSET_Y + slack;
  return p.x < right && p.x + field.planeWidth > left && p.y < bottom && p.y + field.planeHeight > top;
}

// Where a kid can stand.
static int Clamp(int value, int low, int high) { return value < low ? low : value > high ? high : value; }

int Throw_HitFrame(Body p, const Target& target, int bounces, int frames, const Field& field) {
  int x = target.x, y = target.y;
  for (int t = 1; t <= frames; t++) {
    if (Fly_Step(p, field) && --bounces < 0) return 0;
    x = Clamp(x + target.stepX, 0, FIELD_WIDTH - field.kidWidth);
    y = Clamp(y + target.stepY, KID_TOP, FIELD_HEIGHT - field.kidHeight);
    if (Plane_Hits(p, x, y, target.slack, field)) return t;
  }
  return 0;
}

// Whole frames t (t >= 1) in which a + speed * sign * t lies between low and
// high: open bounds when `open`, closed otherwise.
struct Frames {
  int first, last;  // empty when first > last
};

static int Floor_Div(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
static int Ceil_Div(int a, int b) { return -Floor_Div(-a, b); }

static const int LONGEST_FLIGHT = 170;

static Frames Frames_Within(int a, int speed, int sign, int low, int high, bool open) {
  if (sign == 0) {
    const bool inside = open ? (a > low && a < high) : (a >= low && a <= high);
    return inside ? Frames{1, LONGEST_FLIGHT} : Frames{1, 0};
  }
  // Moving by -speed is moving by +speed on the mirrored line.
  if (sign < 0) {
    const int mirroredLow = -high, mirroredHigh = -low;
    a = -a;
    low = mirroredLow;
    high = mirroredHigh;
  }
  if (open) return Frames{Floor_Div(low - a, speed) + 1, Ceil_Div(high - a, speed) - 1};
  return Frames{Ceil_Div(low - a, speed), Floor_Div(high - a, speed)};
}

static Frames Both(const Frames& a, const Frames& b) {
  return Frames{a.first > b.first ? a.first : b.first, a.last < b.last ? a.last : b.last};
}

int Straight_Line(int x, int y, int heading, int targetX, int targetY, const Field& field) {
  const int sx = HEADING_X[heading], sy = HEADING_Y[heading];
  const int pw = field.planeWidth, ph = field.planeHeight;
  const Frames hitX = Frames_Within(x, PLANE_SPEED_X, sx, targetX + HIT_INSET_X - pw,
                                    targetX + field.kidWidth - HIT_INSET_X, true);
  const Frames hitY = Frames_Within(y, PLANE_SPEED_Y, sy, targetY + HIT_INSET_Y - ph,
                                    targetY + field.kidHeight - HIT_INSET_Y, true);
  Frames hit = Both(Both(hitX, hitY), Frames{1, LONGEST_FLIGHT});
  if (hit.first > hit.last) return 0;
  const int t = hit.first;
  // The edges: the motion is straight, so only the frame of the hit matters.
  const int endX = x + sx * PLANE_SPEED_X * t, endY = y + sy * PLANE_SPEED_Y * t;
  if ((sx < 0 && endX <= 0) || (sx > 0 && endX >= FIELD_WIDTH - pw)) return 0;
  if ((sy < 0 && endY <= PLANE_TOP) || (sy > 0 && endY >= FIELD_HEIGHT - ph)) return 0;
  for (const Box& d : field.desks) {
    const Frames onX = Frames_Within(x, PLANE_SPEED_X, sx, d.left - pw, d.right, false);
    const Frames onY = Frames_Within(y, PLANE_SPEED_Y, sy, d.top - ph, d.bottom, false);
    const Frames on = Both(Both(onX, onY), Frames{1, t});
    if (on.first <= on.last) return 0;
  }
  return t;
}

void Flight_Path(Body plane, int frames, const Field& field, Body* path) {
  for (int t = 0; t < frames; t++) {
    Fly_Step(plane, field);
    path[t] = plane;
  }
}

int Struck_Frame(Body kid, const Moves& moves, const Body* path, int frames, const Field& field) {
  const int way = moves.turn > 0 ? 1 : -1;
  const int turns = std::abs(moves.turn);
  for (int t = 1; t <= frames; t++) {
    if ((turns >= 1 && t == moves.turnAt) || (turns >= 2 && t == moves.turnAt + 2))
      kid.heading = Turned(kid.heading, way);
    Walk_Step(kid, moves.walk);
    Keep_Kid(kid, field);
    if (Plane_Hits(path[t - 1], kid.x, kid.y, 0, field)) return t;
  }
  return 0;
}

}  // namespace foresight

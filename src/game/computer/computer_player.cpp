// How the computer player decides its keys (see computer_player.h).
//
// Each frame, in this order: it takes in the screen and remembers it; it
// acts on what it saw `reaction` frames ago (its own kid and airplane it
// knows at once); it hesitates now and then (the lower levels); it plans
// (throw now if the line is open, or keep it while its airplane is still
// out; else turn to a heading with an open line, else walk a route to a
// place with one, else wander towards the other kid); and last, if an
// airplane of the other kid is flying, it checks that the plan keeps it out
// of the airplane's path and otherwise picks the nearest way of turning and
// walking that does.
#include "game/computer/computer_player.h"

#include <cstdlib>

#include "game/game_state.h"
#include "input/input.h"

using namespace foresight;

namespace {

// What sets the levels apart.
struct Traits {
  int reaction;      // frames between a sight and acting on it
  int slack;         // pixels a throw may miss the other kid's hit box by and still be thrown
  int bounces;       // bounces a line may have
  bool leads;        // aims where a walking kid will be
  int hesitate;      // chance in 256, each frame, of standing idle for a while
  int dodgeTurns;    // eighths it turns, at most, to leave an airplane's path
  int lookAhead;     // frames of an airplane's flight it foresees
  int longestThrow;  // frames of flight it throws for, at most, as a bout begins: close throws are
                     // the hard ones to step away from, so it comes close, and closer after each miss
};

const Traits LEVELS[3] = {
    {10, 14, 0, false, 5, 1, 36, 30},
    {6, 6, 1, false, 2, 1, 36, 22},
    {2, 0, 1, true, 0, 2, 48, 16},
};

const int LOOK_AHEAD_MOST = 48;
const int ROUTE_LONGEST = 40;  // frames of walking a route may take
const int ROUTE_SAMPLE = 4;    // a route's places are tried every this many frames
const int REROUTE = 8;         // frames a route is followed before it is sought again
const int KID_SPEED = 3;
const int CLOSER = 3;         // frames of flight it takes off what it throws for after a miss
const int CLOSEST_THROW = 6;  // ... down to this

// The five keys of each side: turn anticlockwise, turn clockwise, forward,
// backward, throw.
const int KEYS[2][5] = {{DIK_A, DIK_D, DIK_W, DIK_S, DIK_F},
                        {DIK_LEFT, DIK_RIGHT, DIK_UP, DIK_DOWN, DIK_RCONTROL}};

// The heading of a direction (-1, 0, +1 on each axis).
int Heading_Of(int sx, int sy) {
  for (int h = 0; h < 8; h++)
    if (HEADING_X[h] == sx && HEADING_Y[h] == sy) return h;
  return 0;
}

int Sign(int v) { return v > 0 ? 1 : v < 0 ? -1 : 0; }

// The heading from one place towards another as an airplane flies (8 across
// for 6 up or down): straight when the other axis is less than half.
int Toward(int dx, int dy) {
  const int across = std::abs(dx) * 3, upDown = std::abs(dy) * 4;
  int sx = Sign(dx), sy = Sign(dy);
  if (across > 2 * upDown) sy = 0;
  if (upDown > 2 * across) sx = 0;
  return Heading_Of(sx, sy);
}

Body Body_Of(const GameSprite& sprite) { return Body{sprite.x, sprite.y, sprite.heading}; }

}  // namespace

ComputerPlayer::ComputerPlayer(int side_, int level_, uint32_t seed)
    : side(side_ == SIDE_LEFT ? SIDE_LEFT : SIDE_RIGHT),
      level(level_ < LOWEST_LEVEL    ? LOWEST_LEVEL
            : level_ > HIGHEST_LEVEL ? HIGHEST_LEVEL
                                     : level_),
      state(seed * 2654435761u + 0x9E3779B9u) {
  if (state == 0) state = 1;
  New_Bout();
}

void ComputerPlayer::New_Bout() {
  newest = 0;
  seenFrames = 0;
  route = Route{};
  routeAge = 0;
  idleFrames = 0;
  lastTurn = 0;
  wanderFace = 0;
  wanderFrames = 0;
  thrown = false;
  reach = LEVELS[level - 1].longestThrow;
  planeFlew = false;
}

// xorshift32
uint32_t ComputerPlayer::Random() {
  state ^= state << 13;
  state ^= state >> 17;
  state ^= state << 5;
  return state;
}

int ComputerPlayer::Chance(int in256) { return int(Random() & 255) < in256; }

ComputerPlayer::Sight ComputerPlayer::Seen() const {
  int back = LEVELS[level - 1].reaction;
  if (back > seenFrames - 1) back = seenFrames - 1;
  return memory[(newest - back + MEMORY) % MEMORY];
}

foresight::Target ComputerPlayer::Target_Of(const Sight& seen) const {
  const Traits& traits = LEVELS[level - 1];
  Target target{seen.foe.x, seen.foe.y, 0, 0, traits.slack};
  if (traits.leads && seenFrames > traits.reaction + 1) {
    const Sight& before = memory[(newest - traits.reaction - 1 + MEMORY) % MEMORY];
    target.stepX = seen.foe.x - before.foe.x;
    target.stepY = seen.foe.y - before.foe.y;
    if (std::abs(target.stepX) > KID_SPEED || std::abs(target.stepY) > KID_SPEED)
      target.stepX = target.stepY = 0;
    target.x += target.stepX * traits.reaction;
    target.y += target.stepY * traits.reaction;
  }
  return target;
}

ComputerPlayer::Intent ComputerPlayer::Face(int current, int wanted) const {
  return Intent{Sign(Turn_Between(current, wanted)), 0, false};
}

bool ComputerPlayer::Thrown_Before(const Body& from, const Target& target) const {
  const int closeBy = 6;
  return thrown && from.heading == throwFrom.heading && std::abs(from.x - throwFrom.x) <= closeBy &&
         std::abs(from.y - throwFrom.y) <= closeBy && std::abs(target.x - throwAtX) <= closeBy &&
         std::abs(target.y - throwAtY) <= closeBy;
}

// The frame a throw from `from` strikes the target in, or 0: no line, or
// the line of a throw that just missed.
int ComputerPlayer::Line(const Body& from, const Target& target, const Field& field) const {
  const Traits& traits = LEVELS[level - 1];
  if (Thrown_Before(from, target)) return 0;
  return Throw_HitFrame(from, target, traits.bounces, reach, field);
}

ComputerPlayer::Intent ComputerPlayer::Plan(const Body& me, const Sight& seen, const Field& field) {
  const Target target = Target_Of(seen);
  const GameSprite& myPlane = side == SIDE_LEFT ? leftPlane : rightPlane;
  if (Line(me, target, field)) {
    // On a line: throw, or keep it until the airplane is back.
    aimedAtX = target.x;
    aimedAtY = target.y;
    return Intent{0, 0, !myPlane.visible};
  }
  // The nearest heading from here with an open line.
  static const int TURNS[] = {1, -1, 2, -2, 3, -3, 4};
  for (int turn : TURNS) {
    const Body aimed{me.x, me.y, Turned(me.heading, turn)};
    if (Line(aimed, target, field)) {
      route.valid = false;
      return Intent{Sign(turn), 0, false};
    }
  }
  return Follow_Route(me, seen, field);
}

ComputerPlayer::Intent ComputerPlayer::Follow_Route(const Body& me, const Sight& seen, const Field& field) {
  if (!route.valid || ++routeAge > REROUTE) {
    Find_Route(me, seen, field);
    routeAge = 0;
  }
  if (route.valid) {
    if (me.heading != route.face) return Face(me.heading, route.face);
    if (route.frames > 0) {
      route.frames--;
      return Intent{0, route.walk, false};
    }
    // There, and no line: the other kid moved. Seek again next frame.
    route.valid = false;
    return Face(me.heading, route.aim);
  }
  // No line within reach: wander towards the other kid for a while.
  if (wanderFrames <= 0) {
    const int toward = Toward(seen.foe.x - me.x, seen.foe.y - me.y);
    wanderFace = Turned(toward, int(Random() % 3) - 1);
    wanderFrames = 12 + int(Random() % 24);
  }
  wanderFrames--;
  if (me.heading != wanderFace) return Face(me.heading, wanderFace);
  return Intent{0, 1, false};
}

// Tries the eight ways of walking from here, each for up to ROUTE_LONGEST
// frames, for a place with a straight line to the other kid, and keeps the
// quickest: turning to walk, walking, turning to throw (two frames an
// eighth, as a turn key acts once per press).
void ComputerPlayer::Find_Route(const Body& me, const Sight& seen, const Field& field) {
  const Target target = Target_Of(seen);
  route = Route{};
  int bestCost = 1 << 30;
  for (int way = 0; way < 8; way++) {
    // Walking towards `way` faces it forwards or the opposite backwards.
    const int forward = std::abs(Turn_Between(me.heading, way));
    const int backward = std::abs(Turn_Between(me.heading, Turned(way, 4)));
    Body kid{me.x, me.y, forward <= backward ? way : Turned(way, 4)};
    const int walk = forward <= backward ? 1 : -1;
    const int turnCost = 2 * (forward <= backward ? forward : backward);
    for (int frames = 1; frames <= ROUTE_LONGEST; frames++) {
      const int x = kid.x, y = kid.y;
      Walk_Step(kid, walk);
      Keep_Kid(kid, field);
      if (kid.x == x && kid.y == y) break;  // against a desk or an edge
      if (frames % ROUTE_SAMPLE != 0 || turnCost + frames >= bestCost) continue;
      const int toward = Toward(target.x - kid.x, target.y - kid.y);
      bool found = false;
      for (int turn = -1; turn <= 1 && !found; turn++) {
        const int aim = Turned(toward, turn);
        const int flight = Straight_Line(kid.x, kid.y, aim, target.x, target.y, field);
        if (flight == 0 || flight > reach) continue;
        const int cost = turnCost + frames + 2 * std::abs(Turn_Between(kid.heading, aim)) + int(Random() % 4);
        if (cost < bestCost) {
          bestCost = cost;
          route = Route{true, kid.heading, walk, frames, aim};
        }
        found = true;
      }
      if (found) break;
    }
  }
}

ComputerPlayer::Intent ComputerPlayer::Dodge(const Intent& planned, const Body& me, const Sight& seen,
                                             const Field& field) {
  const Traits& traits = LEVELS[level - 1];
  // Where the airplane is now: it flew on since it was seen.
  Body plane = seen.foePlane;
  const int since = LEVELS[level - 1].reaction < seenFrames ? LEVELS[level - 1].reaction : seenFrames - 1;
  for (int i = 0; i < since; i++) Fly_Step(plane, field);
  Body path[LOOK_AHEAD_MOST];
  Flight_Path(plane, traits.lookAhead, field, path);

  // A turn key still held from the last frame turns only after a frame let go.
  auto turnAt = [&](int turn) { return turn != 0 && Sign(turn) == lastTurn ? 2 : 1; };
  const Moves plannedMoves{planned.turn, turnAt(planned.turn), planned.walk};
  int latest = Struck_Frame(me, plannedMoves, path, traits.lookAhead, field);
  if (latest == 0) return planned;

  Intent best = planned;
  static const int TURNS[] = {0, 1, -1, 2, -2};
  static const int WALKS[] = {1, -1, 0};
  for (int turn : TURNS) {
    if (std::abs(turn) > traits.dodgeTurns) continue;
    for (int walk : WALKS) {
      const int struck = Struck_Frame(me, Moves{turn, turnAt(turn), walk}, path, traits.lookAhead, field);
      const Intent moves{Sign(turn), walk, false};
      if (struck == 0) return moves;
      if (struck > latest) {
        latest = struck;
        best = moves;
      }
    }
  }
  return best;
}

void ComputerPlayer::Decide(BYTE* keys) {
  const bool left = side == SIDE_LEFT;
  const GameSprite& meSprite = left ? leftFighter : rightFighter;
  const GameSprite& foeSprite = left ? rightFighter : leftFighter;
  const GameSprite& foePlaneSprite = left ? rightPlane : leftPlane;

  newest = (newest + 1) % MEMORY;
  memory[newest] = Sight{Body_Of(foeSprite), Body_Of(foePlaneSprite), foePlaneSprite.visible};
  if (seenFrames < MEMORY) seenFrames++;

  // Its airplane came down without a hit (a hit ends the bout): closer next time.
  const GameSprite& myPlane = left ? leftPlane : rightPlane;
  if (planeFlew && !myPlane.visible && reach - CLOSER >= CLOSEST_THROW) reach -= CLOSER;
  planeFlew = myPlane.visible;

  const Field field = Field_Now();
  const Body me = Body_Of(meSprite);
  const Sight seen = Seen();
  Intent intent{0, 0, false};
  if (idleFrames > 0) {
    idleFrames--;
  } else if (Chance(LEVELS[level - 1].hesitate)) {
    idleFrames = 4 + int(Random() % 12);
  } else {
    intent = Plan(me, seen, field);
  }
  if (seen.foePlaneFlying) intent = Dodge(intent, me, seen, field);

  // A turn acts once per press: a turn key held in the last frame is let
  // go first.
  int turn = intent.turn;
  if (turn != 0 && turn == lastTurn) turn = 0;
  lastTurn = turn;
  const int* own = KEYS[side];
  keys[own[0]] = turn < 0 ? 0x80 : 0;
  keys[own[1]] = turn > 0 ? 0x80 : 0;
  keys[own[2]] = intent.walk > 0 ? 0x80 : 0;
  keys[own[3]] = intent.walk < 0 ? 0x80 : 0;
  const bool fire = intent.fire && intent.turn == 0 && intent.walk == 0;
  keys[own[4]] = fire ? 0x80 : 0;
  if (fire) {
    thrown = true;
    throwFrom = me;
    throwAtX = aimedAtX;
    throwAtY = aimedAtY;
  }
}

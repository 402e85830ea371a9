// What the computer player foresees of the duel: where an airplane will fly,
// where a walk will take a kid and whether the two meet, by the duel's own
// rules (game/movement.cpp and the duel step's order), worked out on plain
// numbers so that it can try many throws and walks in a frame.
#pragma once

namespace foresight {

// A box in field pixels: left and top inside, right and bottom outside.
struct Box {
  int left, top, right, bottom;
};

// What stays put during a bout: the sizes of kids and airplanes, and the
// desks.
struct Field {
  int kidWidth, kidHeight;
  int planeWidth, planeHeight;
  Box desks[4];
};

// A kid or an airplane: top-left corner and heading (0 left, clockwise).
struct Body {
  int x, y, heading;
};

// The field as the game's records hold it now.
Field Field_Now();

// One flight step of an airplane: its move, the field's edges, then the
// desks in order. True when it bounced (its heading turned).
bool Fly_Step(Body& plane, const Field& field);

// One walking move of a kid along its heading (direction +1 forward, -1
// backward, 0 none), without the limits.
void Walk_Step(Body& kid, int direction);
// The limits the duel applies to a kid after the airplanes flew: the field,
// then the desks in order.
void Keep_Kid(Body& kid, const Field& field);

// True when the airplane's box overlaps the kid's hit box grown by `slack`
// pixels on every side (touching edges do not count).
bool Plane_Hits(const Body& plane, int kidX, int kidY, int slack, const Field& field);

// A kid a throw is aimed at: where it is seen at the throw, and how far it
// is expected to move each frame after.
struct Target {
  int x, y;
  int stepX, stepY;
  int slack;  // pixels a near miss may pass by and still count
};

// The frame (1 = the frame of the throw) in which an airplane thrown from
// `from` strikes the target, if it does so within `frames` frames and after
// at most `bounces` bounces; 0 otherwise.
int Throw_HitFrame(Body from, const Target& target, int bounces, int frames, const Field& field);

// The frame in which a straight throw (no bounce) from a kid at (x, y) in
// `heading` strikes a kid standing at (targetX, targetY), 0 when it does
// not; worked out from the line itself rather than step by step. A throw
// that would graze a desk or an edge counts as blocked.
int Straight_Line(int x, int y, int heading, int targetX, int targetY, const Field& field);

// The path of a flying airplane: its place after each of the next `frames`
// flight steps.
void Flight_Path(Body plane, int frames, const Field& field, Body* path);

// A way of moving for the next frames: turn by `turn` (one step, at the
// frame `turnAt`, and for a turn of two the second two frames later, since
// a turn key acts once per press), and walk in `walk` (+1, -1, 0) every
// frame.
struct Moves {
  int turn;
  int turnAt;
  int walk;
};

// The first frame (1 = this one) in which a kid moving so is struck by the
// airplane following `path`, within `frames`; 0 when it is never struck.
int Struck_Frame(Body kid, const Moves& moves, const Body* path, int frames, const Field& field);

// Heading after turning by `by` eighths (clockwise positive), wrapped.
inline int Turned(int heading, int by) { return ((heading + by) % 8 + 8) % 8; }
// The fewest eighths from one heading to another, signed (+ clockwise).
inline int Turn_Between(int from, int to) {
  const int d = ((to - from) % 8 + 8) % 8;
  return d > 4 ? d - 8 : d;
}

// Step of a heading along x and y: -1, 0 or +1.
extern const int HEADING_X[8];
extern const int HEADING_Y[8];

}  // namespace foresight

// A computer player: it plays one side of the duel by deciding, each frame,
// which of that side's keys are down, from what a person sees on the screen
// (the kids' places and headings, the airplanes, the desks, the field). It
// turns to face the other kid within the eight directions, walks to find a
// line that no desk blocks (straight, or off one bounce), throws when the
// line is open, from closer after each miss, and steps out of the path of an
// airplane coming at it. It never reads the other side's keys, nor how long
// an airplane has flown.
//
// Levels. 1 reacts slowly and aims loosely, 3 reacts within a few frames
// and aims well. Its chances come from its own generator, seeded when it is
// made, never from the standard library's (the hit sounds draw on that).
#pragma once

#include <windows.h>

#include <cstdint>

#include "game/computer/foresight.h"

// Sides of the duel.
enum { SIDE_LEFT = 0, SIDE_RIGHT = 1 };

class ComputerPlayer {
 public:
  static const int LOWEST_LEVEL = 1;
  static const int HIGHEST_LEVEL = 3;

  // `level` is clamped into 1..3.
  ComputerPlayer(int side, int level, uint32_t seed);

  // One frame of the duel, before the duel reads the keys: sets the bytes
  // of its side's five keys in `keys` (256 bytes by DirectInput code) to
  // 0x80 for the keys it holds down this frame and to 0 for the others. A
  // turn or a throw acts once per press, so it lets go of a turn key for a
  // frame between two turns.
  void Decide(BYTE* keys);

  // A new bout begins: it forgets what it saw and planned.
  void New_Bout();

  int Side() const { return side; }
  int Level() const { return level; }

 private:
  // What it does in one frame.
  struct Intent {
    int turn;  // -1 (anticlockwise), 0, +1
    int walk;  // +1 forward, -1 backward, 0
    bool fire;
  };
  // The other kid and its airplane as seen at one frame.
  struct Sight {
    foresight::Body foe;
    foresight::Body foePlane;
    bool foePlaneFlying;
  };
  // Where it means to walk: facing `face`, walking `walk` for `frames`
  // frames, to throw in `aim` from there.
  struct Route {
    bool valid;
    int face, walk, frames, aim;
  };

  uint32_t Random();
  int Chance(int in256);
  Sight Seen() const;
  foresight::Target Target_Of(const Sight& seen) const;
  Intent Plan(const foresight::Body& me, const Sight& seen, const foresight::Field& field);
  Intent Follow_Route(const foresight::Body& me, const Sight& seen, const foresight::Field& field);
  void Find_Route(const foresight::Body& me, const Sight& seen, const foresight::Field& field);
  Intent Dodge(const Intent& planned, const foresight::Body& me, const Sight& seen,
               const foresight::Field& field);
  Intent Face(int current, int wanted) const;
  bool Thrown_Before(const foresight::Body& from, const foresight::Target& target) const;
  int Line(const foresight::Body& from, const foresight::Target& target, const foresight::Field& field) const;

  int side;
  int level;
  uint32_t state;  // the generator's

  // The last frames seen, newest at `newest`; a sight is taken `reaction`
  // frames back.
  static const int MEMORY = 32;
  Sight memory[MEMORY];
  int newest;
  int seenFrames;

  Route route;
  int routeAge;
  int idleFrames;  // frames it still stands idle, hesitating
  int lastTurn;    // the turn key held in the previous frame
  int wanderFace;  // where it walks when it sees no line
  int wanderFrames;
  // Its last throw: from where, in which heading, at the other kid where.
  // The same throw again would miss again, so it is not made twice.
  bool thrown;
  foresight::Body throwFrom;
  int throwAtX, throwAtY;
  int aimedAtX, aimedAtY;  // where this frame's planned throw aims
  int reach;               // frames of flight it throws for, at most
  bool planeFlew;          // its airplane was flying in the last frame
};

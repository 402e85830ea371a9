// Game controllers as their players' keys, merged into the keyboard that
// DirectInput reads. Fed with the backend's Pad* events (platform/backend.h)
// by the win32 input state; needs no backend of its own, so a test drives it
// with events alone. Platform-internal; program thread only.
//
// Players. The first controller connected plays the left player, the
// second the right one. A third waits, ignored, until a player's controller
// goes, then takes that player (the longest waiting first). A controller
// that goes lets go of all it held at once; the other keeps its player.
//
// Keys. Which key each control presses for each player is the program's
// data, the controllers' key table (platform/pads/key_table.h), read once
// at start-up from the working folder's controllers.txt (load_table), or
// the one built in. A key stays down while its control is held, except for
// a control the table marks "tap": each push of one gives a tap, a key
// that is down for exactly one read of the keyboard.
//
// A stick's direction, and the trigger, count as held once past half their
// travel and as let go only back under a third of it, so a stick resting
// near the middle does not flicker and one push presses once.
#pragma once

#include <cstdint>

#include "platform/backend.h"

namespace pad_keys {

// Reads the key table from `path` the first time it is called (again after
// reset()); until then, and after a fault in the file, the built-in table
// applies.
void load_table(const char* path);

// Takes one controller event (PadAdded, PadRemoved, PadButtonDown,
// PadButtonUp, PadAxis); other kinds are ignored, and so are the controls
// of a controller that plays no player.
void handle(const backend::Event& event);

// Lets go of every key the controllers hold, and of waiting taps (the
// window lost the focus). The controllers keep their players; a control
// still held counts again once it next changes.
void let_go();

// One read: marks 0x80 in `keys` (256 bytes by DirectInput code) for every
// key a controller holds or has tapped since the last read, leaves the
// other bytes as they are, and ends the taps.
void read(uint8_t* keys);

// The controller (its backend id) playing the left (0) or right (1)
// player; -1 when none does.
int pad_of_player(int player);

// Forgets every controller and the table read (tests that run several
// scenarios in one process).
void reset();

}  // namespace pad_keys

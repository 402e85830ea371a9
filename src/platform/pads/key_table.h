// The controllers' key table: which control of a game controller presses
// which key of the keyboard DirectInput reads, for the left and the right
// player. It is the program's data, not the platform's: the program ships
// it as a text file (the game's is assets/controllers.txt, whose head
// comment describes the format) and the build embeds the same file as the
// default. Platform-internal.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace key_table {

// A controller's controls as the table names them. A stick direction and
// the trigger count as held past half their travel (platform/pads/pad_keys.h).
enum Control : int {
  kDpadUp,
  kDpadDown,
  kDpadLeft,
  kDpadRight,
  kStickUp,
  kStickDown,
  kStickLeft,
  kStickRight,
  kSouth,
  kRightTrigger,
  kStart,
  kBack,
  kLeftShoulder,
  kRightShoulder,
  kControlCount
};

struct Entry {
  uint8_t keys[2] = {0, 0};  // DirectInput code for the left (0) and right (1) player; 0 none
  bool tap = false;          // each push is one press of the key, down for one read
};

struct Table {
  Entry controls[kControlCount];
};

// Reads a table's text. False, with `error` saying what is wrong at which
// line ("line 7: unknown key 'ENTR' ..."), at the first fault; `table` is
// then unspecified.
bool parse(std::string_view text, Table& table, std::string& error);

// The table built into the stand-in: the game's file as it was at build time.
const Table& built_in();

// The table in the file at `path`. A file that cannot be read or has a
// fault gives the built-in table, and one line on the debugger output
// (standard error) naming the file, the line and the fault.
Table load(const char* path);

}  // namespace key_table

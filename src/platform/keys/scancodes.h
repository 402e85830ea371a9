// The key map from the backend's scan codes (USB HID usage ids, the numbering
// SDL_Scancode uses; values from 256 are SDL's own media keys) to DirectInput
// scan codes (PC set-1 make code, +0x80 for keys sent with the E0 prefix),
// and back. Platform-internal, header-only and of no family: the window
// system's input state (win32) maps keys with it, and tests schedule keys by
// DirectInput code through it.
#pragma once

#include <array>
#include <cstdint>

namespace scancodes {

constexpr int kHidCount = 512;

struct HidDik {
  uint16_t hid;
  uint8_t dik;
};

// Every key a 104/105-key board has, the Japanese and Brazilian extras and
// the media keys DirectInput names. Where two usages give one code the first
// listed is the one the inverse map gives.
// A table, several pairs a line (clang-format off).
// clang-format off
inline constexpr HidDik kPairs[] = {
    // Letters
    {4, 0x1E}, {5, 0x30}, {6, 0x2E}, {7, 0x20}, {8, 0x12}, {9, 0x21}, {10, 0x22}, {11, 0x23},
    {12, 0x17}, {13, 0x24}, {14, 0x25}, {15, 0x26}, {16, 0x32}, {17, 0x31}, {18, 0x18}, {19, 0x19},
    {20, 0x10}, {21, 0x13}, {22, 0x1F}, {23, 0x14}, {24, 0x16}, {25, 0x2F}, {26, 0x11}, {27, 0x2D},
    {28, 0x15}, {29, 0x2C},
    // Digits 1..9, 0
    {30, 0x02}, {31, 0x03}, {32, 0x04}, {33, 0x05}, {34, 0x06}, {35, 0x07}, {36, 0x08}, {37, 0x09},
    {38, 0x0A}, {39, 0x0B},
    // Return, Escape, Backspace, Tab, Space
    {40, 0x1C}, {41, 0x01}, {42, 0x0E}, {43, 0x0F}, {44, 0x39},
    // - = [ ] \ (ISO #) ; ' ` , . /
    {45, 0x0C}, {46, 0x0D}, {47, 0x1A}, {48, 0x1B}, {49, 0x2B}, {50, 0x2B}, {51, 0x27}, {52, 0x28},
    {53, 0x29}, {54, 0x33}, {55, 0x34}, {56, 0x35},
    // Caps Lock, F1..F12
    {57, 0x3A}, {58, 0x3B}, {59, 0x3C}, {60, 0x3D}, {61, 0x3E}, {62, 0x3F}, {63, 0x40}, {64, 0x41},
    {65, 0x42}, {66, 0x43}, {67, 0x44}, {68, 0x57}, {69, 0x58},
    // Print Screen, Scroll Lock, Pause, Insert, Home, Page Up, Delete, End, Page Down
    {70, 0xB7}, {71, 0x46}, {72, 0xC5}, {73, 0xD2}, {74, 0xC7}, {75, 0xC9}, {76, 0xD3}, {77, 0xCF},
    {78, 0xD1},
    // Arrows: Right, Left, Down, Up
    {79, 0xCD}, {80, 0xCB}, {81, 0xD0}, {82, 0xC8},
    // Keypad: Num Lock / * - + Enter 1..9 0 .
    {83, 0x45}, {84, 0xB5}, {85, 0x37}, {86, 0x4A}, {87, 0x4E}, {88, 0x9C}, {89, 0x4F}, {90, 0x50},
    {91, 0x51}, {92, 0x4B}, {93, 0x4C}, {94, 0x4D}, {95, 0x47}, {96, 0x48}, {97, 0x49}, {98, 0x52},
    {99, 0x53},
    // ISO extra key, Application (menu), Power, keypad =
    {100, 0x56}, {101, 0xDD}, {102, 0xDE}, {103, 0x8D},
    // F13..F15
    {104, 0x64}, {105, 0x65}, {106, 0x66},
    // Stop, Mute, Volume up, Volume down, keypad comma
    {120, 0x95}, {127, 0xA0}, {128, 0xB0}, {129, 0xAE}, {133, 0xB3},
    // International 1..5: Ro (ABNT C1), Kana, Yen, Convert, No convert
    {135, 0x73}, {136, 0x70}, {137, 0x7D}, {138, 0x79}, {139, 0x7B},
    // Sys Req
    {154, 0xB7},
    // Left Ctrl, Shift, Alt, Windows; right Ctrl, Shift, Alt, Windows
    {224, 0x1D}, {225, 0x2A}, {226, 0x38}, {227, 0xDB}, {228, 0x9D}, {229, 0x36}, {230, 0xB8},
    {231, 0xDC},
    // Media keys (SDL numbering): next, previous, stop, play, mute, media select,
    // browser, mail, calculator, my computer, search, home, back, forward,
    // stop, refresh, favourites
    {258, 0x99}, {259, 0x90}, {260, 0xA4}, {261, 0xA2}, {262, 0xA0}, {263, 0xED}, {264, 0xB2},
    {265, 0xEC}, {266, 0xA1}, {267, 0xEB}, {268, 0xE5}, {269, 0xB2}, {270, 0xEA}, {271, 0xE9},
    {272, 0xE8}, {273, 0xE7}, {274, 0xE6},
    // Sleep
    {282, 0xDF},
};
// clang-format on

struct Tables {
  std::array<uint8_t, kHidCount> hid_to_dik{};
  std::array<uint16_t, 256> dik_to_hid{};
};

constexpr Tables make_tables() {
  Tables t{};
  for (const HidDik& p : kPairs) {
    t.hid_to_dik[p.hid] = p.dik;
    if (t.dik_to_hid[p.dik] == 0) t.dik_to_hid[p.dik] = p.hid;
  }
  return t;
}

inline constexpr Tables kTables = make_tables();

// The DirectInput code of a backend scan code; 0 when the key has none.
constexpr int dik_from_hid(int hid_usage) {
  return hid_usage > 0 && hid_usage < kHidCount ? kTables.hid_to_dik[hid_usage] : 0;
}
// The backend scan code of a DirectInput code; 0 when no key gives it.
constexpr int hid_from_dik(int dik) { return dik > 0 && dik < 256 ? kTables.dik_to_hid[dik] : 0; }

}  // namespace scancodes

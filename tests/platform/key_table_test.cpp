// The controllers' key table as data: its text read (every form a line can
// take, and each fault named with its line), the file the game ships being
// the built-in table, a file that is missing or has a fault giving one line
// on the debugger output and the built-in table, and a table of the
// player's own in the game's folder changing what a controller presses.
#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "dinput.h"
#include "files_and_tools.h"
#include "fixture.h"
#include "platform/pads/key_table.h"
#include "scratch_folder.h"

using namespace platform_test;
using key_table::Table;

namespace {

// Each control's keys and tap as one text, for comparing tables.
std::string Text(const Table& table) {
  std::string text;
  for (const key_table::Entry& e : table.controls)
    text += std::to_string(e.keys[0]) + "/" + std::to_string(e.keys[1]) + (e.tap ? "t " : " ");
  return text;
}

TEST(KeyTable, ReadsNamesCodesNothingAndTapsWithCommentsAnywhere) {
  Table table;
  std::string error;
  ASSERT_TRUE(
      key_table::parse("# a comment\n\ndpad_up      W        UP\n  SOUTH\tspace    0x9d   # throw\r\n"
                       "back         -        escape\nleft_shoulder 0x48    numpad8  TAP\n",
                       table, error))
      << error;
  Table expected;
  expected.controls[key_table::kDpadUp] = {{DIK_W, DIK_UP}, false};
  expected.controls[key_table::kSouth] = {{DIK_SPACE, DIK_RCONTROL}, false};
  expected.controls[key_table::kBack] = {{0, DIK_ESCAPE}, false};
  expected.controls[key_table::kLeftShoulder] = {{DIK_NUMPAD8, DIK_NUMPAD8}, true};
  EXPECT_EQ(Text(table), Text(expected)) << "controls not listed press nothing";
}

TEST(KeyTable, NamesTheLineAndTheFault) {
  const std::string kinds = " (a DirectInput key name such as RETURN, a code from 0x01 to 0xFF, or -)";
  const std::string words =
      "expected a control, a key for the left player, one for the right player and maybe \"tap\"";
  const std::pair<const char*, std::string> faults[] = {
      {"dpad_up W\n", "line 1: " + words},
      {"# keys\ndpad_up W UP tap extra\n", "line 2: " + words},
      {"dpad_middle W UP\n", "line 1: unknown control 'dpad_middle'"},
      {"start ENTR RETURN\n", "line 1: unknown key 'ENTR'" + kinds},
      {"start RETURN 0x100\n", "line 1: unknown key '0x100'" + kinds},
      {"start RETURN 0x00\n", "line 1: unknown key '0x00'" + kinds},
      {"start RETURN RETURN hold\n", "line 1: 'hold' where only \"tap\" may stand"},
      {"back ESCAPE ESCAPE\n\nback ESCAPE ESCAPE", "line 3: control 'back' is listed twice"},
  };
  for (const auto& [text, fault] : faults) {
    Table table;
    std::string error;
    EXPECT_FALSE(key_table::parse(text, table, error)) << text;
    EXPECT_EQ(error, fault);
  }
}

TEST(KeyTable, TheBuiltInTableIsTheGamesFile) {
  Table shipped;
  std::string error;
  ASSERT_TRUE(key_table::parse(read_file(QUARRELO_SOURCE_DIR "/assets/controllers.txt"), shipped, error))
      << error;
  EXPECT_EQ(Text(key_table::built_in()), Text(shipped));
  EXPECT_EQ(key_table::built_in().controls[key_table::kRightTrigger].keys[1], DIK_RCONTROL);
}

class KeyTableFile : public PlatformTest {
 protected:
  // Loads `name` from the scratch folder; gives the debugger output.
  std::string Load(const std::string& name, Table& table) {
    headless::clear_debug_output();
    table = key_table::load(scratch.file(name).c_str());
    return headless::debug_output();
  }
  void Write(const std::string& name, const std::string& text) {
    std::ofstream(scratch.file(name), std::ios::binary) << text;
  }
  ScratchFolder scratch{"quarrelo-key-table"};
};

TEST_F(KeyTableFile, AGoodFileIsReadAsItSays) {
  Write("controllers.txt", "start SPACE -\n");
  Table table, expected;
  EXPECT_EQ(Load("controllers.txt", table), "");
  expected.controls[key_table::kStart].keys[0] = DIK_SPACE;
  EXPECT_EQ(Text(table), Text(expected));
}

TEST_F(KeyTableFile, AMissingMalformedOrEndlessFileIsNamedAndTheBuiltInTableApplies) {
  Write("bad.txt", "# mine\nstart RETURN RETURN\nsouth F RCTRL\n");
  Write("long.txt", std::string(70000, '#'));
  const std::pair<const char*, std::string> files[] = {
      {"missing.txt", ": cannot be read (No such file or directory)"},
      {"bad.txt",
       ":3: unknown key 'RCTRL' (a DirectInput key name such as RETURN, a code from 0x01 to 0xFF, or -)"},
      {"long.txt", ": longer than 65536 bytes, too long for a table"},
      {"", ": cannot be read (Is a directory)"},  // the folder itself
  };
  for (const auto& [name, said] : files) {
    Table table;
    EXPECT_EQ(Load(name, table), scratch.file(name) + said + "; the built-in controller table applies\n");
    EXPECT_EQ(Text(table), Text(key_table::built_in())) << name;
  }
}

TEST_F(KeyTableFile, ATableOfThePlayersOwnInTheGamesFolderIsWhatControllersPress) {
  using backend::EventKind;
  Write("controllers.txt", "south SPACE 0x39\nstart - RETURN\nright_shoulder - B tap\n");
  const std::filesystem::path former = std::filesystem::current_path();
  std::filesystem::current_path(scratch.path());
  register_class();
  HWND window = create_window();
  IDirectInput8A* dinput = nullptr;
  IDirectInputDevice8A* keyboard = nullptr;
  ASSERT_EQ(DirectInput8Create(GetModuleHandleA(NULL), DIRECTINPUT_VERSION, IID_IDirectInput8A,
                               (void**)&dinput, NULL),
            DI_OK);
  std::filesystem::current_path(former);
  ASSERT_EQ(dinput->CreateDevice(GUID_SysKeyboard, &keyboard, NULL), DI_OK);
  ASSERT_EQ(keyboard->SetDataFormat(&c_dfDIKeyboard), DI_OK);
  ASSERT_EQ(keyboard->SetCooperativeLevel(window, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND), DI_OK);
  ASSERT_EQ(keyboard->Acquire(), DI_OK);
  // Controller `pad`'s event, then one read of the keyboard.
  auto read = [&](std::initializer_list<std::pair<int, int>> downs,
                  EventKind kind = EventKind::PadButtonDown) {
    for (const auto& [pad, button] : downs) {
      backend::Event e{kind, button};
      e.pad = pad;
      headless::push_event(e);
    }
    uint8_t state[256];
    keyboard->GetDeviceState(sizeof state, state);
    std::set<int> down;
    for (int key = 0; key < 256; ++key)
      if (state[key] & 0x80) down.insert(key);
    return down;
  };
  read({{1, 0}, {2, 0}}, EventKind::PadAdded);
  EXPECT_EQ(read({{1, backend::kPadSouth}}), std::set<int>{DIK_SPACE});
  EXPECT_EQ(read({{1, backend::kPadStart}, {2, backend::kPadStart}}), (std::set<int>{DIK_SPACE, DIK_RETURN}));
  EXPECT_EQ(read({{2, backend::kPadRightShoulder}}), (std::set<int>{DIK_SPACE, DIK_RETURN, DIK_B}));
  EXPECT_EQ(read({}), (std::set<int>{DIK_SPACE, DIK_RETURN})) << "a tap is one read";
  EXPECT_EQ(read({{2, backend::kPadDpadUp}}), (std::set<int>{DIK_SPACE, DIK_RETURN})) << "not in the table";
  keyboard->Release();
  dinput->Release();
}

}  // namespace

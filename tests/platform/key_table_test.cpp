// The controllers' key table as data: its text read (every form a line can
// take, and each fault named with its line), the file the game ships being
// the built-in table, a file that is missing or has a fault giving one line
// on the debugger output and the built-in table, and a table of the
// player's own in the game's folder changing what a controller presses.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <set>

#include "dinput.h"
#include "files_and_tools.h"
#include "fixture.h"
#include "platform/pads/key_table.h"
#include "scratch_folder.h"

using namespace platform_test;

namespace {

TEST(KeyTable, ReadsNamesCodesNothingAndTapsWithCommentsAnywhere) {
  key_table::Table table;
  std::string error;
  ASSERT_TRUE(
      key_table::parse("# a comment\n"
                       "\n"
                       "dpad_up      W        UP\n"
                       "  SOUTH\tspace    0x9d   # throw\r\n"
                       "back         -        escape\n"
                       "left_shoulder 0x48    numpad8  TAP\n",
                       table, error))
      << error;
  EXPECT_EQ(table.controls[key_table::kDpadUp].keys[0], DIK_W);
  EXPECT_EQ(table.controls[key_table::kDpadUp].keys[1], DIK_UP);
  EXPECT_FALSE(table.controls[key_table::kDpadUp].tap);
  EXPECT_EQ(table.controls[key_table::kSouth].keys[0], DIK_SPACE);
  EXPECT_EQ(table.controls[key_table::kSouth].keys[1], DIK_RCONTROL);
  EXPECT_EQ(table.controls[key_table::kBack].keys[0], 0);
  EXPECT_EQ(table.controls[key_table::kBack].keys[1], DIK_ESCAPE);
  EXPECT_EQ(table.controls[key_table::kLeftShoulder].keys[0], DIK_NUMPAD8);
  EXPECT_EQ(table.controls[key_table::kLeftShoulder].keys[1], DIK_NUMPAD8);
  EXPECT_TRUE(table.controls[key_table::kLeftShoulder].tap);
  // Controls not listed press nothing.
  EXPECT_EQ(table.controls[key_table::kStart].keys[0], 0);
  EXPECT_EQ(table.controls[key_table::kStart].keys[1], 0);
}

TEST(KeyTable, NamesTheLineAndTheFault) {
  const struct {
    const char* text;
    const char* error;
  } faults[] = {
      {"dpad_up W\n",
       "line 1: expected a control, a key for the left player, one for the right player and maybe "
       "\"tap\""},
      {"# keys\ndpad_up W UP tap extra\n",
       "line 2: expected a control, a key for the left player, one for the "
       "right player and maybe \"tap\""},
      {"dpad_middle W UP\n", "line 1: unknown control 'dpad_middle'"},
      {"start ENTR RETURN\n",
       "line 1: unknown key 'ENTR' (a DirectInput key name such as RETURN, a code from 0x01 "
       "to 0xFF, or -)"},
      {"start RETURN 0x100\n",
       "line 1: unknown key '0x100' (a DirectInput key name such as RETURN, a code from "
       "0x01 to 0xFF, or -)"},
      {"start RETURN 0x00\n",
       "line 1: unknown key '0x00' (a DirectInput key name such as RETURN, a code from 0x01 "
       "to 0xFF, or -)"},
      {"start RETURN RETURN hold\n", "line 1: 'hold' where only \"tap\" may stand"},
      {"back ESCAPE ESCAPE\n\nback ESCAPE ESCAPE", "line 3: control 'back' is listed twice"},
  };
  for (const auto& fault : faults) {
    key_table::Table table;
    std::string error;
    EXPECT_FALSE(key_table::parse(fault.text, table, error)) << fault.text;
    EXPECT_EQ(error, fault.error);
  }
}

TEST(KeyTable, TheBuiltInTableIsTheGamesFile) {
  key_table::Table shipped;
  std::string error;
  ASSERT_TRUE(key_table::parse(read_file(std::string(QUARRELO_SOURCE_DIR) + "/assets/controllers.txt"),
                               shipped, error))
      << error;
  for (int c = 0; c < key_table::kControlCount; ++c) {
    EXPECT_EQ(key_table::built_in().controls[c].keys[0], shipped.controls[c].keys[0]) << c;
    EXPECT_EQ(key_table::built_in().controls[c].keys[1], shipped.controls[c].keys[1]) << c;
    EXPECT_EQ(key_table::built_in().controls[c].tap, shipped.controls[c].tap) << c;
  }
  EXPECT_EQ(key_table::built_in().controls[key_table::kRightTrigger].keys[1], DIK_RCONTROL);
}

class KeyTableFile : public PlatformTest {
 protected:
  // Loads `name` from the scratch folder; gives the debugger output.
  std::string Load(const std::string& name, key_table::Table& table) {
    headless::clear_debug_output();
    table = key_table::load(scratch.file(name).c_str());
    return headless::debug_output();
  }
  bool Same(const key_table::Table& a, const key_table::Table& b) {
    for (int c = 0; c < key_table::kControlCount; ++c)
      if (a.controls[c].keys[0] != b.controls[c].keys[0] || a.controls[c].keys[1] != b.controls[c].keys[1] ||
          a.controls[c].tap != b.controls[c].tap)
        return false;
    return true;
  }
  void Write(const std::string& name, const std::string& text) {
    std::ofstream(scratch.file(name), std::ios::binary) << text;
  }
  ScratchFolder scratch{"quarrelo-key-table"};
};

TEST_F(KeyTableFile, AGoodFileIsReadAsItSays) {
  Write("controllers.txt", "start SPACE -\n");
  key_table::Table table;
  EXPECT_EQ(Load("controllers.txt", table), "");
  EXPECT_EQ(table.controls[key_table::kStart].keys[0], DIK_SPACE);
  EXPECT_EQ(table.controls[key_table::kSouth].keys[0], 0);
}

TEST_F(KeyTableFile, AMissingMalformedOrEndlessFileIsNamedAndTheBuiltInTableApplies) {
  Write("bad.txt", "# mine\nstart RETURN RETURN\nsouth F RCTRL\n");
  Write("long.txt", std::string(70000, '#'));
  const struct {
    const char* name;
    const char* said;  // after the path
  } files[] = {
      {"missing.txt", ": cannot be read (No such file or directory)"},
      {"bad.txt",
       ":3: unknown key 'RCTRL' (a DirectInput key name such as RETURN, a code from 0x01 to 0xFF, or -)"},
      {"long.txt", ": longer than 65536 bytes, too long for a table"},
      {"", ": cannot be read (Is a directory)"},  // the folder itself
  };
  for (const auto& file : files) {
    key_table::Table table;
    EXPECT_EQ(Load(file.name, table),
              scratch.file(file.name) + file.said + "; the built-in controller table applies\n");
    EXPECT_TRUE(Same(table, key_table::built_in())) << file.name;
  }
}

TEST_F(KeyTableFile, ATableOfThePlayersOwnInTheGamesFolderIsWhatControllersPress) {
  Write("controllers.txt", "south SPACE 0x39\nstart - RETURN\nright_shoulder - B tap\n");
  const std::string former = std::filesystem::current_path();
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
  auto read = [&](std::initializer_list<backend::Event> events) {
    for (const backend::Event& e : events) headless::push_event(e);
    uint8_t state[256];
    keyboard->GetDeviceState(sizeof state, state);
    std::set<int> down;
    for (int key = 0; key < 256; ++key)
      if (state[key] & 0x80) down.insert(key);
    return down;
  };
  auto pad = [](backend::EventKind kind, int pad, int code) {
    backend::Event e{kind, code};
    e.pad = pad;
    return e;
  };
  using backend::EventKind;
  read({pad(EventKind::PadAdded, 1, 0), pad(EventKind::PadAdded, 2, 0)});
  EXPECT_EQ(read({pad(EventKind::PadButtonDown, 1, backend::kPadSouth)}), std::set<int>{DIK_SPACE});
  EXPECT_EQ(read({pad(EventKind::PadButtonDown, 1, backend::kPadStart),
                  pad(EventKind::PadButtonDown, 2, backend::kPadStart)}),
            (std::set<int>{DIK_SPACE, DIK_RETURN}));
  EXPECT_EQ(read({pad(EventKind::PadButtonDown, 2, backend::kPadRightShoulder)}),
            (std::set<int>{DIK_SPACE, DIK_RETURN, DIK_B}));
  EXPECT_EQ(read({}), (std::set<int>{DIK_SPACE, DIK_RETURN})) << "a tap is one read";
  EXPECT_EQ(read({pad(EventKind::PadButtonDown, 2, backend::kPadDpadUp)}),
            (std::set<int>{DIK_SPACE, DIK_RETURN}))
      << "a control the table leaves out presses nothing";
  keyboard->Release();
  dinput->Release();
}

}  // namespace

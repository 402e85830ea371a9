// The controllers' key table read from its text (see key_table.h).
#include "platform/pads/key_table.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "dinput.h"
#include "platform/backend.h"

// The game's controllers.txt as the build found it (generated from it).
extern const char kBuiltInKeyTable[];

namespace {

// A table is a few hundred bytes; a file far longer is not one.
constexpr size_t kLongest = 64 * 1024;

constexpr const char* kControlNames[key_table::kControlCount] = {
    "dpad_up",     "dpad_down", "dpad_left",     "dpad_right", "stick_up", "stick_down",    "stick_left",
    "stick_right", "south",     "right_trigger", "start",      "back",     "left_shoulder", "right_shoulder"};

struct KeyName {
  const char* name;
  uint8_t code;
};

#define KEY(name) \
  { #name, DIK_##name }
// The keys by their DirectInput names (without DIK_); the media keys are
// left to their codes.
constexpr KeyName kKeyNames[] = {
    KEY(ESCAPE),    KEY(1),        KEY(2),           KEY(3),          KEY(4),        KEY(5),
    KEY(6),         KEY(7),        KEY(8),           KEY(9),          KEY(0),        KEY(MINUS),
    KEY(EQUALS),    KEY(BACK),     KEY(TAB),         KEY(Q),          KEY(W),        KEY(E),
    KEY(R),         KEY(T),        KEY(Y),           KEY(U),          KEY(I),        KEY(O),
    KEY(P),         KEY(LBRACKET), KEY(RBRACKET),    KEY(RETURN),     KEY(LCONTROL), KEY(A),
    KEY(S),         KEY(D),        KEY(F),           KEY(G),          KEY(H),        KEY(J),
    KEY(K),         KEY(L),        KEY(SEMICOLON),   KEY(APOSTROPHE), KEY(GRAVE),    KEY(LSHIFT),
    KEY(BACKSLASH), KEY(Z),        KEY(X),           KEY(C),          KEY(V),        KEY(B),
    KEY(N),         KEY(M),        KEY(COMMA),       KEY(PERIOD),     KEY(SLASH),    KEY(RSHIFT),
    KEY(MULTIPLY),  KEY(LMENU),    KEY(SPACE),       KEY(CAPITAL),    KEY(F1),       KEY(F2),
    KEY(F3),        KEY(F4),       KEY(F5),          KEY(F6),         KEY(F7),       KEY(F8),
    KEY(F9),        KEY(F10),      KEY(NUMLOCK),     KEY(SCROLL),     KEY(NUMPAD7),  KEY(NUMPAD8),
    KEY(NUMPAD9),   KEY(SUBTRACT), KEY(NUMPAD4),     KEY(NUMPAD5),    KEY(NUMPAD6),  KEY(ADD),
    KEY(NUMPAD1),   KEY(NUMPAD2),  KEY(NUMPAD3),     KEY(NUMPAD0),    KEY(DECIMAL),  KEY(OEM_102),
    KEY(F11),       KEY(F12),      KEY(NUMPADENTER), KEY(RCONTROL),   KEY(DIVIDE),   KEY(SYSRQ),
    KEY(RMENU),     KEY(PAUSE),    KEY(HOME),        KEY(UP),         KEY(PRIOR),    KEY(LEFT),
    KEY(RIGHT),     KEY(END),      KEY(DOWN),        KEY(NEXT),       KEY(INSERT),   KEY(DELETE),
    KEY(LWIN),      KEY(RWIN),     KEY(APPS),
};
#undef KEY

bool same_name(std::string_view a, const char* b) {
  if (a.size() != std::strlen(b)) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const char c = a[i] >= 'a' && a[i] <= 'z' ? char(a[i] - 'a' + 'A') : a[i];
    const char d = b[i] >= 'a' && b[i] <= 'z' ? char(b[i] - 'a' + 'A') : b[i];
    if (c != d) return false;
  }
  return true;
}

int control_of(std::string_view word) {
  for (int c = 0; c < key_table::kControlCount; ++c)
    if (same_name(word, kControlNames[c])) return c;
  return -1;
}

// The DirectInput code a key word names: a name, "-" (0: none), or 0x01 to
// 0xFF. -1 when it names nothing.
int key_of(std::string_view word) {
  if (word == "-") return 0;
  for (const KeyName& key : kKeyNames)
    if (same_name(word, key.name)) return key.code;
  if (word.size() > 2 && word.size() <= 4 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) {
    int code = 0;
    for (char c : word.substr(2)) {
      const int digit = c >= '0' && c <= '9'   ? c - '0'
                        : c >= 'a' && c <= 'f' ? c - 'a' + 10
                        : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                               : -1;
      if (digit < 0) return -1;
      code = code * 16 + digit;
    }
    return code >= 1 && code <= 0xFF ? code : -1;
  }
  return -1;
}

// The words of a line, its comment left out.
std::vector<std::string_view> words_of(std::string_view line) {
  line = line.substr(0, line.find('#'));
  std::vector<std::string_view> words;
  size_t at = 0;
  while (at < line.size()) {
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t' || line[at] == '\r')) ++at;
    size_t end = at;
    while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != '\r') ++end;
    if (end > at) words.push_back(line.substr(at, end - at));
    at = end;
  }
  return words;
}

// What is wrong with one line's words, or "" when nothing is; fills the
// entry of its control.
std::string read_line(const std::vector<std::string_view>& words, key_table::Table& table, bool* seen) {
  if (words.size() < 3 || words.size() > 4)
    return "expected a control, a key for the left player, one for the right player and maybe \"tap\"";
  const int control = control_of(words[0]);
  if (control < 0) return "unknown control '" + std::string(words[0]) + "'";
  if (seen[control]) return "control '" + std::string(words[0]) + "' is listed twice";
  seen[control] = true;
  key_table::Entry& entry = table.controls[control];
  for (int player = 0; player < 2; ++player) {
    const int key = key_of(words[1 + player]);
    if (key < 0)
      return "unknown key '" + std::string(words[1 + player]) +
             "' (a DirectInput key name such as RETURN, a code from 0x01 to 0xFF, or -)";
    entry.keys[player] = uint8_t(key);
  }
  if (words.size() == 4) {
    if (!same_name(words[3], "tap")) return "'" + std::string(words[3]) + "' where only \"tap\" may stand";
    entry.tap = true;
  }
  return "";
}

// Reads the text into `table`; false with the number and fault of the
// first bad line.
bool read_text(std::string_view text, key_table::Table& table, int& number, std::string& fault) {
  table = key_table::Table{};
  bool seen[key_table::kControlCount] = {};
  number = 0;
  while (!text.empty()) {
    ++number;
    const size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    const std::vector<std::string_view> words = words_of(line);
    if (words.empty()) continue;
    fault = read_line(words, table, seen);
    if (!fault.empty()) return false;
  }
  return true;
}

}  // namespace

namespace key_table {

bool parse(std::string_view text, Table& table, std::string& error) {
  int number = 0;
  std::string fault;
  if (read_text(text, table, number, fault)) return true;
  error = "line " + std::to_string(number) + ": " + fault;
  return false;
}

const Table& built_in() {
  static const Table table = [] {
    Table parsed;
    std::string error;
    if (!parse(kBuiltInKeyTable, parsed, error)) {
      // The build copies the file the game ships, so this is the build's
      // fault; controllers then press nothing.
      backend::debug_output(("the built-in controller table, " + error + "\n").c_str());
      parsed = Table{};
    }
    return parsed;
  }();
  return table;
}

Table load(const char* path) {
  std::string why, text;
  if (std::FILE* file = std::fopen(path, "rb")) {
    char block[4096];
    size_t n;
    while ((n = std::fread(block, 1, sizeof block, file)) > 0 && text.size() <= kLongest)
      text.append(block, n);
    if (std::ferror(file))
      why = std::string(": cannot be read (") + std::strerror(errno) + ")";
    else if (text.size() > kLongest)
      why = ": longer than " + std::to_string(kLongest) + " bytes, too long for a table";
    std::fclose(file);
  } else {
    why = std::string(": cannot be read (") + std::strerror(errno) + ")";
  }
  if (why.empty()) {
    Table table;
    int number = 0;
    std::string fault;
    if (read_text(text, table, number, fault)) return table;
    why = ":" + std::to_string(number) + ": " + fault;
  }
  backend::debug_output((path + why + "; the built-in controller table applies\n").c_str());
  return built_in();
}

}  // namespace key_table

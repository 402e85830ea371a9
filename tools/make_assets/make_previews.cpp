// make_previews ASSETS_FOLDER OUTPUT_FOLDER
//
// Plays the real game on the headless backend with the assets of
// ASSETS_FOLDER and a scripted pair of players, and saves some of the frames
// it presents as PNG pictures in OUTPUT_FOLDER: the menu, the help and
// credits screens, a duel in progress and a score banner over the duel.
// The players react to what happens (they walk until they are in place, throw
// when their airplane is back), so the script holds when the field changes.
#include <SDL.h>
#include <SDL_image.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include <windows.h>

#include "game/game_state.h"
#include "keys.h"
#include "platform/headless/headless.h"

namespace fs = std::filesystem;

namespace {

constexpr int kEsc = 1, kEnter = 28, kW = 17, kA = 30, kD = 32, kF = 33;
constexpr int kUp = 200, kLeft = 203, kRight = 205, kDown = 208, kRCtrl = 157;

bool SaveFrame(const headless::Frame& frame, const fs::path& path) {
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, frame.width, frame.height, 24, SDL_PIXELFORMAT_RGB24);
  if (!s) return false;
  for (int y = 0; y < frame.height; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(frame.pixels) +
                                                        y * frame.pitch_bytes);
    uint8_t* out = static_cast<uint8_t*>(s->pixels) + y * s->pitch;
    for (int x = 0; x < frame.width; ++x) {
      out[3 * x + 0] = uint8_t(row[x] >> 16);
      out[3 * x + 1] = uint8_t(row[x] >> 8);
      out[3 * x + 2] = uint8_t(row[x]);
    }
  }
  const bool ok = IMG_SavePNG(s, path.string().c_str()) == 0;
  SDL_FreeSurface(s);
  return ok;
}

// The two players. Each frame they look at the game and schedule their keys
// for the next frame.
class Players {
 public:
  explicit Players(fs::path out) : out_(std::move(out)) {}

  bool failed() const { return failed_; }
  int shots() const { return shots_; }

  void OnFrame(const headless::Frame& frame) {
    const uint64_t k = frame.index;
    if (auto it = planned_shots_.find(k); it != planned_shots_.end())
      Shoot(frame, it->second.first, it->second.second);
    if (k > 2000 && !quitting_) Fail("the script did not finish");
    Step(k);
  }

 private:
  void Tap(uint64_t frame, int key) { dik_tap(frame, key, 1); }
  void Hold(uint64_t frame, int key, bool down) { dik_at(frame, key, down); }
  void ShotAt(uint64_t frame, const char* name, int expected_state) {
    planned_shots_[frame] = {name, expected_state};
  }

  void Shoot(const headless::Frame& frame, const std::string& name, int expected_state) {
    if (gameState != expected_state) {
      Fail(name + ": the game is on screen " + std::to_string(gameState) + ", not " +
           std::to_string(expected_state));
      return;
    }
    if (!SaveFrame(frame, out_ / name)) Fail("cannot write " + (out_ / name).string());
    ++shots_;
  }

  void Fail(const std::string& why) {
    std::fprintf(stderr, "make_previews: %s\n", why.c_str());
    failed_ = true;
    Quit(0);
  }

  void Quit(uint64_t k) {
    if (quitting_) return;
    quitting_ = true;
    PostQuitMessage(failed_ ? 1 : 0);
    (void)k;
  }

  void Step(uint64_t k) {
    switch (phase_) {
      case 0:  // the menu, then help and credits
        ShotAt(3, "menu.png", STATE_MENU);
        Tap(5, kDown);  // help
        Tap(8, kEnter);
        ShotAt(12, "help.png", STATE_HELP);
        Tap(14, kEsc);
        Tap(17, kDown);  // credits
        Tap(20, kEnter);
        ShotAt(24, "credits.png", STATE_CREDITS);
        Tap(26, kEsc);
        Tap(29, kUp);
        Tap(31, kUp);
        Tap(34, kEnter);  // start: new bout at 35, first duel step at 36
        phase_ = 1;
        break;
      case 1:  // both turn to face up and walk to the top of the room
        if (k == 36) {
          Tap(37, kA), Tap(39, kA);
          Tap(37, kRight), Tap(39, kRight);
          Hold(41, kW, true), Hold(41, kUp, true);
        }
        if (k > 41) {
          if (leftFighter.y <= 96 && !left_in_place_) left_in_place_ = true, Hold(k + 1, kW, false);
          if (rightFighter.y <= 96 && !right_in_place_) right_in_place_ = true, Hold(k + 1, kUp, false);
        }
        if (left_in_place_ && right_in_place_) {
          // Face each other across the top of the room and throw; Lily
          // walks on after her throw, Max steps forward after his.
          Tap(k + 2, kD), Tap(k + 4, kD);
          Tap(k + 2, kLeft), Tap(k + 4, kLeft);
          Tap(k + 7, kF);
          Hold(k + 9, kW, true);
          Tap(k + 30, kRCtrl);
          Hold(k + 32, kUp, true);
          Hold(k + 45, kUp, false);
          Hold(k + 50, kW, false);
          phase_ = 2;
        }
        break;
      case 2:  // the left player's airplane strikes
        if (gameState == STATE_RIGHT_SCORES) Fail("the wrong player scored");
        if (gameState == STATE_LEFT_SCORES) {
          ShotAt(k + 2, "point.png", STATE_LEFT_SCORES);
          Tap(k + 4, kEnter);  // new bout at k + 4, its first duel step at k + 6
          start_ = k + 6;
          phase_ = 3;
        }
        break;
      case 3:  // the next bout: both cut diagonally across the room and throw on the move
        if (k == start_) {
          Tap(k + 1, kA);     // Lily: up-right
          Tap(k + 1, kLeft);  // Max: down-left
          Hold(k + 3, kW, true), Hold(k + 3, kUp, true);
          Tap(k + 12, kF);
          Tap(k + 16, kRCtrl);
          ShotAt(k + 34, "duel.png", STATE_PLAY);
          Hold(k + 36, kW, false), Hold(k + 36, kUp, false);
          Tap(k + 38, kEsc);
          Tap(k + 40, kEsc);
          end_ = k + 40;
          phase_ = 4;
        }
        break;
      default:
        if (k > end_ + 10) Quit(k);
        break;
    }
  }

  fs::path out_;
  std::map<uint64_t, std::pair<std::string, int>> planned_shots_;
  int phase_ = 0;
  bool left_in_place_ = false, right_in_place_ = false, quitting_ = false, failed_ = false;
  uint64_t start_ = 0, end_ = 0;
  int shots_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_previews ASSETS_FOLDER OUTPUT_FOLDER\n");
    return 2;
  }
  std::error_code error;
  const fs::path assets = fs::absolute(argv[1]), out = fs::absolute(argv[2]);
  fs::create_directories(out, error);
  char pattern[] = "/tmp/quarrelo-previews-XXXXXX";
  if (error || !mkdtemp(pattern)) {
    std::fprintf(stderr, "make_previews: cannot make the output or run folder\n");
    return 1;
  }
  const fs::path run = pattern;
  for (const auto& entry : fs::directory_iterator(assets, error)) {
    fs::copy_file(entry.path(), run / entry.path().filename(), error);
  }
  const fs::path former = fs::current_path();
  fs::current_path(run);

  headless::reset();
  Players players(out);
  headless::on_frame([&](const headless::Frame& frame) { players.OnFrame(frame); });
  char command_line[] = "";
  const int code = WinMain(GetModuleHandleA(NULL), NULL, command_line, SW_SHOWDEFAULT);
  headless::on_frame(nullptr);

  fs::current_path(former);
  fs::remove_all(run, error);
  if (players.failed() || code != 0 || players.shots() != 5) {
    std::fprintf(stderr, "make_previews: the run ended with code %d after %d pictures\n", code,
                 players.shots());
    return 1;
  }
  return 0;
}

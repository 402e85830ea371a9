// A long run of random two-player play. A seeded player presses the duel's
// keys at random, takes every banner with Enter, visits the help and credits
// pages now and then and leaves a duel with Esc now and then, so that most
// frames are duel frames. After every frame the game's state must hold:
// fighters inside the field and out of the desks, headings 0-7, scores 0-5
// with their digits inside the sheet, airplanes' life 0-171, a known screen.
// The resident size at the end must be that after the first 1,000 frames,
// within a small margin. At the end the player quits through the menu and
// the run log must be complete.
//
// QUARRELO_SOAK_FRAMES sets the number of frames (default 200,000; 50,000
// under AddressSanitizer, which makes each frame several times slower),
// QUARRELO_SOAK_SEED the player's seed (default fixed); a failure names the
// seed to rerun with.
#include "scenario.h"

#include "input/input.h"

#include <unistd.h>

#include <array>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

using namespace keys;
const int kWalkKeys[] = {UP, DOWN, W, S};
const int kTurnKeys[] = {LEFT, RIGHT, A, D};
const int kThrowKeys[] = {RCTRL, F};

const uint64_t kMemoryBaselineFrame = 1000;
const long kMemoryMarginBytes = 2L << 20;

uint64_t EnvNumber(const char* name, uint64_t fallback) {
  const char* text = std::getenv(name);
  if (text == nullptr || *text == '\0') return fallback;
  return std::strtoull(text, nullptr, 0);
}

long ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  long size = 0, resident = 0;
  statm >> size >> resident;
  return resident * sysconf(_SC_PAGESIZE);
}

// The keys the random player holds, scheduled for the game one frame ahead.
class Keys {
 public:
  bool Down(int dik) const { return down_[dik]; }
  void Set(uint64_t frame, int dik, bool down) {
    if (down_[dik] == down) return;
    down_[dik] = down;
    dik_at(frame, dik, down);
  }
  void ReleaseAll(uint64_t frame, int except = -1) {
    for (int dik = 0; dik < 256; dik++)
      if (dik != except) Set(frame, dik, false);
  }
  bool AnyDown() const {
    for (bool down : down_)
      if (down) return true;
    return false;
  }

 private:
  std::array<bool, 256> down_{};
};

// Decides after each frame which keys are down for the next one.
class RandomPlayer {
 public:
  explicit RandomPlayer(uint64_t seed) : rng_(seed) {}

  void Plan(uint64_t next, int screen) {
    switch (screen) {
      case STATE_PLAY:
        Duel(next);
        break;
      case STATE_MENU:
        Menu(next);
        break;
      case STATE_RIGHT_SCORES:
      case STATE_LEFT_SCORES:
      case STATE_RIGHT_WINS:
      case STATE_LEFT_WINS:
        Banner(next);
        break;
      case STATE_HELP:
      case STATE_CREDITS:
        Page(next);
        break;
      default:
        keys_.ReleaseAll(next);
        break;
    }
  }

  // Esc tapped every other frame, nothing else: back to the menu, then quit.
  void Quit(uint64_t next) {
    keys_.ReleaseAll(next, ESC);
    keys_.Set(next, ESC, !keys_.Down(ESC));
  }

  const Keys& keys() const { return keys_; }

 private:
  bool Chance(double p) { return std::bernoulli_distribution(p)(rng_); }

  void Toggle(uint64_t next, int dik, double press, double release) {
    keys_.Set(next, dik, keys_.Down(dik) ? !Chance(release) : Chance(press));
  }

  void Duel(uint64_t next) {
    for (int dik : kWalkKeys) Toggle(next, dik, 0.06, 0.08);
    for (int dik : kTurnKeys) Toggle(next, dik, 0.03, 0.5);
    for (int dik : kThrowKeys) Toggle(next, dik, 0.08, 0.5);
    keys_.Set(next, ENTER, false);
    Toggle(next, ESC, 1.0 / 8000, 1.0);
    menu_target_ = 0;
  }

  void Banner(uint64_t next) {
    for (int dik : kWalkKeys) Toggle(next, dik, 0.06, 0.08);
    Toggle(next, ENTER, 0.1, 0.5);
    Toggle(next, ESC, 1.0 / 400, 1.0);
  }

  // Taps Up or Down towards the chosen entry, then Enter; never the quit
  // entry, never Esc.
  void Menu(uint64_t next) {
    if (keys_.AnyDown()) {
      keys_.ReleaseAll(next);
      return;
    }
    if (menu_target_ == 0) {
      const double pick = std::uniform_real_distribution<double>(0, 1)(rng_);
      menu_target_ = pick < 0.9 ? 1 : pick < 0.95 ? 2 : 3;
    }
    if (menuChoice < menu_target_)
      keys_.Set(next, DOWN, true);
    else if (menuChoice > menu_target_)
      keys_.Set(next, UP, true);
    else if (Chance(0.3)) {
      keys_.Set(next, ENTER, true);
      menu_target_ = 0;
    }
  }

  void Page(uint64_t next) {
    if (keys_.AnyDown()) {
      keys_.ReleaseAll(next);
      return;
    }
    if (Chance(0.05)) keys_.Set(next, Chance(0.5) ? ENTER : ESC, true);
  }

  std::mt19937_64 rng_;
  Keys keys_;
  int menu_target_ = 0;
};

struct Counts {
  uint64_t duel_frames = 0;
  uint64_t bouts = 0;
  uint64_t points = 0;
  uint64_t wins = 0;
  uint64_t pages = 0;
};

struct Sheet {
  int width = 0;
  int height = 0;
};

// The size of a picture in the working folder.
Sheet SheetOf(const char* file) {
  D3DXIMAGE_INFO info{};
  if (D3DXGetImageInfoFromFileA(file, &info) != D3D_OK) return {};
  return {static_cast<int>(info.Width), static_cast<int>(info.Height)};
}

class Soak : public Scenario {
 protected:
  // Empty when the state holds after a frame, else what is wrong. `start`
  // is the screen the frame began on.
  std::string Check(int start) {
    if (!primed_) {
      primed_ = true;
      former_[0] = rightFighter;
      former_[1] = leftFighter;
    }
    std::ostringstream wrong;
    if (gameState < STATE_PLAY || gameState > STATE_HELP) wrong << "unknown gameState " << gameState << "; ";
    for (const GameSprite* s : {&rightFighter, &leftFighter, &leftPlane, &rightPlane})
      if (s->heading < 0 || s->heading > 7) wrong << "heading " << s->heading << " of " << Name(s) << "; ";
    for (const GameSprite* plane : {&leftPlane, &rightPlane})
      if (plane->life < 0 || plane->life > 171)
        wrong << "life " << plane->life << " of " << Name(plane) << "; ";
    CheckDigit(leftDigit, leftScore, digit_sheet_, wrong);
    CheckDigit(rightDigit, rightScore, digit_sheet_, wrong);
    for (const GameSprite* s : {&rightFighter, &leftFighter})
      if (!Inside(s->srcRect, fighter_sheet_))
        wrong << "source rectangle of " << Name(s) << " outside its sheet; ";
    for (const GameSprite* s : {&leftPlane, &rightPlane})
      if (!Inside(s->srcRect, airplane_sheet_))
        wrong << "source rectangle of " << Name(s) << " outside its sheet; ";

    if (start == STATE_PLAY) {
      for (const GameSprite* f : {&rightFighter, &leftFighter}) {
        if (f->x < 0 || f->x + f->width > 800 || f->y < 60 || f->y + f->height > 600)
          wrong << Name(f) << " outside the field at " << f->x << "," << f->y << "; ";
        for (const GameSprite& d : desks) {
          // The fighter's desk contact box is inset 20 px left and right.
          if (f->x + 20 < d.x + d.width && f->x + f->width - 20 > d.x && f->y < d.y + d.height &&
              f->y + f->height > d.y)
            wrong << Name(f) << " at " << f->x << "," << f->y << " inside the desk at " << d.x << "," << d.y
                  << "; ";
        }
      }
      for (const GameSprite* p : {&leftPlane, &rightPlane})
        if (p->x < 0 || p->x + p->width > 800 || p->y < 40 || p->y + p->height > 600)
          wrong << Name(p) << " outside the field at " << p->x << "," << p->y << "; ";
    } else if (start == STATE_NEW_BOUT) {
      if (rightFighter.x != 750 || rightFighter.y != 300 || leftFighter.x != 50 || leftFighter.y != 300)
        wrong << "fighters not at their start after a new bout; ";
    } else if (rightFighter.x != former_[0].x || rightFighter.y != former_[0].y ||
               leftFighter.x != former_[1].x || leftFighter.y != former_[1].y) {
      wrong << "fighters moved outside the duel; ";
    }
    former_[0] = rightFighter;
    former_[1] = leftFighter;
    return wrong.str();
  }

 private:
  static const char* Name(const GameSprite* s) {
    if (s == &rightFighter) return "rightFighter";
    if (s == &leftFighter) return "leftFighter";
    if (s == &leftPlane) return "leftPlane";
    return "rightPlane";
  }

  static bool Inside(const RECT& r, const Sheet& sheet) {
    return r.left >= 0 && r.top >= 0 && r.right <= sheet.width && r.bottom <= sheet.height &&
           r.left < r.right && r.top < r.bottom;
  }

  static void CheckDigit(const GameSprite& digit, int score, const Sheet& sheet, std::ostringstream& wrong) {
    if (score < 0 || score > 5) wrong << "score " << score << "; ";
    if (!Inside(digit.srcRect, sheet) || digit.srcRect.left != score * 24)
      wrong << "digit source rectangle " << digit.srcRect.left << ".." << digit.srcRect.right << " for score "
            << score << "; ";
  }

  GameSprite former_[2]{};
  bool primed_ = false;

 protected:
  // Read before the run, from the files the game loads.
  Sheet fighter_sheet_, airplane_sheet_, digit_sheet_;
};

// Under AddressSanitizer (gcc's or clang's) a frame costs far more.
constexpr uint64_t kDefaultFrames = kAddressSanitizer ? 50000 : 200000;

TEST_F(Soak, RandomTwoPlayerInputKeepsTheGameConsistentAndMemoryFlat) {
  const uint64_t frames = EnvNumber("QUARRELO_SOAK_FRAMES", kDefaultFrames);
  const uint64_t seed = EnvNumber("QUARRELO_SOAK_SEED", 20261208);
  SCOPED_TRACE("seed " + std::to_string(seed) + " (rerun with QUARRELO_SOAK_SEED=" + std::to_string(seed) +
               " QUARRELO_SOAK_FRAMES=" + std::to_string(frames) + ")");
  ASSERT_GT(frames, kMemoryBaselineFrame);

  fighter_sheet_ = SheetOf("KidRight.bmp");
  ASSERT_EQ(fighter_sheet_.width, SheetOf("kidleft.bmp").width);
  airplane_sheet_ = SheetOf("airplane.bmp");
  digit_sheet_ = SheetOf("scores.bmp");
  ASSERT_GT(digit_sheet_.width, 0);

  headless::keep_last_frame(false);
  headless::set_audio_period_ms(1000);
  headless::set_audio_capture_limit(0);

  RandomPlayer player(seed);
  Counts counts;
  bool failed = false;
  int previous = STATE_MENU;
  long baseline = 0, final_size = 0;

  EachFrame([&](uint64_t frame) {
    states.clear();  // the harness's per-frame record would grow for the whole run
    if (failed) return;

    // The screen this frame began on: the previous frame's, unless the
    // global Esc acted at that frame's end.
    const int start = previous;
    const std::string wrong = Check(start);
    if (!wrong.empty()) {
      failed = true;
      ADD_FAILURE() << "after frame " << frame << " (screen " << gameState << ", begun on " << start
                    << "): " << wrong;
      PostQuitMessage(98);
      return;
    }

    if (start == STATE_PLAY) counts.duel_frames++;
    if (start == STATE_NEW_BOUT) counts.bouts++;
    if (start == STATE_PLAY && gameState != STATE_PLAY && gameState != STATE_MENU) {
      counts.points++;
      if (gameState == STATE_LEFT_WINS || gameState == STATE_RIGHT_WINS) counts.wins++;
    }
    if ((gameState == STATE_HELP || gameState == STATE_CREDITS) && start == STATE_MENU) counts.pages++;

    if (frame + 1 == kMemoryBaselineFrame) baseline = ResidentBytes();
    if (frame + 1 == frames) final_size = ResidentBytes();

    if (frame + 1 < frames)
      player.Plan(frame + 1, gameState);
    else
      player.Quit(frame + 1);

    // The global Esc, after this hook, sees the keys this frame read.
    previous = (Key_Held(ESC) && !latchEsc) ? STATE_MENU : gameState;
  });

  EXPECT_EQ(RunGame(frames + 100), 0);
  std::cout << "soak: seed " << seed << ", " << frames << " frames, " << counts.duel_frames << " in duels, "
            << counts.bouts << " bouts, " << counts.points << " points, " << counts.wins << " wins, "
            << counts.pages << " page visits; resident " << baseline / 1024 << " KiB after "
            << kMemoryBaselineFrame << " frames, " << final_size / 1024 << " KiB at the end\n";
  if (failed) return;

  EXPECT_EQ(Log(), StartupLog() + ShutdownLog());
  // The player reached every part of the game and spent most frames dueling.
  EXPECT_GT(counts.duel_frames, frames / 2);
  EXPECT_GT(counts.wins, 0u);
  EXPECT_GT(counts.pages, 0u);

  if (kAddressSanitizer) {
    std::cout << "soak: AddressSanitizer holds freed memory back, resident size not compared\n";
  } else {
    EXPECT_LE(final_size, baseline + kMemoryMarginBytes)
        << "resident size grew from " << baseline << " to " << final_size << " bytes";
  }
}

}  // namespace

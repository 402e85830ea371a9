// The tournament's players (see contestants.h).
#include "contestants.h"

#include <chrono>

#include "game/computer/computer_player.h"
#include "input/input.h"

void DecisionTimes::Add(double seconds) {
  int bin = int(seconds * 1e7);
  if (bin < 0) bin = 0;
  if (bin > BINS) bin = BINS;
  bins_[bin]++;
  count_++;
}

double DecisionTimes::Quantile(double share) const {
  const uint64_t wanted = uint64_t(share * double(count_));
  uint64_t below = 0;
  for (int bin = 0; bin <= BINS; bin++) {
    below += bins_[bin];
    if (below > wanted) return (bin + 0.5) * 1e-7;
  }
  return BINS * 1e-7;
}

namespace {

class Computer : public Contestant {
 public:
  Computer(int side, int level, uint32_t seed, DecisionTimes* times)
      : player_(side, level, seed), times_(times) {}
  void Decide(BYTE* keys) override {
    const auto begin = std::chrono::steady_clock::now();
    player_.Decide(keys);
    times_->Add(std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count());
  }
  void New_Bout() override { player_.New_Bout(); }

 private:
  ComputerPlayer player_;
  DecisionTimes* times_;
};

// Holds a random choice of turning, walking and throwing for a random few
// frames, then chooses again; a turn or a throw is pressed in the first
// frame of a choice only, so each choice turns and throws at most once.
class RandomKeys : public Contestant {
 public:
  RandomKeys(int side, uint32_t seed) : keys_(side == SIDE_LEFT ? LEFT_KEYS : RIGHT_KEYS), state_(seed | 1) {}
  void Decide(BYTE* keys) override {
    bool fresh = false;
    if (--left_ <= 0) {
      left_ = 4 + int(Next() % 17);
      turn_ = int(Next() % 3) - 1;
      walk_ = int(Next() % 3) - 1;
      fire_ = Next() % 3 == 0;
      fresh = true;
    }
    keys[keys_[0]] = fresh && turn_ < 0 ? 0x80 : 0;
    keys[keys_[1]] = fresh && turn_ > 0 ? 0x80 : 0;
    keys[keys_[2]] = walk_ > 0 ? 0x80 : 0;
    keys[keys_[3]] = walk_ < 0 ? 0x80 : 0;
    keys[keys_[4]] = fresh && fire_ ? 0x80 : 0;
  }
  void New_Bout() override { left_ = 0; }

 private:
  static constexpr int LEFT_KEYS[5] = {DIK_A, DIK_D, DIK_W, DIK_S, DIK_F};
  static constexpr int RIGHT_KEYS[5] = {DIK_LEFT, DIK_RIGHT, DIK_UP, DIK_DOWN, DIK_RCONTROL};
  uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  const int* keys_;
  uint32_t state_;
  int left_ = 0, turn_ = 0, walk_ = 0;
  bool fire_ = false;
};

}  // namespace

std::unique_ptr<Contestant> Make_Contestant(const std::string& who, int side, uint32_t seed,
                                            DecisionTimes* times) {
  if (who == "random") return std::make_unique<RandomKeys>(side, seed);
  return std::make_unique<Computer>(side, std::stoi(who), seed, times);
}

// The players of the tournament: the computer at a level, timed at every
// decision, and a player pressing random keys. Each holds one side's keys.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class Contestant {
 public:
  virtual ~Contestant() = default;
  // One duel frame: sets the bytes of its side's five keys.
  virtual void Decide(BYTE* keys) = 0;
  virtual void New_Bout() = 0;
};

// How long decisions took, in bins of 0.1 microseconds (the last bin holds
// everything longer).
class DecisionTimes {
 public:
  void Add(double seconds);
  uint64_t Count() const { return count_; }
  // The time below which `share` (0..1) of the decisions took, in seconds.
  double Quantile(double share) const;

 private:
  static const int BINS = 10000;  // up to 1 ms
  std::vector<uint64_t> bins_ = std::vector<uint64_t>(BINS + 1, 0);
  uint64_t count_ = 0;
};

// `who`: "1", "2" or "3" for the computer at that level, "random" for the
// random player. The computer's decisions are timed into `times`.
std::unique_ptr<Contestant> Make_Contestant(const std::string& who, int side, uint32_t seed,
                                            DecisionTimes* times);

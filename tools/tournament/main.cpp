// tournament [--games N] [--seed S]
//
// Plays the computer player against itself and against a player pressing
// random keys, in real games on the headless backend and its virtual clock
// (see headless_game.h): level 3 against level 1, level 2 against level 1,
// level 1 against random keys; N games a pairing (400 unless given), each to
// five points, the sides swapped from one game to the next and every
// player's seed different. Prints a table, then for scripts one line per
// pairing and one for the cost of a decision:
//   tournament: <a>-<b> bouts <n> share <a's share of bouts> games <a's share of games>
//               median_s <game time> longest_s <game time> unfinished <games>
//   tournament: decision median_us <us> p99_us <us> decisions <n>
// (each on one line). Exit code 0 when every game was played, 1 otherwise.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "contestants.h"
#include "game/computer/computer_player.h"
#include "headless_game.h"

namespace {

// Three minutes of game time is what a game may take; a game is stopped at
// twice that.
const uint32_t LONGEST_MS = 6 * 60 * 1000;

struct Pairing {
  const char* a;
  const char* b;
  const char* title;
};
const Pairing PAIRINGS[] = {
    {"3", "1", "level 3 against level 1"},
    {"2", "1", "level 2 against level 1"},
    {"1", "random", "level 1 against random keys"},
};

struct Tally {
  int boutsWon = 0, bouts = 0, gamesWon = 0, games = 0, unfinished = 0;
  std::vector<double> seconds;
};

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t mid = values.size() / 2;
  return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  int games = 400;
  uint32_t seed = 20261208;
  for (int i = 1; i < argc; i++) {
    if (i + 1 < argc && std::strcmp(argv[i], "--games") == 0) {
      games = std::atoi(argv[++i]);
    } else if (i + 1 < argc && std::strcmp(argv[i], "--seed") == 0) {
      seed = uint32_t(std::strtoul(argv[++i], nullptr, 10));
    } else {
      std::fprintf(stderr, "usage: tournament [--games N] [--seed S]\n");
      return 2;
    }
  }
  if (games < 1 || !Start_Game()) return 1;

  DecisionTimes times;
  std::vector<Tally> tallies;
  for (const Pairing& pairing : PAIRINGS) {
    Tally tally;
    for (int game = 0; game < games; game++) {
      // The first-named player takes the left side in even games.
      const int aSide = game % 2 == 0 ? SIDE_LEFT : SIDE_RIGHT;
      const uint32_t gameSeed = seed + uint32_t(game) * 7919u + uint32_t(tallies.size()) * 1000003u;
      auto a = Make_Contestant(pairing.a, aSide, gameSeed, &times);
      auto b = Make_Contestant(pairing.b, 1 - aSide, gameSeed ^ 0x5bd1e995u, &times);
      const GameResult result =
          aSide == SIDE_LEFT ? Play_Game(*a, *b, LONGEST_MS) : Play_Game(*b, *a, LONGEST_MS);
      const int aPoints = aSide == SIDE_LEFT ? result.leftPoints : result.rightPoints;
      const int bPoints = aSide == SIDE_LEFT ? result.rightPoints : result.leftPoints;
      tally.boutsWon += aPoints;
      tally.bouts += aPoints + bPoints;
      tally.games++;
      tally.gamesWon += result.finished && aPoints > bPoints;
      tally.unfinished += !result.finished;
      tally.seconds.push_back(result.milliseconds / 1000.0);
    }
    tallies.push_back(tally);
  }

  std::printf("\nComputer player tournament: %d games a pairing, each to five points, headless\n\n", games);
  std::printf("%-30s %10s %12s %12s %14s %14s %11s\n", "pairing", "bouts", "bouts won", "games won",
              "median game", "longest game", "unfinished");
  bool complete = true;
  for (size_t i = 0; i < tallies.size(); i++) {
    const Tally& t = tallies[i];
    std::printf("%-30s %10d %11.1f%% %11.1f%% %12.1f s %12.1f s %11d\n", PAIRINGS[i].title, t.bouts,
                100.0 * t.boutsWon / std::max(1, t.bouts), 100.0 * t.gamesWon / std::max(1, t.games),
                Median(t.seconds), *std::max_element(t.seconds.begin(), t.seconds.end()), t.unfinished);
    complete &= t.unfinished == 0;
  }
  std::printf("\ncomputer decision: median %.2f us, 99th percentile %.2f us over %llu decisions\n\n",
              times.Quantile(0.5) * 1e6, times.Quantile(0.99) * 1e6, (unsigned long long)times.Count());
  for (size_t i = 0; i < tallies.size(); i++) {
    const Tally& t = tallies[i];
    std::printf(
        "tournament: %s-%s bouts %d share %.4f games %.4f median_s %.2f longest_s %.2f unfinished %d\n",
        PAIRINGS[i].a, PAIRINGS[i].b, t.bouts, double(t.boutsWon) / std::max(1, t.bouts),
        double(t.gamesWon) / std::max(1, t.games), Median(t.seconds),
        *std::max_element(t.seconds.begin(), t.seconds.end()), t.unfinished);
  }
  std::printf("tournament: decision median_us %.2f p99_us %.2f decisions %llu\n", times.Quantile(0.5) * 1e6,
              times.Quantile(0.99) * 1e6, (unsigned long long)times.Count());
  return complete ? 0 : 1;
}

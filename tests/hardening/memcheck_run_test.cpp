// One short whole run for valgrind's memcheck (ctest's hardening_memcheck):
// start-up, a duel in which both players walk, turn, throw and score, back
// to the menu and quit. It is kept to a few dozen frames because memcheck is
// some thirty times slower; natively it runs like every other scenario.
#include "scenario.h"

namespace {

using namespace keys;

class MemcheckRun : public Scenario {};

TEST_F(MemcheckRun, DuelWithHitsBackToTheMenuAndQuit) {
  StartDuel(2);  // play from frame 4
  Hold(5, W);
  Hold(5, UP);
  Tap(6, D);
  Tap(7, LEFT);
  Tap(8, F);
  Tap(9, RCTRL);
  Let(12, W);
  Let(12, UP);
  AtFrame(14, [] { AimAt(&leftPlane, rightFighter); });  // left scores at 15
  Tap(17, ENTER);                                        // new bout at 18
  AtFrame(22, [] { AimAt(&rightPlane, leftFighter); });  // right scores at 23
  Tap(25, ESC);                                          // to the menu
  Tap(28, ESC);                                          // quit
  EXPECT_EQ(RunGame(200), 0);
  EXPECT_EQ(leftScore, 1);
  EXPECT_EQ(rightScore, 1);
  ASSERT_GT(states.size(), 25u);
  EXPECT_EQ(states[15], STATE_LEFT_SCORES);
  EXPECT_EQ(states[23], STATE_RIGHT_SCORES);
  EXPECT_EQ(states[26], STATE_MENU);
  EXPECT_EQ(Log(), StartupLog() + ShutdownLog());
}

}  // namespace

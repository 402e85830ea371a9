// Input while the window loses and regains the foreground.
#include "scenario.h"

#include "input/input.h"

namespace {

const int ESC = 0x01, DOWN = 0xD0;

class Focus : public Scenario {};

TEST_F(Focus, KeysAreIgnoredInTheBackgroundAndComeBackWithTheForeground) {
  Hold(2, DOWN);
  headless::focus_at(4, false);
  AtFrame(5, [] {
    EXPECT_EQ(Key_Held(DOWN), 0);  // no key stays stuck down
    EXPECT_FALSE(headless::mouse_captured());
  });
  Let(6, DOWN);
  Tap(10, DOWN);
  Tap(12, ESC);
  headless::focus_at(20, true);
  AtFrame(20, [] { EXPECT_EQ(menuChoice, 2); });
  Tap(25, DOWN);
  Tap(30, ESC);
  EXPECT_EQ(RunGame(), 0);
  EXPECT_EQ(menuChoice, 3);
  EXPECT_EQ(headless::frame_count(), 31u);
  EXPECT_EQ(Log(), StartupLog() + ShutdownLog());
}

TEST_F(Focus, KeyTestGivesTheHighBitOnly) {
  Hold(1, DOWN);
  AtFrame(1, [] {
    EXPECT_EQ(Key_Held(DOWN), 0x80);
    EXPECT_EQ(Key_Held(0x50), 0);  // the keypad's down arrow is another key
    EXPECT_EQ(Key_Held(ESC), 0);
  });
  Let(2, DOWN);
  Tap(3, ESC);
  EXPECT_EQ(RunGame(), 0);
}

}  // namespace

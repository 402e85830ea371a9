// Input while the window loses and regains the foreground. The device is
// full-screen, so losing the focus loses it too and the game pauses until
// the window is back: keys pressed in the background change nothing.
#include "scenario.h"

#include "input/input.h"

namespace {

using namespace keys;

class Focus : public Scenario {};

TEST_F(Focus, KeysAreIgnoredInTheBackgroundAndComeBackWithTheForeground) {
  Hold(2, DOWN);  // the cursor moves to entry 2
  headless::focus_at(4, false);
  // While the game pauses no frame is counted: the keys in the background
  // and the return go by the clock.
  AtFrame(3, [] {
    KeyAtTicks(TicksIn(60), DOWN, false);  // let go in the background
    KeyAtTicks(TicksIn(100), DOWN, true);
    KeyAtTicks(TicksIn(130), DOWN, false);
    KeyAtTicks(TicksIn(160), ESC, true);  // on the menu Esc would end the game
    KeyAtTicks(TicksIn(190), ESC, false);
    FocusAtTicks(TicksIn(300), true);
  });
  // The fifth frame shown is the first after the pause.
  AtFrame(4, [] {
    EXPECT_EQ(Key_Held(DOWN), 0);  // no key stays stuck down
    EXPECT_EQ(menuChoice, 2);
    EXPECT_TRUE(headless::mouse_captured());
  });
  Tap(10, DOWN);
  Tap(15, ESC);
  EXPECT_EQ(RunGame(), 0);
  EXPECT_EQ(menuChoice, 3);
  EXPECT_EQ(headless::frame_count(), 16u);
  EXPECT_EQ(Log(), StartupLog() + DeviceLossLog() + ShutdownLog());
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

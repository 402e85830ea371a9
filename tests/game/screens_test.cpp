// Screen transitions and key latches of the frame update.
#include "scenario.h"

namespace {

using namespace keys;

class Screens : public Scenario {};

TEST_F(Screens, MenuShowsFirstWithTheCursorOnTheFirstEntry) {
  AtFrame(0, [] {
    EXPECT_EQ(gameState, STATE_MENU);
    EXPECT_EQ(menuChoice, 1);
    EXPECT_TRUE(menuCursor.visible);
    EXPECT_EQ(menuCursor.x, 525);
    EXPECT_EQ(menuCursor.y, 173);
    EXPECT_FALSE(leftFighter.visible);
    EXPECT_FALSE(desks[2].visible);
    EXPECT_FALSE(rightDigit.visible);
  });
  Tap(1, ESC);
  EXPECT_EQ(RunGame(), 0);
}

TEST_F(Screens, CursorMovesOneFrameAfterTheKeyOncePerPressAndDoesNotWrap) {
  std::vector<std::pair<int, int>> cursor;
  // The menu is drawn anew only when the cursor has moved: every other
  // frame is the one before again.
  std::vector<uint64_t> drawn_anew;
  uint64_t repeated = 0;
  EachFrame([&](uint64_t frame) {
    cursor.push_back({menuChoice, menuCursor.y});
    if (headless::repeated_frames() == repeated) drawn_anew.push_back(frame);
    repeated = headless::repeated_frames();
  });
  Tap(1, UP);     // on entry 1: stays
  Hold(3, DOWN);  // held for four frames: one step
  Let(7, DOWN);
  Tap(8, DOWN);
  Tap(10, DOWN);
  Tap(12, DOWN);  // on entry 4: stays
  Tap(14, UP);
  Tap(16, ESC);
  EXPECT_EQ(RunGame(), 0);
  ASSERT_EQ(cursor.size(), 17u);
  EXPECT_EQ(cursor[1], std::make_pair(1, 173));
  EXPECT_EQ(cursor[3], std::make_pair(2, 173));  // choice moved, cursor not yet
  EXPECT_EQ(cursor[4], std::make_pair(2, 249));
  EXPECT_EQ(cursor[6], std::make_pair(2, 249));
  EXPECT_EQ(cursor[9], std::make_pair(3, 325));
  EXPECT_EQ(cursor[10], std::make_pair(4, 325));
  EXPECT_EQ(cursor[11], std::make_pair(4, 399));
  EXPECT_EQ(cursor[13], std::make_pair(4, 399));
  EXPECT_EQ(cursor[14], std::make_pair(3, 399));
  EXPECT_EQ(cursor[15], std::make_pair(3, 325));
  EXPECT_EQ(drawn_anew, (std::vector<uint64_t>{0, 4, 9, 11, 15}));
}

TEST_F(Screens, StartingAGameResetsScoresAndShowsTheDuel) {
  AtFrame(0, [] {
    leftScore = 3;
    rightScore = 2;
  });
  StartDuel(1);
  AtFrame(1, [] {
    EXPECT_EQ(gameState, STATE_NEW_BOUT);
    EXPECT_EQ(leftScore, 0);
    EXPECT_EQ(rightScore, 0);
    EXPECT_FALSE(menuCursor.visible);
    for (const GameSprite* s : {&rightFighter, &leftFighter, &rightName, &rightDigit, &leftName, &leftDigit,
                                &desks[0], &desks[1], &desks[2], &desks[3]})
      EXPECT_TRUE(s->visible);
  });
  AtFrame(2, [] { EXPECT_EQ(gameState, STATE_PLAY); });
  QuitFrom(5);
  EXPECT_EQ(RunGame(), 0);
  EXPECT_EQ(states[3], STATE_PLAY);
}

TEST_F(Screens, EscHeldFromTheDuelIntoTheMenuDoesNotQuit) {
  StartDuel(0);
  Hold(5, ESC);
  Let(40, ESC);
  Tap(45, ESC);
  EXPECT_EQ(RunGame(), 0);
  EXPECT_EQ(states[5], STATE_PLAY);  // Esc acts after drawing
  EXPECT_EQ(states[6], STATE_MENU);
  EXPECT_EQ(headless::frame_count(), 46u);
}

TEST_F(Screens, HelpAndCreditsLeaveOnEscOrEnterAndRememberTheChoice) {
  Tap(0, DOWN);
  Tap(2, ENTER);  // help
  AtFrame(3, [] {
    EXPECT_EQ(gameState, STATE_HELP);
    EXPECT_TRUE(helpScreen.visible);
    EXPECT_EQ(menuCursor.x, 505);
    EXPECT_EQ(menuCursor.y, 408);
  });
  Tap(5, ENTER);  // fresh Enter leaves
  AtFrame(5, [] {
    EXPECT_EQ(gameState, STATE_MENU);
    EXPECT_FALSE(helpScreen.visible);
  });
  AtFrame(7, [] {
    EXPECT_EQ(menuChoice, 2);
    EXPECT_EQ(menuCursor.y, 249);
  });
  Tap(8, DOWN);
  Tap(10, ENTER);  // credits
  AtFrame(11, [] {
    EXPECT_EQ(gameState, STATE_CREDITS);
    EXPECT_EQ(menuCursor.x, 525);
    EXPECT_EQ(menuCursor.y, 400);
  });
  Tap(12, ESC);
  AtFrame(12, [] { EXPECT_EQ(gameState, STATE_MENU); });
  Tap(15, ESC);
  EXPECT_EQ(RunGame(), 0);
  EXPECT_EQ(headless::frame_count(), 16u);
}

TEST_F(Screens, EnterHeldIntoHelpDoesNotLeaveItButEscHeldDoesAndThenNeedsAFreshPress) {
  Tap(0, DOWN);
  Hold(2, ENTER);  // enters help and stays held
  Let(12, ENTER);
  Hold(15, ESC);  // leaves help; held on into the menu
  Let(30, ESC);
  Tap(33, ESC);
  EXPECT_EQ(RunGame(), 0);
  for (int i = 3; i < 15; i++) EXPECT_EQ(states[i], STATE_HELP) << i;
  for (int i = 15; i < 33; i++) EXPECT_EQ(states[i], STATE_MENU) << i;
  EXPECT_EQ(headless::frame_count(), 34u);
}

TEST_F(Screens, EnterHeldThroughAScoreBannerStartsTheNextBoutAtOnce) {
  StartDuel(0);
  AtFrame(3, [] { AimAt(&leftPlane, rightFighter); });
  AtFrame(4, [] {
    EXPECT_EQ(gameState, STATE_LEFT_SCORES);
    EXPECT_EQ(leftScore, 1);
    EXPECT_FALSE(leftScoresBanner.visible);  // shown from the next frame
  });
  AtFrame(5, [] { EXPECT_TRUE(leftScoresBanner.visible); });
  Hold(6, ENTER);
  AtFrame(6, [] {
    EXPECT_EQ(gameState, STATE_NEW_BOUT);
    EXPECT_FALSE(leftScoresBanner.visible);
  });
  AtFrame(7, [] {
    EXPECT_EQ(gameState, STATE_PLAY);
    EXPECT_EQ(leftScore, 1);  // kept
    EXPECT_EQ(rightFighter.x, 750);
  });
  Let(9, ENTER);
  QuitFrom(10);
  EXPECT_EQ(RunGame(), 0);
}

TEST_F(Screens, EnterHeldThroughAWinBannerReturnsToTheMenuWithoutStartingAGame) {
  StartDuel(0);
  AtFrame(3, [] {
    rightScore = 4;
    AimAt(&rightPlane, leftFighter);
  });
  Hold(6, ENTER);
  Let(20, ENTER);
  Tap(24, ESC);
  EXPECT_EQ(RunGame(), 0);
  EXPECT_EQ(states[4], STATE_RIGHT_WINS);
  EXPECT_EQ(states[5], STATE_RIGHT_WINS);
  for (int i = 6; i < 25; i++) EXPECT_EQ(states[i], STATE_MENU) << i;
  EXPECT_EQ(rightScore, 5);
  EXPECT_FALSE(rightWinsBanner.visible);
}

TEST_F(Screens, EscOnABannerHidesItAndReturnsToTheMenu) {
  StartDuel(0);
  AtFrame(3, [] { AimAt(&leftPlane, rightFighter); });
  Tap(6, ESC);
  AtFrame(6, [] {
    EXPECT_FALSE(leftScoresBanner.visible);
    EXPECT_EQ(gameState, STATE_LEFT_SCORES);
  });
  Tap(9, ESC);
  EXPECT_EQ(RunGame(), 0);
  EXPECT_EQ(states[7], STATE_MENU);
}

TEST_F(Screens, AnAirplaneInFlightStaysFrozenOverTheMenuUntilTheNextBout) {
  StartDuel(0);
  Tap(3, F);
  Tap(6, ESC);
  int x = 0;
  AtFrame(6, [&] { x = leftPlane.x; });
  AtFrame(12, [&] {
    EXPECT_EQ(gameState, STATE_MENU);
    EXPECT_TRUE(leftPlane.visible);
    EXPECT_EQ(leftPlane.x, x);
  });
  StartDuel(14);
  AtFrame(15, [] { EXPECT_FALSE(leftPlane.visible); });
  QuitFrom(18);
  EXPECT_EQ(RunGame(), 0);
}

TEST_F(Screens, AStateOutsideTheScreensIsLoggedEachFrameAndStillDrawn) {
  AtFrame(1, [] { gameState = 42; });
  AtFrame(3, [] { gameState = STATE_MENU; });
  Tap(5, ESC);
  EXPECT_EQ(RunGame(), 0);
  EXPECT_EQ(Log(), StartupLog() + "Problem with Game State Switch\nProblem with Game State Switch\n" +
                       ShutdownLog());
  EXPECT_EQ(headless::frame_count(), 6u);
}

TEST_F(Screens, FramesArePacedOneStepOfTheTickCountApart) {
  std::vector<DWORD> ends;
  EachFrame([&](uint64_t) { ends.push_back(lastFrameTick); });
  Tap(20, ESC);
  EXPECT_EQ(RunGame(), 0);
  // lastFrameTick is read at each frame's end: one frame later the tick
  // count is one step of the platform's timer on (15.625 ms: 15 or 16).
  for (size_t i = 2; i < ends.size(); i++) {
    EXPECT_GE(ends[i] - ends[i - 1], 15u) << i;
    EXPECT_LE(ends[i] - ends[i - 1], 16u) << i;
  }
  EXPECT_EQ(ends[18] - ends[2], 250u) << "sixteen steps";
}

TEST_F(Screens, PacingSurvivesTheTickCounterWrap) {
  headless::set_ticks(0xFFFFFFF0u);
  Tap(30, ESC);
  EXPECT_EQ(RunGame(200), 0);
  EXPECT_EQ(headless::frame_count(), 31u);
}

}  // namespace

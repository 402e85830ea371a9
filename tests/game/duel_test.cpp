// The duel: turning, walking and its animation, the field and desk limits,
// airplane flight and bounces, hits and scoring. Whole runs with scheduled
// keys, and the collision routines on their own where a case needs exact
// positions.
#include "scenario.h"

#include <functional>
#include <vector>

#include "game/duel.h"

namespace {

using namespace keys;

GameSprite Box(int x, int y, int width, int height, int heading = 0) {
  GameSprite sprite{};
  sprite.x = x;
  sprite.y = y;
  sprite.width = width;
  sprite.height = height;
  sprite.heading = heading;
  return sprite;
}

class Duel : public Scenario {};

TEST_F(Duel, TurningStepsOncePerPressAndWraps) {
  std::vector<std::pair<int, int>> headings;
  EachFrame([&](uint64_t) { headings.push_back({rightFighter.heading, leftFighter.heading}); });
  StartDuel(0);
  Tap(3, LEFT);    // right fighter 0 -> 7
  Hold(5, RIGHT);  // 7 -> 0, held: once
  Let(9, RIGHT);
  for (int i = 0; i < 4; i++) Tap(10 + 2 * i, D);  // left fighter 4 -> 0
  Tap(18, A);                                      // 0 -> 7
  QuitFrom(20);
  EXPECT_EQ(RunGame(), 0);
  EXPECT_EQ(headings[2], std::make_pair(0, 4));
  EXPECT_EQ(headings[3], std::make_pair(7, 4));
  EXPECT_EQ(headings[8], std::make_pair(0, 4));
  EXPECT_EQ(headings[16].second, 0);
  EXPECT_EQ(headings[18].second, 7);
  // The sheet column follows the heading: column 7 of 56 px.
  EXPECT_EQ(leftFighter.srcRect.left, 7 * 56);
  EXPECT_EQ(leftFighter.srcRect.right, 8 * 56);
}

TEST_F(Duel, RightFighterIsClampedOnTheFirstFrameOfPlay) {
  StartDuel(0);
  AtFrame(1, [] { EXPECT_EQ(rightFighter.x, 750); });
  AtFrame(2, [] {
    EXPECT_EQ(rightFighter.x, 744);
    EXPECT_EQ(rightFighter.y, 300);
    EXPECT_EQ(leftFighter.x, 50);
  });
  QuitFrom(3);
  EXPECT_EQ(RunGame(), 0);
}

TEST_F(Duel, WalkingMovesThreePixelsPerFrameForwardAndBackward) {
  StartDuel(0);
  Hold(3, W);  // left fighter faces right
  Let(13, W);
  Tap(14, A);  // heading 3, up-right
  Hold(15, S);
  Let(17, S);
  QuitFrom(20);
  std::vector<POINT> at;
  EachFrame([&](uint64_t) { at.push_back({leftFighter.x, leftFighter.y}); });
  EXPECT_EQ(RunGame(), 0);
  EXPECT_EQ(at[12].x, 50 + 30);
  EXPECT_EQ(at[12].y, 300);
  EXPECT_EQ(at[16].x, 80 - 6);
  EXPECT_EQ(at[16].y, 300 + 6);
}

TEST_F(Duel, UpAndDownHeldTogetherStayButAnimate) {
  StartDuel(0);
  Hold(3, UP);
  Hold(3, DOWN);
  AtFrame(3, [] {
    EXPECT_EQ(rightFighter.x, 744);
    EXPECT_EQ(rightFighter.srcRect.top, 64);  // first move after a pause: next frame at once
    EXPECT_EQ(rightFighter.srcRect.bottom, 128);
  });
  std::vector<int> tops;
  std::vector<DWORD> stamps;
  EachFrame([&](uint64_t frame) {
    if (frame < 3 || frame > 60) return;
    tops.push_back(rightFighter.srcRect.top);
    stamps.push_back(rightFighter.animStamp);
    EXPECT_EQ(rightFighter.x, 744);
    EXPECT_EQ(rightFighter.y, 300);
  });
  Let(61, UP);
  Let(61, DOWN);
  QuitFrom(62);
  EXPECT_EQ(RunGame(), 0);
  // The walk frame cycles 64, 128, 192, 0, ... and changes only after 80 ms.
  int changes = 0;
  for (size_t i = 1; i < tops.size(); i++) {
    if (tops[i] == tops[i - 1]) continue;
    changes++;
    EXPECT_EQ(tops[i], (tops[i - 1] + 64) % 256);
    EXPECT_GE(stamps[i] - stamps[i - 1], 80u);
  }
  EXPECT_GE(changes, 4);
}

TEST_F(Duel, StepsFromHeadings) {
  const int expected[9][2] = {{-8, 0}, {-8, -6}, {0, -6}, {8, -6}, {8, 0}, {8, 6}, {0, 6}, {-8, 6}, {1, 1}};
  for (int heading = 0; heading < 9; heading++) {
    GameSprite plane = Box(0, 0, 32, 32, heading);
    SetStepFromHeading(&plane, 8, 6);
    EXPECT_EQ(plane.stepX, expected[heading][0]) << heading;
    EXPECT_EQ(plane.stepY, expected[heading][1]) << heading;
  }
}

// A sprite at (x, y) with a heading, and where it is and which way it heads
// after a collision routine.
struct Move {
  int x, y, heading, x_after, y_after, heading_after;
};

// Each move through `routine`, on a sprite of the given size.
void ExpectMoves(const std::function<void(GameSprite*)>& routine, int width, int height,
                 const std::vector<Move>& moves) {
  for (const Move& m : moves) {
    SCOPED_TRACE(testing::Message() << "from " << m.x << "," << m.y << " heading " << m.heading);
    GameSprite sprite = Box(m.x, m.y, width, height, m.heading);
    routine(&sprite);
    EXPECT_EQ(sprite.x, m.x_after);
    EXPECT_EQ(sprite.y, m.y_after);
    EXPECT_EQ(sprite.heading, m.heading_after);
  }
}

// Straddling the top-left corner, its inset right edge is put on the desk's
// left; straddling the bottom-right one, the inset left edge on its right.
// On top or below, well inside horizontally: pushed up or down.
TEST_F(Duel, FighterStraddlingADeskCornerIsPushedOutSideways) {
  GameSprite desk = Box(125, 300, 128, 64);
  const std::vector<Move> off_desk = {
      {125 - 36 + 4, 300 - 64 + 4, 0, 89, 240, 0},
      {253 - 20 - 4, 364 - 4, 0, 233, 360, 0},
      {150, 300 - 64 + 5, 0, 150, 236, 0},
      {150, 364 - 5, 0, 150, 364, 0},
  };
  ExpectMoves([&](GameSprite* fighter) { BlockAgainstDesk(fighter, &desk); }, 56, 64, off_desk);
}

TEST_F(Duel, FieldLimitsForFighters) {
  ExpectMoves(KeepFighterInField, 56, 64, {{-7, 10, 0, 0, 60, 0}, {760, 590, 0, 744, 536, 0}});
}

TEST_F(Duel, AirplanesBounceOffTheFieldEdges) {
  const std::vector<Move> moves = {
      {-3, 300, 0, 0, 300, 5},    {-3, 300, 1, 0, 300, 3},    {-3, 300, 7, 0, 300, 5},
      {-3, 300, 2, 0, 300, 2},    {770, 300, 4, 768, 300, 1}, {770, 300, 3, 768, 300, 1},
      {770, 300, 5, 768, 300, 7}, {400, 35, 2, 400, 40, 7},   {400, 35, 1, 400, 40, 7},
      {400, 35, 3, 400, 40, 5},   {400, 570, 6, 400, 568, 3}, {400, 570, 5, 400, 568, 3},
      {400, 570, 7, 400, 568, 1}, {400, 300, 0, 400, 300, 0},
  };
  ExpectMoves(BounceOffEdges, 32, 32, moves);
}

TEST_F(Duel, AirplanesBounceOffDesks) {
  GameSprite desk = Box(350, 200, 128, 64);  // 350..478 x 200..264
  const std::vector<Move> moves = {
      {472, 220, 0, 478, 220, 5},                              // into its right side
      {472, 220, 1, 478, 220, 3}, {324, 220, 4, 318, 220, 1},  // left side
      {324, 220, 5, 318, 220, 7}, {400, 172, 6, 400, 168, 3},  // top
      {400, 172, 7, 400, 168, 1}, {400, 260, 2, 400, 264, 7},  // bottom
      {400, 260, 3, 400, 264, 5}, {300, 100, 6, 300, 100, 6},  // clear of it
  };
  ExpectMoves([&](GameSprite* plane) { BounceOffDesk(plane, &desk); }, 32, 32, moves);
}

TEST_F(Duel, TouchingBoxesDoNotHit) {
  GameSprite player = Box(400, 300, 56, 64);  // hit box 420..436 x 324..340
  GameSprite plane = Box(420 - 32, 324, 32, 32);
  EXPECT_FALSE(AirplaneHitsPlayer(&player, &plane));
  plane.x += 1;
  EXPECT_TRUE(AirplaneHitsPlayer(&player, &plane));
  plane = Box(420, 340, 32, 32);
  EXPECT_FALSE(AirplaneHitsPlayer(&player, &plane));
  plane.y -= 1;
  EXPECT_TRUE(AirplaneHitsPlayer(&player, &plane));
  plane.visible = false;  // visibility is the caller's business
  EXPECT_TRUE(AirplaneHitsPlayer(&player, &plane));
}

TEST_F(Duel, ThrownStraightLeftItComesBackDownRightAfterTheEdge) {
  StartDuel(0);
  for (int i = 0; i < 4; i++) Tap(3 + 2 * i, A);  // left fighter 4 -> 0
  Tap(11, F);
  std::vector<GameSprite> plane;
  EachFrame([&](uint64_t) { plane.push_back(leftPlane); });
  QuitFrom(30);
  EXPECT_EQ(RunGame(), 0);
  EXPECT_TRUE(plane[11].visible);
  EXPECT_EQ(plane[11].x, 42);  // thrown from x 50, first step in the same frame
  EXPECT_EQ(plane[11].heading, 0);
  EXPECT_EQ(plane[16].x, 2);
  EXPECT_EQ(plane[17].x, 0);
  EXPECT_EQ(plane[17].heading, 5);
  EXPECT_EQ(plane[18].x, 8);
  EXPECT_EQ(plane[18].y, plane[17].y + 6);
}

TEST_F(Duel, ThrownAtADeskItBouncesOffItsLeftSide) {
  StartDuel(0);
  Tap(3, F);  // from (50, 300) to the right, into desk 0 at x 125
  std::vector<GameSprite> plane;
  EachFrame([&](uint64_t) { plane.push_back(leftPlane); });
  QuitFrom(20);
  EXPECT_EQ(RunGame(), 0);
  EXPECT_EQ(plane[7].x, 90);
  EXPECT_EQ(plane[7].heading, 4);
  EXPECT_EQ(plane[8].x, 125 - 32);
  EXPECT_EQ(plane[8].heading, 1);
  EXPECT_EQ(plane[9].x, 85);
  EXPECT_EQ(plane[9].y, 300 - 6);
}

TEST_F(Duel, AnAirplaneFlies170FramesAndAHeldKeyThrowsAgainOnlyAfterIt) {
  StartDuel(0);
  Tap(3, D);
  Tap(5, D);  // left fighter faces down
  Tap(7, F);
  Hold(100, F);
  Let(400, F);
  std::vector<bool> flying;
  std::vector<int> life;
  EachFrame([&](uint64_t) {
    flying.push_back(leftPlane.visible);
    life.push_back(leftPlane.life);
    if (gameState != STATE_PLAY && gameState != STATE_MENU && gameState != STATE_NEW_BOUT)
      ADD_FAILURE() << "unexpected screen " << gameState;
  });
  QuitFrom(401);
  EXPECT_EQ(RunGame(), 0);
  EXPECT_FALSE(flying[6]);
  for (int frame = 7; frame < 7 + 170; frame++) EXPECT_TRUE(flying[frame]) << frame;
  EXPECT_FALSE(flying[177]);
  EXPECT_EQ(life[177], 0);
  // F held since frame 100: the idle airplane is thrown on the next frame.
  EXPECT_TRUE(flying[178]);
  EXPECT_EQ(life[178], 2);
  for (int frame = 178; frame < 178 + 170; frame++) EXPECT_TRUE(flying[frame]) << frame;
  for (int frame = 348; frame < 400; frame++) EXPECT_FALSE(flying[frame]) << frame;
}

// A throw puts the player's idle airplane at the fighter with the fighter's
// heading and life 1; the flight step of the same frame then moves it once.
struct Throwing {
  const char* name;
  int turn, throw_key;
  GameSprite *fighter, *plane, *other_plane;
  int heading;         // of the fighter after one turn
  int step_x, step_y;  // the airplane's step at that heading
};

void PrintTo(const Throwing& t, std::ostream* out) { *out << t.name; }

class Throw : public Duel, public ::testing::WithParamInterface<Throwing> {};

TEST_P(Throw, PutsTheIdleAirplaneAtTheFighterWithItsHeading) {
  const Throwing t = GetParam();
  StartDuel(0);
  Tap(3, t.turn);
  Tap(5, t.throw_key);
  GameSprite fighter{};
  AtFrame(4, [&] { fighter = *t.fighter; });
  AtFrame(5, [&] {
    EXPECT_EQ(fighter.heading, t.heading);
    EXPECT_TRUE(t.plane->visible);
    EXPECT_EQ(t.plane->life, 2);
    EXPECT_EQ(t.plane->heading, t.heading);
    EXPECT_EQ(t.plane->x, fighter.x + t.step_x);
    EXPECT_EQ(t.plane->y, fighter.y + t.step_y);
    EXPECT_FALSE(t.other_plane->visible);
  });
  QuitFrom(6);
  EXPECT_EQ(RunGame(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Players, Throw,
    ::testing::Values(Throwing{"RightPlayerWithRightCtrl", RIGHT, RCTRL, &rightFighter, &rightPlane,
                               &leftPlane, 1, -8, -6},
                      Throwing{"LeftPlayerWithF", D, F, &leftFighter, &leftPlane, &rightPlane, 5, 8, 6}),
    [](const ::testing::TestParamInfo<Throwing>& info) { return std::string(info.param.name); });

TEST_F(Duel, AnAirplaneNeverHitsItsOwnThrower) {
  StartDuel(0);
  Tap(3, F);
  Tap(3, RCTRL);
  AtFrame(4, [] {
    AimAt(&leftPlane, leftFighter);
    AimAt(&rightPlane, rightFighter);
  });
  QuitFrom(8);
  EXPECT_EQ(RunGame(), 0);
  EXPECT_EQ(leftScore, 0);
  EXPECT_EQ(rightScore, 0);
  for (int i = 2; i < 8; i++) EXPECT_EQ(states[i], STATE_PLAY);
}

TEST_F(Duel, FivePointsWinAndTheDigitShowsFive) {
  StartDuel(0);
  // Each bout: a hit at frame b+1, Enter on the banner at b+3, a new bout.
  for (int point = 0; point < 5; point++) {
    uint64_t b = 2 + 6 * point;
    AtFrame(b, [] { AimAt(&leftPlane, rightFighter); });
    if (point < 4) Tap(b + 3, ENTER);
  }
  std::vector<int> digit;
  EachFrame([&](uint64_t) { digit.push_back(leftDigit.srcRect.left); });
  Tap(34, ENTER);
  Tap(37, ESC);
  EXPECT_EQ(RunGame(), 0);
  EXPECT_EQ(states[3], STATE_LEFT_SCORES);
  EXPECT_EQ(digit[3], 24);
  EXPECT_EQ(states[27], STATE_LEFT_WINS);
  EXPECT_EQ(digit[27], 5 * 24);
  EXPECT_EQ(leftDigit.srcRect.right, 6 * 24);
  EXPECT_EQ(leftScore, 5);
  EXPECT_EQ(states[34], STATE_MENU);
}

struct BothHit {
  const char* name;
  int left_before, right_before, screen;
};

class BothHitInOneFrame : public Duel, public ::testing::WithParamInterface<BothHit> {};

TEST_P(BothHitInOneFrame, BothScoresRiseAndTheRightBannerShowsUnlessLeftWon) {
  const BothHit c = GetParam();
  StartDuel(0);
  AtFrame(2, [c] {
    leftScore = c.left_before;
    rightScore = c.right_before;
    AimAt(&leftPlane, rightFighter);
    AimAt(&rightPlane, leftFighter);
  });
  QuitFrom(6);
  EXPECT_EQ(RunGame(), 0);
  EXPECT_EQ(states[3], c.screen);
  EXPECT_EQ(leftScore, c.left_before + 1);
  EXPECT_EQ(rightScore, c.right_before + 1);
}

INSTANTIATE_TEST_SUITE_P(Screens, BothHitInOneFrame,
                         ::testing::Values(BothHit{"BothScore", 0, 0, STATE_RIGHT_SCORES},
                                           BothHit{"LeftWinsRightScores", 4, 0, STATE_LEFT_WINS},
                                           BothHit{"LeftScoresRightWins", 0, 4, STATE_RIGHT_WINS},
                                           BothHit{"BothWin", 4, 4, STATE_RIGHT_WINS}),
                         [](const ::testing::TestParamInfo<BothHit>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(Duel, NewBoutPutsFightersAndAirplanesBack) {
  StartDuel(0);
  Hold(3, W);
  Hold(3, UP);
  Tap(3, RCTRL);
  Tap(4, D);
  Let(9, W);
  Let(9, UP);
  AtFrame(10, [] { AimAt(&leftPlane, rightFighter); });
  Tap(13, ENTER);
  AtFrame(14, [] {
    EXPECT_EQ(rightFighter.x, 750);
    EXPECT_EQ(rightFighter.y, 300);
    EXPECT_EQ(rightFighter.heading, 0);
    EXPECT_EQ(rightFighter.animStamp, 0u);
    EXPECT_EQ(rightFighter.srcRect.top, 0);
    EXPECT_EQ(rightFighter.srcRect.bottom, 64);
    EXPECT_EQ(leftFighter.x, 50);
    EXPECT_EQ(leftFighter.heading, 4);
    EXPECT_FALSE(rightPlane.visible);
    EXPECT_EQ(rightPlane.life, 0);
    EXPECT_EQ(rightPlane.x, 0);
    EXPECT_EQ(leftPlane.heading, 4);
    EXPECT_EQ(leftScore, 1);
  });
  QuitFrom(16);
  EXPECT_EQ(RunGame(), 0);
  EXPECT_EQ(states[14], STATE_PLAY);
}

TEST_F(Duel, MissingDeskImageStillBlocks) {
  RemoveAsset("desk.bmp");
  StartDuel(0);
  Hold(3, W);
  Let(60, W);
  Tap(61, F);
  std::vector<GameSprite> plane;
  EachFrame([&](uint64_t) { plane.push_back(leftPlane); });
  QuitFrom(70);
  EXPECT_EQ(RunGame(), 0);
  for (const GameSprite& desk : desks) EXPECT_EQ(desk.tex, nullptr);
  EXPECT_EQ(leftFighter.x, 125 - 56 + 20);
  // Thrown against the desk from right in front of it: bounced at once.
  EXPECT_EQ(plane[61].x, 125 - 32);
  EXPECT_EQ(plane[61].heading, 1);
}

}  // namespace

// The computer's foresight against the duel's own routines: from thousands
// of seeded random places and headings, an airplane's flight steps and a
// kid's walk and limits come out the same, and a straight line the computer
// works out from its geometry is one the flight really takes.
#include <gtest/gtest.h>

#include <random>

#include "game/computer/foresight.h"
#include "game/duel.h"

using namespace foresight;

namespace {

GameSprite Sprite(int x, int y, int width, int height) {
  GameSprite sprite{};
  sprite.x = x;
  sprite.y = y;
  sprite.width = width;
  sprite.height = height;
  return sprite;
}

// The game's records as start-up leaves them (sizes and desks).
void Set_Field() {
  const int at[4][2] = {{125, 300}, {575, 300}, {350, 200}, {350, 425}};
  for (int i = 0; i < 4; i++) desks[i] = Sprite(at[i][0], at[i][1], 128, 64);
  rightFighter.width = leftFighter.width = 56;
  rightFighter.height = leftFighter.height = 64;
  rightPlane.width = leftPlane.width = 32;
  rightPlane.height = leftPlane.height = 32;
}

TEST(Foresight, FollowsTheDuelsOwnMovesStepByStep) {
  Set_Field();
  const Field field = Field_Now();
  std::mt19937 random(7);
  std::uniform_int_distribution<int> x(-20, 800), y(20, 600), heading(0, 7), steps(1, 60), walk(-1, 1);
  for (int trial = 0; trial < 3000; trial++) {
    SCOPED_TRACE("trial " + std::to_string(trial));
    // An airplane, flight step by flight step, as the duel flies it.
    GameSprite plane = Sprite(x(random), y(random), 32, 32);
    plane.heading = heading(random);
    Body body{plane.x, plane.y, plane.heading};
    for (int step = steps(random); step > 0; step--) {
      SetStepFromHeading(&plane, 8, 6);
      plane.x += plane.stepX;
      plane.y += plane.stepY;
      BounceOffEdges(&plane);
      for (GameSprite& desk : desks) BounceOffDesk(&plane, &desk);
      const int before = body.heading;
      const bool bounced = Fly_Step(body, field);
      EXPECT_EQ(bounced, body.heading != before);
      ASSERT_EQ(body.x, plane.x);
      ASSERT_EQ(body.y, plane.y);
      ASSERT_EQ(body.heading, plane.heading);
    }
    // A kid walking, then held in the field and out of the desks.
    GameSprite kid = Sprite(x(random), y(random), 56, 64);
    kid.heading = heading(random);
    Body walker{kid.x, kid.y, kid.heading};
    for (int step = steps(random); step > 0; step--) {
      const int direction = walk(random);
      SetStepFromHeading(&kid, 3, 3);
      kid.x += direction * kid.stepX;
      kid.y += direction * kid.stepY;
      KeepFighterInField(&kid);
      for (GameSprite& desk : desks) BlockAgainstDesk(&kid, &desk);
      Walk_Step(walker, direction);
      Keep_Kid(walker, field);
      ASSERT_EQ(walker.x, kid.x);
      ASSERT_EQ(walker.y, kid.y);
      // And the hit test, the plane's last place against the kid.
      EXPECT_EQ(Plane_Hits(body, walker.x, walker.y, 0, field), AirplaneHitsPlayer(&kid, &plane));
    }
  }
}

TEST(Foresight, AStraightLineIsOneTheFlightTakes) {
  Set_Field();
  const Field field = Field_Now();
  std::mt19937 random(11);
  std::uniform_int_distribution<int> x(0, 744), y(60, 536), heading(0, 7);
  int lines = 0;
  for (int trial = 0; trial < 20000; trial++) {
    const Body from{x(random), y(random), heading(random)};
    const int targetX = x(random), targetY = y(random);
    const int frame = Straight_Line(from.x, from.y, from.heading, targetX, targetY, field);
    if (frame == 0) continue;
    lines++;
    // The flight strikes in that frame, without a bounce on the way.
    EXPECT_EQ(Throw_HitFrame(from, Target{targetX, targetY, 0, 0, 0}, 0, 170, field), frame)
        << "from " << from.x << "," << from.y << " heading " << from.heading << " at " << targetX << ","
        << targetY;
  }
  EXPECT_GT(lines, 200);
}

}  // namespace

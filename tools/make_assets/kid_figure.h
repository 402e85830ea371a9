// The two kids, drawn from a small 3-D body made of spheres, capsules and
// ellipsoids, seen from the front and above as the classroom is. The body
// turns to any heading and takes one of four walk poses, so every column and
// row of a fighter sheet comes from the same figure.
#pragma once

#include "canvas.h"

namespace assets {

enum class Hairdo { Pigtails, Cap };

struct KidLook {
  Hairdo hairdo = Hairdo::Pigtails;
  Rgba skin, hair, shirt, shirt_trim, trousers, shoes, accent;  // accent: cap or hair ties
};

struct KidPose {
  float heading = 0;        // direction faced on the floor, radians, screen convention: 0 right, pi/2 down
  int frame = 0;            // walk frame 0..3: legs and arms swing through a full stride
  float elevation = 0.70f;  // camera height above the floor plane, radians (0.7: as the classroom is seen)
};

// Draws the kid into a transparent picture of width x height pixels with the
// point between its feet at (foot_x, foot_y); `scale` is pixels per body unit
// (the body is about 58 units tall). Edges are smooth; alpha is coverage.
Image DrawKid(const KidLook& look, const KidPose& pose, int width, int height, float foot_x, float foot_y,
              float scale);

}  // namespace assets

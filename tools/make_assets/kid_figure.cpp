#include "kid_figure.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace assets {

namespace {

struct Vec {
  float x = 0, y = 0, z = 0;
};
Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec operator*(Vec a, float k) { return {a.x * k, a.y * k, a.z * k}; }
float Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec Normal(Vec a) { return a * (1.0f / std::sqrt(Dot(a, a))); }
Vec Div(Vec a, Vec b) { return {a.x / b.x, a.y / b.y, a.z / b.z}; }

// The body is built in its own frame: x forward, y to the kid's right, z up,
// origin on the floor between the feet.
enum class Part { Skin, Head, Hair, Shirt, Trim, Trousers, Shoes, Accent };

struct Shape {
  enum Kind { Ball, Stick, Egg } kind;
  Vec a, b;     // Ball: centre a; Stick: ends a, b; Egg: centre a, radii b
  float r = 0;  // Ball, Stick
  Part part;
};

struct Hit {
  float t = 1e9f;
  Vec normal;
  const Shape* shape = nullptr;
};

// Nearest t > 0 at which the ray o + t d (d unit) meets the shape, or -1.
float Intersect(const Shape& s, Vec o, Vec d, Vec& normal) {
  if (s.kind == Shape::Ball || s.kind == Shape::Egg) {
    const Vec radii = s.kind == Shape::Ball ? Vec{s.r, s.r, s.r} : s.b;
    const Vec oc = Div(o - s.a, radii), dd = Div(d, radii);
    const float a = Dot(dd, dd), b = Dot(oc, dd), c = Dot(oc, oc) - 1;
    const float h = b * b - a * c;
    if (h < 0) return -1;
    const float t = (-b - std::sqrt(h)) / a;
    if (t <= 0) return -1;
    const Vec p = o + d * t - s.a;
    normal = Normal(Div(p, {radii.x * radii.x, radii.y * radii.y, radii.z * radii.z}));
    return t;
  }
  // Capsule.
  const Vec ba = s.b - s.a, oa = o - s.a;
  const float baba = Dot(ba, ba), bard = Dot(ba, d), baoa = Dot(ba, oa), rdoa = Dot(d, oa),
              oaoa = Dot(oa, oa);
  const float a = baba - bard * bard, b = baba * rdoa - baoa * bard,
              c = baba * oaoa - baoa * baoa - s.r * s.r * baba;
  float h = b * b - a * c;
  float t = -1;
  if (h >= 0 && a > 1e-6f) {
    const float tb = (-b - std::sqrt(h)) / a;
    const float y = baoa + tb * bard;
    if (y > 0 && y < baba) t = tb;
  }
  if (t < 0) {
    // The round ends.
    for (Vec end : {s.a, s.b}) {
      const Vec oc = o - end;
      const float bb = Dot(d, oc), cc = Dot(oc, oc) - s.r * s.r;
      h = bb * bb - cc;
      if (h > 0) {
        const float te = -bb - std::sqrt(h);
        if (te > 0 && (t < 0 || te < t)) t = te;
      }
    }
  }
  if (t < 0) return -1;
  const Vec pa = o + d * t - s.a;
  const float k = std::clamp(Dot(pa, ba) / baba, 0.0f, 1.0f);
  normal = Normal(pa - ba * k);
  return t;
}

struct Body {
  std::vector<Shape> shapes;
  Vec head;  // centre of the head ball, where the face is laid out from
};

Body BuildBody(const KidLook& look, int frame) {
  constexpr float kQuarter = 1.5707963f;
  const float phase = frame * kQuarter;
  const float bob = (frame % 2 == 0) ? 0.8f : 0.0f;  // passing poses stand a little taller
  Body built;
  std::vector<Shape>& body = built.shapes;
  auto ball = [&](Vec c, float r, Part p) { body.push_back({Shape::Ball, c, {}, r, p}); };
  auto stick = [&](Vec a, Vec b, float r, Part p) { body.push_back({Shape::Stick, a, b, r, p}); };
  auto egg = [&](Vec c, Vec radii, Part p) { body.push_back({Shape::Egg, c, radii, 0, p}); };

  // Legs: the left leg's phase leads the right one's by half a stride. A foot
  // swings forward lifted and is planted at the ends of its stride.
  for (int side : {-1, 1}) {
    const float leg = phase + (side > 0 ? 3.14159265f : 0.0f);
    const float forward = 5.5f * std::sin(leg);
    const float lift = 2.2f * std::max(0.0f, std::cos(leg));
    const Vec hip{0, side * 4.0f, 19 + bob}, ankle{forward, side * 4.6f, 5 + lift};
    stick(hip, ankle, 3.5f, Part::Trousers);
    egg(ankle + Vec{1.8f, 0, -2.2f}, {4.8f, 3.2f, 2.6f}, Part::Shoes);
    // Arms swing against the leg on the same side.
    const Vec shoulder{0, side * 9.2f, 32 + bob}, hand{-forward * 0.9f, side * 10.6f, 21 + bob};
    stick(shoulder, shoulder + (hand - shoulder) * 0.45f, 3.3f, Part::Shirt);
    stick(shoulder + (hand - shoulder) * 0.4f, hand, 2.6f, Part::Skin);
    ball(hand, 3.0f, Part::Skin);
  }
  egg({0, 0, 19.5f + bob}, {6.2f, 8.2f, 4.8f}, Part::Trousers);
  egg({0, 0, 27.5f + bob}, {6.6f, 9.3f, 8.6f}, Part::Shirt);
  egg({0.8f, 0, 35.2f + bob}, {5.2f, 6.2f, 1.6f}, Part::Trim);  // collar
  const Vec head{0.5f, 0, 45 + bob};
  built.head = head;
  ball(head, 11.5f, Part::Head);
  ball(head + Vec{11.2f, 0, -1.8f}, 2.0f, Part::Skin);  // nose
  if (look.hairdo == Hairdo::Pigtails) {
    egg(head + Vec{-5.5f, 0, -3.0f}, {8.0f, 10.8f, 10.0f}, Part::Hair);  // hair falling at the back
    for (int side : {-1, 1}) {
      ball(head + Vec{-5.0f, side * 13.0f, -1.5f}, 5.0f, Part::Hair);
      ball(head + Vec{-4.5f, side * 10.0f, 3.0f}, 3.0f, Part::Accent);  // hair tie
    }
  } else {
    egg(head + Vec{5.0f, 0, 5.0f}, {10.5f, 9.6f, 1.9f}, Part::Accent);  // visor
  }
  return built;
}

}  // namespace

Image DrawKid(const KidLook& look, const KidPose& pose, int width, int height, float foot_x, float foot_y,
              float scale) {
  constexpr int kSamples = 4;
  const float elevation = pose.elevation;
  const Body figure = BuildBody(look, pose.frame);

  // World: x right, y towards the viewer (down the screen), z up.
  const Vec forward{std::cos(pose.heading), std::sin(pose.heading), 0};
  const Vec right{-std::sin(pose.heading), std::cos(pose.heading), 0};
  const Vec up{0, 0, 1};
  auto to_body = [&](Vec w) { return Vec{Dot(w, forward), Dot(w, right), Dot(w, up)}; };
  const Vec view = to_body({0, -std::cos(elevation), -std::sin(elevation)});
  const Vec screen_x = to_body({1, 0, 0});
  const Vec screen_down = to_body({0, std::sin(elevation), -std::cos(elevation)});
  const Vec light = to_body(Normal({-0.45f, 0.35f, 0.82f}));

  auto colour_of = [&](const Shape& s, Vec p) -> Rgba {
    switch (s.part) {
      case Part::Skin:
        return look.skin;
      case Part::Hair:
        return look.hair;
      case Part::Shirt:
        return look.shirt;
      case Part::Trim:
        return look.shirt_trim;
      case Part::Trousers:
        return look.trousers;
      case Part::Shoes:
        return look.shoes;
      case Part::Accent:
        return look.accent;
      case Part::Head:
        break;
    }
    const Vec h = Normal(p - figure.head);
    // Face features, placed by direction from the head's centre.
    for (int side : {-1, 1}) {
      if (Dot(h, Normal({0.90f, side * 0.38f, -0.02f})) > 0.982f) return Hex(0x2b2233);
      if (Dot(h, Normal({0.72f, side * 0.62f, -0.30f})) > 0.985f) return Mix(look.skin, Hex(0xf0707a), 0.45f);
    }
    if (Dot(h, Normal({0.93f, 0, -0.37f})) > 0.994f) return Hex(0xa2424a);
    if (look.hairdo == Hairdo::Pigtails) {
      if (h.x < 0.0f || h.z > 0.40f + 0.25f * std::abs(h.y)) return look.hair;
    } else {
      if (h.z > 0.30f) return look.accent;  // cap
      if (h.x < -0.15f) return look.hair;
    }
    return look.skin;
  };

  Image out(width, height);
  for (int py = 0; py < height; ++py) {
    for (int px = 0; px < width; ++px) {
      float r = 0, g = 0, b = 0, cover = 0;
      for (int j = 0; j < kSamples; ++j) {
        for (int i = 0; i < kSamples; ++i) {
          const float sx = (px + (i + 0.5f) / kSamples - foot_x) / scale;
          const float sy = (py + (j + 0.5f) / kSamples - foot_y) / scale;
          const Vec origin = screen_x * sx + screen_down * sy - view * 200.0f;
          Hit hit;
          for (const Shape& s : figure.shapes) {
            Vec n;
            const float t = Intersect(s, origin, view, n);
            if (t > 0 && t < hit.t) hit = Hit{t, n, &s};
          }
          if (!hit.shape) continue;
          const Vec p = origin + view * hit.t;
          const Rgba base = colour_of(*hit.shape, p);
          // Three flat bands of light, as in a cartoon.
          const float lit = Dot(hit.normal, light);
          const float f = lit > 0.45f ? 1.0f : (lit > -0.05f ? 0.86f : 0.70f);
          const Rgba c = Shade(base, f);
          r += c.r, g += c.g, b += c.b, cover += 1;
        }
      }
      if (cover > 0) {
        out.at(px, py) = Rgba{uint8_t(r / cover + 0.5f), uint8_t(g / cover + 0.5f), uint8_t(b / cover + 0.5f),
                              uint8_t(cover * 255 / (kSamples * kSamples))};
      }
    }
  }
  return out;
}

}  // namespace assets

// Sprite drawing onto the back buffer, checked pixel by pixel on what
// Present shows.
#include <algorithm>

#include "device_fixture.h"

namespace {

constexpr uint32_t kGreen = 0x0000FF00;

// The picture expected after drawing `picture` (opaque) at (x, y) over a
// back buffer filled with `background`.
Picture Placed(const Picture& picture, int x, int y, int width, int height, uint32_t background) {
  Picture out{width, height, std::vector<uint32_t>(size_t(width) * height, background)};
  for (int sy = 0; sy < picture.height; ++sy) {
    for (int sx = 0; sx < picture.width; ++sx) {
      const int dx = x + sx;
      const int dy = y + sy;
      if (dx >= 0 && dy >= 0 && dx < width && dy < height)
        out.pixels[dy * width + dx] = picture.at(sx, sy) & 0xFFFFFF;
    }
  }
  return out;
}

}  // namespace

TEST_F(DeviceTest, SpriteIsClippedAtEveryEdgeOfTheBackBuffer) {
  const Picture picture = Numbered(5, 4, 0x00800000);
  IDirect3DTexture9* texture = TextureOf(picture);
  // Each edge and corner, partly outside (including negative positions), and
  // wholly outside.
  const int places[][2] = {
      {-2, 3},      {kWidth - 3, 3}, {6, -3}, {6, kHeight - 1}, {-4, -3}, {kWidth - 1, kHeight - 2},
      {-5, 0},      {kWidth, 0},     {0, -4}, {0, kHeight},     {0, 0},   {kWidth - 5, kHeight - 4},
      {-100000, 2}, {3, 100000}};
  for (const auto& place : places) {
    ClearTo(D3DCOLOR_XRGB(0, 255, 0));
    Draw(texture, place[0], place[1]);
    const Picture expected = Placed(picture, place[0], place[1], kWidth, kHeight, kGreen);
    EXPECT_EQ(Shown().pixels, expected.pixels) << "at " << place[0] << ", " << place[1];
  }
}

TEST_F(DeviceTest, SourceRectangleIsClippedToTheTextureAndPlacedAtThePosition) {
  const Picture picture = Numbered(6, 5);
  IDirect3DTexture9* texture = TextureOf(picture);

  ClearTo(D3DCOLOR_XRGB(0, 255, 0));
  const RECT cell{2, 1, 5, 3};
  Draw(texture, 4, 6, &cell);
  Picture part{3, 2, {}};
  for (int y = 1; y < 3; ++y)
    for (int x = 2; x < 5; ++x) part.pixels.push_back(picture.at(x, y));
  EXPECT_EQ(Shown().pixels, Placed(part, 4, 6, kWidth, kHeight, kGreen).pixels);

  // Partly outside the texture: the inside part, its corner at the position.
  ClearTo(D3DCOLOR_XRGB(0, 255, 0));
  const RECT overhang{4, -2, 9, 2};
  Draw(texture, 1, 1, &overhang);
  Picture inside{2, 2, {picture.at(4, 0), picture.at(5, 0), picture.at(4, 1), picture.at(5, 1)}};
  EXPECT_EQ(Shown().pixels, Placed(inside, 1, 1, kWidth, kHeight, kGreen).pixels);

  // Wholly outside, or empty: nothing drawn.
  ClearTo(D3DCOLOR_XRGB(0, 255, 0));
  const RECT outside{6, 0, 10, 5};
  const RECT empty{3, 3, 3, 4};
  Draw(texture, 0, 0, &outside);
  Draw(texture, 0, 0, &empty);
  EXPECT_EQ(Shown().pixels, Filled(kWidth, kHeight, kGreen).pixels);
}

TEST_F(DeviceTest, LaterDrawsCoverEarlierOnesAndClearPixelsLeaveThemVisible) {
  Picture red = Filled(4, 4, 0xFFFF0000);
  Picture ring = Filled(4, 4, 0xFF0000FF);
  ring.pixels[1 * 4 + 1] = ring.pixels[1 * 4 + 2] = 0x000000FF;  // two see-through pixels
  IDirect3DTexture9* under = TextureOf(red);
  IDirect3DTexture9* over = TextureOf(ring);

  ClearTo(D3DCOLOR_XRGB(0, 255, 0));
  Draw(under, 2, 2);
  Draw(over, 3, 2);
  const Picture shown = Shown();
  EXPECT_EQ(shown.at(2, 2), 0x00FF0000u);  // only the first covers it
  EXPECT_EQ(shown.at(3, 2), 0x000000FFu);  // the second covers the first
  EXPECT_EQ(shown.at(4, 3), 0x00FF0000u);  // through a clear pixel of the second
  EXPECT_EQ(shown.at(5, 3), 0x00FF0000u);
  EXPECT_EQ(shown.at(6, 3), 0x000000FFu);
  EXPECT_EQ(shown.at(1, 2), kGreen);
}

TEST_F(DeviceTest, BlendingRoundsEveryAlphaAndChannelValueToTheNearest) {
  // Texel (s, a) has every colour channel s and alpha a; drawn over each
  // background d, the result must be round((s * a + d * (255 - a)) / 255).
  const int size = 256;
  Open(size, size);

  Picture ramp{size, size, {}};
  for (uint32_t a = 0; a < 256; ++a)
    for (uint32_t s = 0; s < 256; ++s) ramp.pixels.push_back(a << 24 | s << 16 | s << 8 | s);
  IDirect3DTexture9* texture = TextureOf(ramp);
  for (uint32_t d : {0u, 1u, 77u, 127u, 128u, 200u, 254u, 255u}) {
    ClearTo(D3DCOLOR_XRGB(d, d, d));
    Draw(texture, 0, 0);
    const Picture shown = Shown();
    int wrong = 0;
    for (uint32_t a = 0; a < 256 && wrong < 5; ++a) {
      for (uint32_t s = 0; s < 256; ++s) {
        const uint32_t c = (s * a + d * (255 - a) + 127) / 255;
        const uint32_t expected = c << 16 | c << 8 | c;
        if (shown.at(int(s), int(a)) != expected && ++wrong <= 5) {
          ADD_FAILURE() << "s " << s << " a " << a << " d " << d << ": " << std::hex
                        << shown.at(int(s), int(a));
        }
      }
    }
  }
}

TEST_F(DeviceTest, ColourOtherThanWhiteModulatesAndNoBlendFlagIgnoresAlpha) {
  IDirect3DTexture9* half = TextureOf(Filled(2, 2, 0x80C86432));
  IDirect3DTexture9* opaque = TextureOf(Filled(2, 2, 0xFFC86432));

  ClearTo(D3DCOLOR_XRGB(0, 0, 0));
  Draw(opaque, 0, 0, nullptr, D3DCOLOR_ARGB(255, 128, 255, 0));    // red halved, green kept, blue gone
  Draw(opaque, 4, 0, nullptr, D3DCOLOR_ARGB(128, 255, 255, 255));  // half transparent over black
  Draw(half, 8, 0, nullptr, 0xFFFFFFFF, 0);                        // no blending: colour as is
  const Picture shown = Shown();
  EXPECT_EQ(shown.at(0, 0), 0x00646400u);
  EXPECT_EQ(shown.at(4, 0), 0x00643219u);
  EXPECT_EQ(shown.at(8, 0), 0x00C86432u);
}

TEST_F(DeviceTest, SpriteCallsOutOfOrderAreRefused) {
  IDirect3DTexture9* texture = TextureOf(Filled(2, 2, 0xFFFFFFFF));
  const D3DXVECTOR3 at(0, 0, 0);
  EXPECT_EQ(sprite->Draw(texture, nullptr, nullptr, &at, 0xFFFFFFFF), D3DERR_INVALIDCALL);
  EXPECT_EQ(sprite->End(), D3DERR_INVALIDCALL);
  ASSERT_EQ(device->BeginScene(), D3D_OK);
  ASSERT_EQ(sprite->Begin(D3DXSPRITE_ALPHABLEND), D3D_OK);
  EXPECT_EQ(sprite->Begin(D3DXSPRITE_ALPHABLEND), D3DERR_INVALIDCALL);
  EXPECT_EQ(sprite->Draw(nullptr, nullptr, nullptr, &at, 0xFFFFFFFF), D3DERR_INVALIDCALL);
  EXPECT_EQ(sprite->End(), D3D_OK);
  EXPECT_EQ(device->EndScene(), D3D_OK);
}

TEST_F(DeviceTest, CentreIsSubtractedFromThePositionAndFractionsRoundToThePixel) {
  IDirect3DTexture9* texture = TextureOf(Filled(1, 1, 0xFFFFFFFF));
  ClearTo(D3DCOLOR_XRGB(0, 0, 0));
  const D3DXVECTOR3 centre(1, 2, 0);
  const D3DXVECTOR3 at(5, 6, 0);
  const D3DXVECTOR3 fraction(9.6f, 2.4f, 0);
  ASSERT_EQ(device->BeginScene(), D3D_OK);
  ASSERT_EQ(sprite->Begin(D3DXSPRITE_ALPHABLEND), D3D_OK);
  EXPECT_EQ(sprite->Draw(texture, nullptr, &centre, &at, 0xFFFFFFFF), D3D_OK);
  EXPECT_EQ(sprite->Draw(texture, nullptr, nullptr, &fraction, 0xFFFFFFFF), D3D_OK);
  ASSERT_EQ(sprite->End(), D3D_OK);
  ASSERT_EQ(device->EndScene(), D3D_OK);
  const Picture shown = Shown();
  EXPECT_EQ(shown.at(4, 4), 0x00FFFFFFu);
  EXPECT_EQ(shown.at(10, 2), 0x00FFFFFFu);
  EXPECT_EQ(std::count(shown.pixels.begin(), shown.pixels.end(), 0x00FFFFFFu), 2);
}

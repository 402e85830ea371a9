// The Direct3D object and device: creation as the game asks for it, faults,
// scene state, clears, rectangle copies, presentation (whole and in part) and
// reference counts.
#include <functional>
#include <type_traits>

#include "device_fixture.h"
#include "platform/backend.h"
#include "scratch_folder.h"

namespace {

// A surface holding `picture`, loaded the way the game loads backgrounds.
IDirect3DSurface9* SurfaceOf(IDirect3DDevice9* device, const std::string& file, const Picture& picture,
                             D3DFORMAT format = D3DFMT_X8R8G8B8, D3DCOLOR key = 0) {
  write_png(file, picture);
  IDirect3DSurface9* surface = nullptr;
  EXPECT_EQ(device->CreateOffscreenPlainSurface(UINT(picture.width), UINT(picture.height), format,
                                                D3DPOOL_DEFAULT, &surface, nullptr),
            D3D_OK);
  EXPECT_EQ(
      D3DXLoadSurfaceFromFileA(surface, nullptr, nullptr, file.c_str(), nullptr, D3DX_DEFAULT, key, nullptr),
      D3D_OK);
  return surface;
}

}  // namespace

TEST(Direct3D, FullScreenDeviceAsTheGameAsksFillsTheDisplayUntilReleased) {
  headless::reset();
  ASSERT_TRUE(backend::window_create(800, 600, "Quarrelo"));
  EXPECT_EQ(Direct3DCreate9(31), nullptr);
  IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
  ASSERT_NE(d3d, nullptr);
  D3DPRESENT_PARAMETERS pp = GameDeviceSettings(reinterpret_cast<HWND>(0x1000));
  IDirect3DDevice9* device = nullptr;
  ASSERT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, pp.hDeviceWindow,
                              D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp, &device),
            D3D_OK);
  EXPECT_TRUE(headless::window_fullscreen());
  EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF0000FF, 1.0f, 0), D3D_OK);
  EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_STENCIL, 0, 1.0f, 0), D3DERR_INVALIDCALL);  // D16 has none
  EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  EXPECT_EQ(headless::last_frame().width, 800);
  EXPECT_EQ(headless::last_frame().height, 600);
  EXPECT_EQ(headless::last_frame().pixels[799 + 599 * 800], 0x000000FFu);

  EXPECT_EQ(d3d->Release(), 1u);  // the device holds the object
  EXPECT_EQ(device->Release(), 0u);
  EXPECT_FALSE(headless::window_fullscreen());
}

TEST(Direct3D, InjectedFaultsAndBadParametersFailCleanly) {
  headless::reset();
  headless::fail("Direct3DCreate9");
  EXPECT_EQ(Direct3DCreate9(D3D_SDK_VERSION), nullptr);
  IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
  ASSERT_NE(d3d, nullptr);
  const HWND window = reinterpret_cast<HWND>(0x1000);
  // Whether the call fails at the injected fault and clears the pointer it
  // was to hand an object out in.
  const auto faulted = [](const char* fault, auto** out, const std::function<HRESULT()>& call) {
    headless::fail(fault);
    *out = reinterpret_cast<std::remove_reference_t<decltype(*out)>>(0x1);
    return FAILED(call()) && *out == nullptr;
  };

  IDirect3DDevice9* device = nullptr;
  D3DPRESENT_PARAMETERS pp = GameDeviceSettings(window);
  const auto create_device = [&] { return d3d->CreateDevice(0, D3DDEVTYPE_HAL, window, 0x20, &pp, &device); };
  EXPECT_TRUE(faulted("IDirect3D9::CreateDevice", &device, create_device));
  const auto refused = [&](void (*change)(D3DPRESENT_PARAMETERS&), HWND focus, DWORD flags) {
    D3DPRESENT_PARAMETERS bad = GameDeviceSettings(window);
    change(bad);
    IDirect3DDevice9* out = nullptr;
    return FAILED(d3d->CreateDevice(0, D3DDEVTYPE_HAL, focus, flags, &bad, &out)) && out == nullptr;
  };
  const auto same = [](D3DPRESENT_PARAMETERS&) {};
  EXPECT_TRUE(refused([](D3DPRESENT_PARAMETERS& p) { p.BackBufferWidth = 0; }, window, 0x20));
  EXPECT_TRUE(refused([](D3DPRESENT_PARAMETERS& p) { p.BackBufferCount = 2; }, window, 0x20));
  EXPECT_TRUE(refused([](D3DPRESENT_PARAMETERS& p) { p.BackBufferFormat = D3DFMT_UNKNOWN; }, window, 0x20));
  EXPECT_TRUE(refused([](D3DPRESENT_PARAMETERS& p) { p.MultiSampleType = D3DMULTISAMPLE_NONMASKABLE; },
                      window, 0x20));
  EXPECT_TRUE(refused([](D3DPRESENT_PARAMETERS& p) { p.hDeviceWindow = nullptr; }, nullptr, 0x20));
  EXPECT_TRUE(refused(same, window, 0));  // no vertex processing named
  EXPECT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, window, 0x20, nullptr, &device), D3DERR_INVALIDCALL);

  // With a device: the sprite, surface and texture faults.
  ASSERT_EQ(create_device(), D3D_OK);
  ID3DXSprite* sprite = nullptr;
  EXPECT_TRUE(faulted("D3DXCreateSprite", &sprite, [&] { return D3DXCreateSprite(device, &sprite); }));
  IDirect3DSurface9* surface = nullptr;
  const auto make_surface = [&](UINT width, D3DFORMAT format) {
    return device->CreateOffscreenPlainSurface(width, 8, format, D3DPOOL_DEFAULT, &surface, nullptr);
  };
  EXPECT_TRUE(faulted("IDirect3DDevice9::CreateOffscreenPlainSurface", &surface,
                      [&] { return make_surface(8, D3DFMT_X8R8G8B8); }));
  EXPECT_TRUE(FAILED(make_surface(0, D3DFMT_X8R8G8B8)));
  EXPECT_TRUE(FAILED(make_surface(8, D3DFMT_R5G6B5)));

  const ScratchFolder folder("quarrelo-d3d9");
  write_png(folder.file("a.png"), Picture{1, 1, {0xFFFFFFFF}});
  IDirect3DTexture9* texture = nullptr;
  EXPECT_TRUE(faulted("D3DXCreateTextureFromFileExA", &texture, [&] {
    return D3DXCreateTextureFromFileExA(device, folder.file("a.png").c_str(), D3DX_DEFAULT, D3DX_DEFAULT, 1,
                                        0, D3DFMT_UNKNOWN, D3DPOOL_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT,
                                        0xFFFF00FF, nullptr, nullptr, &texture);
  }));
  EXPECT_EQ(device->Release(), 0u);
  EXPECT_EQ(d3d->Release(), 0u);
}

TEST_F(DeviceTest, SceneBracketsRefuseNestingAndStrayEnds) {
  EXPECT_EQ(device->EndScene(), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->BeginScene(), D3D_OK);
  EXPECT_EQ(device->BeginScene(), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->EndScene(), D3D_OK);
  EXPECT_EQ(device->EndScene(), D3DERR_INVALIDCALL);

  // An injected BeginScene failure leaves the device outside a scene.
  headless::fail("IDirect3DDevice9::BeginScene");
  EXPECT_EQ(device->BeginScene(), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->EndScene(), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->BeginScene(), D3D_OK);
  EXPECT_EQ(device->EndScene(), D3D_OK);
}

TEST_F(DeviceTest, FrameWhoseBeginSceneFailsShowsThePreviousPicture) {
  IDirect3DSurface9* background = SurfaceOf(device, folder.file("bg.png"), Numbered(kWidth, kHeight));
  IDirect3DTexture9* box = TextureOf(Filled(3, 3, 0xFFFF0000));
  int x = 0;
  // The game's drawing pass: skipped when BeginScene fails, presented always.
  const auto frame = [&] {
    if (device->BeginScene() == D3D_OK) {
      device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
      device->StretchRect(background, nullptr, back_buffer, nullptr, D3DTEXF_NONE);
      Draw(box, x++, 1);
      device->EndScene();
    }
    return Shown();
  };
  frame();
  const Picture second = frame();
  headless::fail("IDirect3DDevice9::BeginScene");
  EXPECT_EQ(frame().pixels, second.pixels);
  const Picture fourth = frame();
  EXPECT_NE(fourth.pixels, second.pixels);
  EXPECT_EQ(fourth.at(2, 1), 0x00FF0000u);
  EXPECT_EQ(fourth.at(1, 1), Numbered(kWidth, kHeight).at(1, 1) & 0xFFFFFF);
  EXPECT_EQ(headless::frame_count(), 4u);
  background->Release();
}

TEST_F(DeviceTest, ClearFillsTheWholeBufferOrItsRectanglesClipped) {
  ClearTo(0x12345678);
  EXPECT_EQ(Shown().pixels, Filled(kWidth, kHeight, 0x00345678).pixels);

  const D3DRECT rects[] = {
      {1, 1, 3, 2}, {kWidth - 1, kHeight - 1, kWidth + 5, kHeight + 5}, {-4, -4, -1, -1}};
  ASSERT_EQ(device->Clear(3, rects, D3DCLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0), D3D_OK);
  Picture expected = Filled(kWidth, kHeight, 0x00345678);
  expected.pixels[1 * kWidth + 1] = expected.pixels[1 * kWidth + 2] = 0x00FFFFFF;
  expected.pixels[(kHeight - 1) * kWidth + kWidth - 1] = 0x00FFFFFF;
  EXPECT_EQ(Shown().pixels, expected.pixels);

  EXPECT_EQ(device->Clear(0, nullptr, 0, 0, 1.0f, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3DERR_INVALIDCALL);  // no depth buffer
  EXPECT_EQ(device->Clear(2, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), D3DERR_INVALIDCALL);
}

TEST_F(DeviceTest, StretchRectCopiesExactlyOrNearestNeighbour) {
  // Equal sizes: exact.
  const Picture full = Numbered(kWidth, kHeight, 0x00400000);
  IDirect3DSurface9* same = SurfaceOf(device, folder.file("same.png"), full);
  ASSERT_EQ(device->StretchRect(same, nullptr, back_buffer, nullptr, D3DTEXF_NONE), D3D_OK);
  EXPECT_EQ(Shown().pixels, Rgb(full));

  // Half size up to the whole buffer: every source pixel a 2x2 block.
  const Picture half = Numbered(kWidth / 2, kHeight / 2, 0x00800000);
  IDirect3DSurface9* small = SurfaceOf(device, folder.file("half.png"), half);
  ASSERT_EQ(device->StretchRect(small, nullptr, back_buffer, nullptr, D3DTEXF_NONE), D3D_OK);
  Picture shown = Shown();
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      ASSERT_EQ(shown.at(x, y), half.at(x / 2, y / 2) & 0xFFFFFF) << x << "," << y;

  // Larger down to the buffer, 3:1 across and 2:1 down: the pixel under
  // each destination pixel's centre.
  const Picture big = Numbered(kWidth * 3, kHeight * 2, 0x00C00000);
  IDirect3DSurface9* large = SurfaceOf(device, folder.file("big.png"), big);
  ASSERT_EQ(device->StretchRect(large, nullptr, back_buffer, nullptr, D3DTEXF_NONE), D3D_OK);
  shown = Shown();
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) ASSERT_EQ(shown.at(x, y), big.at(3 * x + 1, 2 * y + 1) & 0xFFFFFF);

  // Rectangles: a part onto a part; outside the surface is refused.
  ClearTo(0);
  const RECT from{2, 3, 4, 5};
  const RECT to{10, 0, 12, 2};
  ASSERT_EQ(device->StretchRect(same, &from, back_buffer, &to, D3DTEXF_POINT), D3D_OK);
  shown = Shown();
  EXPECT_EQ(shown.at(10, 0), full.at(2, 3) & 0xFFFFFF);
  EXPECT_EQ(shown.at(11, 1), full.at(3, 4) & 0xFFFFFF);
  EXPECT_EQ(shown.at(9, 0), 0u);
  const RECT beyond{0, 0, kWidth + 1, 1};
  EXPECT_EQ(device->StretchRect(same, &beyond, back_buffer, nullptr, D3DTEXF_NONE), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->StretchRect(same, nullptr, back_buffer, &beyond, D3DTEXF_NONE), D3DERR_INVALIDCALL);
  EXPECT_EQ(device->StretchRect(nullptr, nullptr, back_buffer, nullptr, D3DTEXF_NONE), D3DERR_INVALIDCALL);
  same->Release();
  small->Release();
  large->Release();
}

// A whole surface copied onto the whole back buffer is copied when the back
// buffer is next looked at: whatever happens to the surface after the copy
// (drawn on, released) or to the back buffer (another whole copy, a reset)
// the result is as if it had been copied at once.
TEST_F(DeviceTest, AWholeCopyIsTheSourceAsItWasWhenCopied) {
  const Picture first = Numbered(kWidth, kHeight, 0x00100000);
  const Picture second = Numbered(kWidth, kHeight, 0x00200000);
  IDirect3DSurface9* a = SurfaceOf(device, folder.file("a.png"), first);
  IDirect3DSurface9* b = SurfaceOf(device, folder.file("b.png"), second);
  // The source drawn on after the copy: the copy keeps what it was.
  ASSERT_EQ(device->StretchRect(a, nullptr, back_buffer, nullptr, D3DTEXF_NONE), D3D_OK);
  ASSERT_EQ(device->StretchRect(b, nullptr, a, nullptr, D3DTEXF_NONE), D3D_OK);
  EXPECT_EQ(Shown().pixels, Rgb(first));
  // A copy over a copy, the second source released before anything looks.
  ASSERT_EQ(device->StretchRect(a, nullptr, back_buffer, nullptr, D3DTEXF_NONE), D3D_OK);
  ClearTo(0xFF0000FF);
  ASSERT_EQ(device->StretchRect(b, nullptr, back_buffer, nullptr, D3DTEXF_NONE), D3D_OK);
  b->Release();
  EXPECT_EQ(Shown().pixels, Rgb(second));
  // A copy still waiting holds nothing back from a reset.
  ASSERT_EQ(device->StretchRect(a, nullptr, back_buffer, nullptr, D3DTEXF_NONE), D3D_OK);
  a->Release();
  back_buffer->Release();
  back_buffer = nullptr;
  ASSERT_EQ(sprite->OnLostDevice(), D3D_OK);
  EXPECT_EQ(Reset(), D3D_OK);
  ASSERT_EQ(sprite->OnResetDevice(), D3D_OK);
  ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back_buffer), D3D_OK);
  // Sprites land on the copy.
  IDirect3DSurface9* c = SurfaceOf(device, folder.file("c.png"), first);
  IDirect3DTexture9* dot = TextureOf(Filled(1, 1, 0xFF00FF00));
  ASSERT_EQ(device->StretchRect(c, nullptr, back_buffer, nullptr, D3DTEXF_NONE), D3D_OK);
  Draw(dot, 3, 2);
  Picture expected = first;
  expected.pixels[2 * kWidth + 3] = 0xFF00FF00;
  EXPECT_EQ(Shown().pixels, Rgb(expected));
  c->Release();
}

TEST_F(DeviceTest, AlphaOfAnA8R8G8B8SurfaceNeverReachesThePicture) {
  Picture translucent = Filled(kWidth, kHeight, 0x80102030);
  IDirect3DSurface9* surface = SurfaceOf(device, folder.file("a.png"), translucent, D3DFMT_A8R8G8B8);
  ASSERT_EQ(device->StretchRect(surface, nullptr, back_buffer, nullptr, D3DTEXF_NONE), D3D_OK);
  EXPECT_EQ(Shown().pixels, Filled(kWidth, kHeight, 0x00102030).pixels);
  EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  const RECT part{0, 0, 2, 2};
  EXPECT_EQ(device->Present(&part, nullptr, nullptr, nullptr), D3D_OK);
  EXPECT_EQ(headless::last_frame().pixels, Filled(kWidth, kHeight, 0x00102030).pixels);
  surface->Release();
}

// With the copy swap effect Present puts a part of the back buffer on a part
// of the window's picture, stretched to fit; the rest of the picture stays as
// last presented, however the back buffer was drawn on since, and the back
// buffer itself is kept.
TEST_F(DeviceTest, PartialPresentDrawsItsPartOverThePictureLastPresented) {
  const Picture full = Numbered(kWidth, kHeight, 0x00400000);
  IDirect3DSurface9* numbered = SurfaceOf(device, folder.file("numbered.png"), full);
  const uint32_t before = 0x00112233;
  // The first drawing after a whole frame: a clear, a copy over all of the
  // back buffer, or a clear of one pixel; each ends with the back buffer
  // holding `full`.
  const struct {
    const char* name;
    bool clear_all;
    bool clear_one;
  } drawings[] = {{"clear", true, false}, {"copy", false, false}, {"one pixel", false, true}};
  for (const auto& drawing : drawings) {
    SCOPED_TRACE(drawing.name);
    ClearTo(before);
    Shown();
    const D3DRECT pixel{0, 0, 1, 1};
    if (drawing.clear_all) ClearTo(0x00445566);
    if (drawing.clear_one) {
      ASSERT_EQ(device->Clear(1, &pixel, D3DCLEAR_TARGET, 0, 1.0f, 0), D3D_OK);
    }
    ASSERT_EQ(device->StretchRect(numbered, nullptr, back_buffer, nullptr, D3DTEXF_NONE), D3D_OK);

    const RECT from{2, 3, 6, 5};
    const RECT to{8, 6, 16, 10};  // twice as wide and high
    ASSERT_EQ(device->Present(&from, &to, nullptr, nullptr), D3D_OK);
    const Picture shown{kWidth, kHeight, headless::last_frame().pixels};
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        const bool inside = x >= 8 && y >= 6 && y < 10;
        ASSERT_EQ(shown.at(x, y), inside ? full.at(2 + (x - 8) / 2, 3 + (y - 6) / 2) & 0xFFFFFF : before)
            << x << "," << y;
      }
    }
  }

  // A null source is the whole back buffer, here halved onto a quarter.
  const RECT quarter{0, 0, kWidth / 2, kHeight / 2};
  ASSERT_EQ(device->Present(nullptr, &quarter, nullptr, nullptr), D3D_OK);
  Picture shown{kWidth, kHeight, headless::last_frame().pixels};
  EXPECT_EQ(shown.at(3, 4), full.at(7, 9) & 0xFFFFFF);
  EXPECT_EQ(shown.at(15, 9), full.at(5, 4) & 0xFFFFFF) << "the earlier part stays";
  EXPECT_EQ(shown.at(15, 0), before);
  // A null destination is the whole picture.
  const RECT corner{0, 0, 1, 1};
  ASSERT_EQ(device->Present(&corner, nullptr, nullptr, nullptr), D3D_OK);
  EXPECT_EQ(headless::last_frame().pixels, std::vector<uint32_t>(kWidth * kHeight, full.at(0, 0) & 0xFFFFFF));
  EXPECT_EQ(Shown().pixels, Rgb(full)) << "the back buffer is kept";
  numbered->Release();
}

// A reset that keeps the size keeps the picture a partial present draws on.
TEST_F(DeviceTest, PartialPresentAfterAResetDrawsOnThePictureBeforeIt) {
  ClearTo(0x00112233);
  Shown();
  back_buffer->Release();
  back_buffer = nullptr;
  sprite->OnLostDevice();
  ASSERT_EQ(Reset(), D3D_OK);
  ClearTo(0x00AABBCC);
  const RECT one{0, 0, 1, 1};
  ASSERT_EQ(device->Present(&one, &one, nullptr, nullptr), D3D_OK);
  EXPECT_EQ(headless::last_frame().pixels[0], 0x00AABBCCu);
  EXPECT_EQ(headless::last_frame().pixels[1], 0x00112233u);
}

TEST_F(DeviceTest, ReferencesKeepEveryObjectAliveWhileHeld) {
  // The fixture's reference and the sprite handler's.
  EXPECT_EQ(device->AddRef(), 3u);
  EXPECT_EQ(device->Release(), 2u);

  // GetBackBuffer adds a reference each time; the device holds its own.
  IDirect3DSurface9* again = nullptr;
  ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &again), D3D_OK);
  EXPECT_EQ(again, back_buffer);
  EXPECT_EQ(again->Release(), 2u);
  EXPECT_EQ(device->GetBackBuffer(1, 0, D3DBACKBUFFER_TYPE_MONO, &again), D3DERR_INVALIDCALL);
  EXPECT_EQ(again, nullptr);

  // The game's shutdown order: device, Direct3D object, then the sprite,
  // which still draws on the device; the back buffer outlives them all.
  IDirect3DTexture9* texture = TextureOf(Filled(2, 2, 0xFFFFFFFF));
  EXPECT_EQ(device->Release(), 1u);  // the sprite's
  device = nullptr;
  EXPECT_EQ(d3d->Release(), 1u);  // the device's
  d3d = nullptr;
  Draw(texture, 0, 0);
  EXPECT_EQ(sprite->Release(), 0u);
  sprite = nullptr;
  EXPECT_EQ(back_buffer->Release(), 0u);
  back_buffer = nullptr;
}

namespace {

// A frame drawn as the one before it (the same clear, copy and sprites from
// sources unchanged) is presented as the same frame, with no drawing done;
// a source changed since, or other drawing, makes it drawn again.
TEST_F(DeviceTest, AFrameDrawnAsTheLastIsPresentedAsTheSameAndAChangedSourceIsDrawnAgain) {
  const Picture first = Numbered(kWidth, kHeight, 0x00100000);
  const Picture second = Numbered(kWidth, kHeight, 0x00200000);
  IDirect3DSurface9* background = SurfaceOf(device, folder.file("first.png"), first);
  write_png(folder.file("second.png"), second);
  IDirect3DTexture9* dot = TextureOf(Filled(1, 1, 0xFF00FF00));
  const auto frame = [&](int x) -> Picture {
    ClearTo(0xFF0000FF);
    EXPECT_EQ(device->StretchRect(background, nullptr, back_buffer, nullptr, D3DTEXF_NONE), D3D_OK);
    Draw(dot, x, 2);
    return Shown();
  };
  struct Case {
    const char* name;
    std::function<void()> between;
    int x;
    bool same;
    const Picture* picture;
  } cases[] = {
      {"first", [] {}, 3, false, &first},
      {"again", [] {}, 3, true, &first},
      {"the sprite elsewhere", [] {}, 4, false, &first},
      {"the background's file loaded again",
       [&] {
         ASSERT_EQ(D3DXLoadSurfaceFromFileA(background, nullptr, nullptr, folder.file("second.png").c_str(),
                                            nullptr, D3DX_DEFAULT, 0, nullptr),
                   D3D_OK);
       },
       4, false, &second},
      {"again", [] {}, 4, true, &second},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.between();
    const uint64_t repeated = headless::repeated_frames();
    const Picture shown = frame(c.x);
    EXPECT_EQ(headless::repeated_frames() - repeated, c.same ? 1u : 0u);
    Picture expected = *c.picture;
    expected.pixels[2 * kWidth + c.x] = 0xFF00FF00;
    EXPECT_EQ(shown.pixels, Rgb(expected));
  }
  background->Release();
}

}  // namespace

// Calls the platform refuses are refused here too, with the platform's
// error, so a mistake in the program fails here and not on a player's
// machine, and calls it accepts are accepted; and what D3DX makes of its
// "default" sizes and of a colour key's alpha. (Scene and sprite bracket order: device_test and
// sprite_drawing_test.)
#include <functional>

#include "platform/d3d9/test_queries.h"

#include "device_fixture.h"

namespace {

IDirect3DSurface9* PlainSurface(IDirect3DDevice9* device, D3DPOOL pool) {
  IDirect3DSurface9* surface = nullptr;
  EXPECT_EQ(device->CreateOffscreenPlainSurface(4, 4, D3DFMT_X8R8G8B8, pool, &surface, nullptr), D3D_OK);
  return surface;
}

struct WrongCall;
class Refusals;
HRESULT DrawFromPool(Refusals& t, D3DPOOL pool);

class Refusals : public DeviceTest, public ::testing::WithParamInterface<WrongCall> {
 public:
  using DeviceTest::back_buffer;
  using DeviceTest::device;
  using DeviceTest::Filled;
  using DeviceTest::folder;
  using DeviceTest::kHeight;
  using DeviceTest::kWidth;
  using DeviceTest::Open;
  using DeviceTest::parameters;
  using DeviceTest::ReleaseOwned;
  using DeviceTest::Reset;
  using DeviceTest::sprite;
  using DeviceTest::TextureOf;
};

// A call on the fixture's device, wrong or right, and what the platform answers.
struct WrongCall {
  const char* name;
  std::function<HRESULT(Refusals&)> call;
  HRESULT expected;
};

void PrintTo(const WrongCall& call, std::ostream* out) { *out << call.name; }

// Lets go of everything that keeps a Reset from succeeding, but `keep`.
enum class Keep { Nothing, BackBuffer, Sprite };
void LetGoForReset(Refusals& t, Keep keep) {
  if (keep != Keep::BackBuffer) {
    t.back_buffer->Release();
    t.back_buffer = nullptr;
  }
  if (keep != Keep::Sprite) t.sprite->OnLostDevice();
}

// Present on a new device with `swap_effect`, given rectangles (a part of
// the back buffer, or one reaching far outside it, or an empty one) and a
// dirty region, each or all together.
enum class Given { SourceRect, DestRect, DirtyRegion, All, RectsReachingOutside, EmptyRects };
HRESULT PresentWith(Refusals& t, D3DSWAPEFFECT swap_effect, Given given) {
  t.Open(Refusals::kWidth, Refusals::kHeight, true, swap_effect);
  if (t.device == nullptr) return E_FAIL;
  const RECT part{1, 1, 3, 3};
  const RECT outside{-5, -5, 3 * Refusals::kWidth, 3 * Refusals::kHeight};
  const RECT empty{3, 3, 3, 5};
  alignas(8) const unsigned char region[64] = {};  // the device never reads it
  const RGNDATA* dirty = reinterpret_cast<const RGNDATA*>(region);
  switch (given) {
    case Given::SourceRect:
      return t.device->Present(&part, nullptr, nullptr, nullptr);
    case Given::DestRect:
      return t.device->Present(nullptr, &part, nullptr, nullptr);
    case Given::DirtyRegion:
      return t.device->Present(nullptr, nullptr, nullptr, dirty);
    case Given::All:
      return t.device->Present(&part, &part, nullptr, dirty);
    case Given::RectsReachingOutside:
      return t.device->Present(&outside, &outside, nullptr, nullptr);
    case Given::EmptyRects:
      return t.device->Present(&empty, &part, nullptr, nullptr);
  }
  return E_FAIL;
}

const WrongCall kWrongCalls[] = {
    // StretchRect copies between default-pool surfaces only.
    {"StretchRectFromSystemMemory",
     [](Refusals& t) {
       IDirect3DSurface9* from = PlainSurface(t.device, D3DPOOL_SYSTEMMEM);
       const HRESULT result = t.device->StretchRect(from, nullptr, t.back_buffer, nullptr, D3DTEXF_NONE);
       from->Release();
       return result;
     },
     D3DERR_INVALIDCALL},
    {"StretchRectFromScratch",
     [](Refusals& t) {
       IDirect3DSurface9* from = PlainSurface(t.device, D3DPOOL_SCRATCH);
       const HRESULT result = t.device->StretchRect(from, nullptr, t.back_buffer, nullptr, D3DTEXF_NONE);
       from->Release();
       return result;
     },
     D3DERR_INVALIDCALL},
    {"StretchRectToSystemMemory",
     [](Refusals& t) {
       IDirect3DSurface9* from = PlainSurface(t.device, D3DPOOL_DEFAULT);
       IDirect3DSurface9* to = PlainSurface(t.device, D3DPOOL_SYSTEMMEM);
       const HRESULT result = t.device->StretchRect(from, nullptr, to, nullptr, D3DTEXF_NONE);
       from->Release();
       to->Release();
       return result;
     },
     D3DERR_INVALIDCALL},
    // Present inside a scene.
    {"PresentBetweenBeginSceneAndEndScene",
     [](Refusals& t) {
       EXPECT_EQ(t.device->BeginScene(), D3D_OK);
       const HRESULT result = t.device->Present(nullptr, nullptr, nullptr, nullptr);
       EXPECT_EQ(t.device->EndScene(), D3D_OK);
       return result;
     },
     D3DERR_INVALIDCALL},
    // Rectangles and a dirty region only with the copy swap effect; there
    // rectangles reaching outside are clipped.
    {"PresentWithASourceRectangleUnderDiscard",
     [](Refusals& t) { return PresentWith(t, D3DSWAPEFFECT_DISCARD, Given::SourceRect); },
     D3DERR_INVALIDCALL},
    {"PresentWithADestinationRectangleUnderDiscard",
     [](Refusals& t) { return PresentWith(t, D3DSWAPEFFECT_DISCARD, Given::DestRect); }, D3DERR_INVALIDCALL},
    {"PresentWithADirtyRegionUnderDiscard",
     [](Refusals& t) { return PresentWith(t, D3DSWAPEFFECT_DISCARD, Given::DirtyRegion); },
     D3DERR_INVALIDCALL},
    {"PresentWithRectanglesUnderFlip",
     [](Refusals& t) { return PresentWith(t, D3DSWAPEFFECT_FLIP, Given::All); }, D3DERR_INVALIDCALL},
    {"PresentWithRectanglesAndADirtyRegionUnderCopy",
     [](Refusals& t) { return PresentWith(t, D3DSWAPEFFECT_COPY, Given::All); }, D3D_OK},
    {"PresentWithRectanglesReachingOutsideUnderCopy",
     [](Refusals& t) { return PresentWith(t, D3DSWAPEFFECT_COPY, Given::RectsReachingOutside); }, D3D_OK},
    {"PresentWithAnEmptyRectangleUnderCopy",
     [](Refusals& t) { return PresentWith(t, D3DSWAPEFFECT_COPY, Given::EmptyRects); }, D3D_OK},
    {"PresentWholeUnderDiscard",
     [](Refusals& t) {
       t.Open(Refusals::kWidth, Refusals::kHeight, true, D3DSWAPEFFECT_DISCARD);
       return t.device->Present(nullptr, nullptr, nullptr, nullptr);
     },
     D3D_OK},
    // Reset with default-pool resources alive.
    {"ResetWithADefaultPoolSurfaceAlive",
     [](Refusals& t) {
       LetGoForReset(t, Keep::Nothing);
       IDirect3DSurface9* surface = PlainSurface(t.device, D3DPOOL_DEFAULT);
       const HRESULT result = t.Reset();
       surface->Release();
       EXPECT_EQ(t.Reset(), D3D_OK) << "once it is gone";
       return result;
     },
     D3DERR_INVALIDCALL},
    {"ResetWithADefaultPoolTextureAlive",
     [](Refusals& t) {
       LetGoForReset(t, Keep::Nothing);
       t.TextureOf(Refusals::Filled(2, 2, 0xFFFFFFFF));  // released at the test's end
       return t.Reset();
     },
     D3DERR_INVALIDCALL},
    {"ResetWithTheBackBufferHeld",
     [](Refusals& t) {
       LetGoForReset(t, Keep::BackBuffer);
       return t.Reset();
     },
     D3DERR_INVALIDCALL},
    {"ResetWithTheSpriteNotToldOnLostDevice",
     [](Refusals& t) {
       LetGoForReset(t, Keep::Sprite);
       return t.Reset();
     },
     D3DERR_INVALIDCALL},
    // The sprite handler between OnLostDevice and OnResetDevice.
    {"SpriteBeginAfterOnLostDevice",
     [](Refusals& t) {
       t.sprite->OnLostDevice();
       EXPECT_EQ(t.device->BeginScene(), D3D_OK);
       const HRESULT result = t.sprite->Begin(D3DXSPRITE_ALPHABLEND);
       t.sprite->OnResetDevice();
       EXPECT_EQ(t.sprite->Begin(D3DXSPRITE_ALPHABLEND), D3D_OK) << "after OnResetDevice";
       EXPECT_EQ(t.sprite->End(), D3D_OK);
       EXPECT_EQ(t.device->EndScene(), D3D_OK);
       return result;
     },
     D3DERR_INVALIDCALL},
    {"SpriteDrawAfterOnLostDeviceInABatch",
     [](Refusals& t) {
       IDirect3DTexture9* texture = t.TextureOf(Refusals::Filled(2, 2, 0xFFFFFFFF));
       const D3DXVECTOR3 at(0, 0, 0);
       EXPECT_EQ(t.device->BeginScene(), D3D_OK);
       EXPECT_EQ(t.sprite->Begin(D3DXSPRITE_ALPHABLEND), D3D_OK);
       t.sprite->OnLostDevice();
       const HRESULT result = t.sprite->Draw(texture, nullptr, nullptr, &at, 0xFFFFFFFF);
       EXPECT_EQ(t.sprite->End(), D3DERR_INVALIDCALL);
       EXPECT_EQ(t.device->EndScene(), D3D_OK);
       return result;
     },
     D3DERR_INVALIDCALL},
    // A sprite batch opens inside a scene.
    {"SpriteBeginOutsideAScene", [](Refusals& t) { return t.sprite->Begin(D3DXSPRITE_ALPHABLEND); },
     D3DERR_INVALIDCALL},
    // Only textures the device reads from: not system memory, not scratch.
    {"SpriteDrawOfASystemMemoryTexture", [](Refusals& t) { return DrawFromPool(t, D3DPOOL_SYSTEMMEM); },
     D3DERR_INVALIDCALL},
    {"SpriteDrawOfAScratchTexture", [](Refusals& t) { return DrawFromPool(t, D3DPOOL_SCRATCH); },
     D3DERR_INVALIDCALL},
    {"SpriteDrawOfAManagedTexture", [](Refusals& t) { return DrawFromPool(t, D3DPOOL_MANAGED); }, D3D_OK},
    // StretchRect's table: no copy from the render target onto a plain
    // surface; within one surface a copy, never a stretch.
    {"StretchRectFromTheBackBufferToAPlainSurface",
     [](Refusals& t) {
       IDirect3DSurface9* to = nullptr;
       EXPECT_EQ(t.device->CreateOffscreenPlainSurface(Refusals::kWidth, Refusals::kHeight, D3DFMT_X8R8G8B8,
                                                       D3DPOOL_DEFAULT, &to, nullptr),
                 D3D_OK);
       const HRESULT result = t.device->StretchRect(t.back_buffer, nullptr, to, nullptr, D3DTEXF_NONE);
       to->Release();
       return result;
     },
     D3DERR_INVALIDCALL},
    {"StretchRectWithinOneSurfaceStretched",
     [](Refusals& t) {
       const RECT from{0, 0, 2, 2}, to{4, 4, 8, 8};
       return t.device->StretchRect(t.back_buffer, &from, t.back_buffer, &to, D3DTEXF_NONE);
     },
     D3DERR_INVALIDCALL},
    {"StretchRectWithinOneSurfaceKeepingTheSize",
     [](Refusals& t) {
       const RECT from{0, 0, 4, 4}, to{2, 2, 6, 6};  // overlapping, as if through another surface
       return t.device->StretchRect(t.back_buffer, &from, t.back_buffer, &to, D3DTEXF_NONE);
     },
     D3D_OK},
    // Reset leaves the back buffer's size in its structure at zero: the same
    // structure again asks for no back buffer.
    {"ResetGivenTheStructureOfTheResetBefore",
     [](Refusals& t) {
       LetGoForReset(t, Keep::Nothing);
       D3DPRESENT_PARAMETERS pp = t.parameters;
       EXPECT_EQ(t.device->Reset(&pp), D3D_OK);
       EXPECT_EQ(pp.BackBufferWidth + pp.BackBufferHeight + pp.BackBufferCount, 0u);
       EXPECT_EQ(pp.BackBufferFormat, D3DFMT_UNKNOWN) << "windowed";
       const HRESULT result = t.device->Reset(&pp);
       EXPECT_EQ(t.Reset(), D3D_OK) << "a fresh copy";
       return result;
     },
     D3DERR_INVALIDCALL},
    // After a failed Reset only Reset, TestCooperativeLevel and Release:
    // everything else on the device, its sprites and its resources is
    // refused and counted.
    {"CallsAfterAFailedReset",
     [](Refusals& t) {
       IDirect3DTexture9* texture = t.TextureOf(Refusals::Filled(2, 2, 0xFFFFFFFF));
       LetGoForReset(t, Keep::Nothing);
       EXPECT_EQ(t.Reset(), D3DERR_INVALIDCALL) << "the texture is alive";
       const int before = d3d9_test::calls_after_failed_reset();
       const D3DXVECTOR3 at(0, 0, 0);
       IDirect3DSurface9* surface = nullptr;
       const HRESULT refused[] = {
           t.device->BeginScene(),
           t.device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0),
           t.device->Present(nullptr, nullptr, nullptr, nullptr),
           t.device->CreateOffscreenPlainSurface(2, 2, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &surface, nullptr),
           t.sprite->OnResetDevice(),
           t.sprite->Draw(texture, nullptr, nullptr, &at, 0xFFFFFFFF),
       };
       for (HRESULT result : refused) EXPECT_EQ(result, D3DERR_INVALIDCALL);
       EXPECT_EQ(d3d9_test::calls_after_failed_reset(), before + 6);
       EXPECT_EQ(t.device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
       t.ReleaseOwned();
       EXPECT_EQ(t.Reset(), D3D_OK);
       EXPECT_EQ(t.device->BeginScene(), D3D_OK) << "working again";
       EXPECT_EQ(t.device->EndScene(), D3D_OK);
       return t.sprite->OnResetDevice();
     },
     D3D_OK},
};

// A texture made in `pool`, drawn in a batch inside a scene.
HRESULT DrawFromPool(Refusals& t, D3DPOOL pool) {
  const std::string file = t.folder.file("dot.png");
  write_png(file, Refusals::Filled(1, 1, 0xFFFFFFFF));
  IDirect3DTexture9* texture = nullptr;
  EXPECT_EQ(D3DXCreateTextureFromFileExA(t.device, file.c_str(), 1, 1, 1, 0, D3DFMT_UNKNOWN, pool,
                                         D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, &texture),
            D3D_OK);
  const D3DXVECTOR3 at(0, 0, 0);
  EXPECT_EQ(t.device->BeginScene(), D3D_OK);
  EXPECT_EQ(t.sprite->Begin(D3DXSPRITE_ALPHABLEND), D3D_OK);
  const HRESULT result = t.sprite->Draw(texture, nullptr, nullptr, &at, 0xFFFFFFFF);
  EXPECT_EQ(t.sprite->End(), D3D_OK);
  EXPECT_EQ(t.device->EndScene(), D3D_OK);
  texture->Release();
  return result;
}

TEST_P(Refusals, GetThePlatformsError) { EXPECT_EQ(GetParam().call(*this), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(Device, Refusals, ::testing::ValuesIn(kWrongCalls),
                         [](const auto& info) { return std::string(info.param.name); });

// Texture sides: D3DX_DEFAULT and 0 round the picture's up to a power of
// two (the picture stretched over it), D3DX_DEFAULT_NONPOW2 and
// D3DX_FROM_FILE keep it, a number is the size.
TEST_F(DeviceTest, TextureSizeFromTheFileIsRoundedUpToAPowerOfTwoUnlessAskedNotTo) {
  const std::string file = folder.file("five_by_three.png");
  write_png(file, Numbered(5, 3, 0x00400000));  // no pixel is black
  const struct {
    UINT asked_width;
    UINT asked_height;
    int width;
    int height;
  } sides[] = {{D3DX_DEFAULT, D3DX_DEFAULT, 8, 4},
               {0, 0, 8, 4},
               {D3DX_DEFAULT_NONPOW2, D3DX_DEFAULT_NONPOW2, 5, 3},
               {D3DX_FROM_FILE, D3DX_FROM_FILE, 5, 3},
               {5, 3, 5, 3},
               {7, 7, 7, 7}};
  for (const auto& side : sides) {
    SCOPED_TRACE(side.asked_width);
    IDirect3DTexture9* texture = nullptr;
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(D3DXCreateTextureFromFileExA(device, file.c_str(), side.asked_width, side.asked_height, 1, 0,
                                           D3DFMT_UNKNOWN, D3DPOOL_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                                           &info, nullptr, &texture),
              D3D_OK);
    // Drawn whole at (0, 0) on black: the texture's size is what it covers.
    ClearTo(0);
    Draw(texture, 0, 0);
    const Picture shown = Shown();
    EXPECT_NE(shown.at(side.width - 1, side.height - 1), 0u);
    EXPECT_EQ(shown.at(side.width, 0), 0u);
    EXPECT_EQ(shown.at(0, side.height), 0u);
    EXPECT_EQ(info.Width, 5u) << "the file's own size is reported";
    EXPECT_EQ(info.Height, 3u);
    texture->Release();
  }
}

// The key is a whole ARGB value: a key without alpha, or a pixel that is
// not opaque, does not match.
TEST_F(DeviceTest, ColourKeyComparesAlphaToo) {
  const std::string file = folder.file("magentas.png");
  write_png(file, Picture{3, 1, {0xFFFF00FF, 0x80FF00FF, 0xFF00FF00}});
  const struct {
    D3DCOLOR key;
    uint32_t shown[3];
  } keys[] = {
      {0xFFFF00FF, {0x000000FF, 0x008000FF, 0x0000FF00}},  // only the opaque magenta goes
      {0x00FF00FF, {0x00FF00FF, 0x008000FF, 0x0000FF00}},  // no pixel is magenta with alpha 0
      {0x80FF00FF, {0x00FF00FF, 0x000000FF, 0x0000FF00}},  // the half-transparent one goes
  };
  for (const auto& k : keys) {
    ClearTo(D3DCOLOR_XRGB(0, 0, 255));
    Draw(LoadTexture(file, k.key), 0, 0);
    const Picture shown = Shown();
    for (int x = 0; x < 3; ++x) EXPECT_EQ(shown.at(x, 0), k.shown[x]) << std::hex << k.key << " at " << x;
  }
}

}  // namespace

// Device loss as the platform has it: a full-screen device is lost with
// its window's focus, draws nothing while lost, and comes back through
// Reset once every default-pool resource is gone.
#include "device_fixture.h"
#include "platform/backend.h"
#include "platform/d3d9/pixel_resources.h"
#include "platform/win32/input_state.h"
#include "platform/win32/windows_internal.h"

namespace {

class DeviceLoss : public DeviceTest {
 protected:
  void SetUp() override {
    headless::reset();
    win32_internal::reset_for_tests();
    ASSERT_TRUE(backend::window_create(kWidth, kHeight, "loss"));
    Focus(true);
    Open(kWidth, kHeight, /*windowed=*/false);
  }
  void TearDown() override {
    Close();
    win32_internal::reset_for_tests();
  }

  // The focus changes as the window system hands the event on (the game's
  // PeekMessageA and DirectInput reads do that).
  static void Focus(bool focused) {
    headless::set_focus(focused);
    input_state::pump();
  }

  // What the back buffer holds now, without presenting it.
  std::vector<uint32_t> BackBufferPixels() {
    const d3d9sw::PixelView view = d3d9sw::as_surface(back_buffer)->view();
    return std::vector<uint32_t>(view.pixels, view.pixels + view.width * view.height);
  }

  HRESULT Present() { return device->Present(nullptr, nullptr, nullptr, nullptr); }

  // Everything that keeps Reset from succeeding goes: the back buffer
  // reference and the sprite handler's device objects.
  void LetGo() {
    back_buffer->Release();
    back_buffer = nullptr;
    sprite->OnLostDevice();
  }
  HRESULT ResetAndTakeBack() {
    const HRESULT result = Reset();
    if (result == D3D_OK) {
      EXPECT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back_buffer), D3D_OK);
      EXPECT_EQ(sprite->OnResetDevice(), D3D_OK);
    }
    return result;
  }
};

TEST_F(DeviceLoss, LostWithTheFocusDrawsNothingAndComesBackBlackAfterAReset) {
  IDirect3DSurface9* background = nullptr;
  ASSERT_EQ(device->CreateOffscreenPlainSurface(kWidth, kHeight, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT,
                                                &background, nullptr),
            D3D_OK);
  const std::string box_file = folder.file("box.png");
  write_png(box_file, Filled(3, 3, 0xFFFF0000));
  IDirect3DTexture9* box = nullptr;
  ASSERT_EQ(
      D3DXCreateTextureFromFileExA(device, box_file.c_str(), 3, 3, 1, 0, D3DFMT_UNKNOWN, D3DPOOL_DEFAULT,
                                   D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, &box),
      D3D_OK);
  // Memory outside the default pool survives a reset.
  IDirect3DSurface9* kept = nullptr;
  ASSERT_EQ(device->CreateOffscreenPlainSurface(2, 2, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM, &kept, nullptr),
            D3D_OK);
  ClearTo(D3DCOLOR_XRGB(0, 0, 255));
  ASSERT_EQ(Present(), D3D_OK);

  Focus(false);
  EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICELOST);
  // Drawing succeeds and changes nothing; nothing is shown.
  const std::vector<uint32_t> before = BackBufferPixels();
  EXPECT_EQ(device->BeginScene(), D3D_OK);
  ClearTo(D3DCOLOR_XRGB(0, 255, 0));
  EXPECT_EQ(device->StretchRect(background, nullptr, back_buffer, nullptr, D3DTEXF_NONE), D3D_OK);
  Draw(box, 1, 1);
  EXPECT_EQ(device->EndScene(), D3D_OK);
  EXPECT_EQ(BackBufferPixels(), before);
  EXPECT_EQ(Present(), D3DERR_DEVICELOST);
  EXPECT_EQ(headless::frame_count(), 1u);
  LetGo();
  EXPECT_EQ(Reset(), D3DERR_DEVICELOST) << "the display is another program's";

  Focus(true);
  EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
  EXPECT_EQ(Reset(), D3DERR_INVALIDCALL) << "a surface and a texture are alive";
  EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
  background->Release();
  box->Release();
  EXPECT_EQ(ResetAndTakeBack(), D3D_OK);
  EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
  EXPECT_EQ(Present(), D3D_OK);
  EXPECT_EQ(headless::last_frame().pixels, std::vector<uint32_t>(kWidth * kHeight, 0u)) << "black";
  Draw(TextureOf(Filled(1, 1, 0xFF00FF00)), 2, 3);
  EXPECT_EQ(Shown().at(2, 3), 0x0000FF00u) << "drawing again";
  EXPECT_TRUE(headless::window_fullscreen());
  kept->Release();
}

TEST_F(DeviceLoss, WaysTheDeviceIsLostOrNot) {
  // Losing the focus and getting it back before the next Present.
  Focus(false);
  Focus(true);
  EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
  LetGo();
  ASSERT_EQ(ResetAndTakeBack(), D3D_OK);

  // Another program takes the display while a default-pool texture is made
  // (a system-memory surface does not ask).
  headless::fail("IDirect3DDevice9::Lost");
  IDirect3DSurface9* plain = nullptr;
  ASSERT_EQ(device->CreateOffscreenPlainSurface(2, 2, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM, &plain, nullptr),
            D3D_OK);
  plain->Release();
  EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
  IDirect3DTexture9* texture = TextureOf(Filled(2, 2, 0xFFFFFFFF));
  EXPECT_NE(texture, nullptr) << "made all the same";
  EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
  EXPECT_EQ(Present(), D3DERR_DEVICELOST);
  Close();

  // A Reset that fails leaves the device lost; the next may succeed.
  Open(kWidth, kHeight, /*windowed=*/false);
  LetGo();
  headless::fail("IDirect3DDevice9::Reset", 2);
  EXPECT_EQ(ResetAndTakeBack(), D3DERR_DEVICELOST);
  EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
  EXPECT_EQ(ResetAndTakeBack(), D3DERR_DEVICELOST);
  EXPECT_EQ(ResetAndTakeBack(), D3D_OK);
  EXPECT_EQ(Present(), D3D_OK);

  // A windowed device keeps working in the background.
  Open(kWidth, kHeight, /*windowed=*/true);
  Focus(false);
  EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
  EXPECT_EQ(Present(), D3D_OK);
}

}  // namespace

// A windowed software device on the headless backend, with its back buffer
// and a sprite handler, plus helpers that make textures from pictures and
// read back what Present showed.
#pragma once

#include <gtest/gtest.h>

#include <d3d9.h>
#include <d3dx9.h>

#include <string>
#include <vector>

#include "device_settings.h"
#include "image_files.h"
#include "platform/headless/headless.h"
#include "scratch_folder.h"

class DeviceTest : public ::testing::Test {
 protected:
  static constexpr int kWidth = 16;
  static constexpr int kHeight = 12;

  void SetUp() override {
    headless::reset();
    Open(kWidth, kHeight);
  }

  // A fresh Direct3D object, device, back buffer and sprite handler; a
  // full-screen device wants the backend's window.
  void Open(int width, int height, bool windowed = true, D3DSWAPEFFECT swap_effect = D3DSWAPEFFECT_COPY) {
    Close();
    d3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    parameters = WindowedDeviceSettings(window(), UINT(width), UINT(height));
    parameters.SwapEffect = swap_effect;
    parameters.Windowed = windowed ? TRUE : FALSE;
    D3DPRESENT_PARAMETERS given = parameters;  // the device writes into what it is given
    ASSERT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window(),
                                D3DCREATE_SOFTWARE_VERTEXPROCESSING, &given, &device),
              D3D_OK);
    ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back_buffer), D3D_OK);
    ASSERT_EQ(D3DXCreateSprite(device, &sprite), D3D_OK);
    sprite_device_ = device;
  }

  void TearDown() override { Close(); }

  // Releases the textures the test made through the fixture.
  void ReleaseOwned() {
    for (IUnknown* object : owned_) object->Release();
    owned_.clear();
  }

  void Close() {
    ReleaseOwned();
    if (sprite) sprite->Release();
    if (back_buffer) back_buffer->Release();
    if (device) device->Release();
    if (d3d) d3d->Release();
    sprite = nullptr;
    back_buffer = nullptr;
    device = nullptr;
    d3d = nullptr;
  }

  static HWND window() { return reinterpret_cast<HWND>(0x1000); }

  // Presents and gives the picture shown (0x00RRGGBB).
  Picture Shown() {
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    const headless::Image& image = headless::last_frame();
    return Picture{image.width, image.height, image.pixels};
  }

  void ClearTo(D3DCOLOR colour) {
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, colour, 1.0f, 0), D3D_OK);
  }

  // A texture holding exactly `picture` (through a PNG file), released at
  // the end of the test.
  IDirect3DTexture9* TextureOf(const Picture& picture, D3DCOLOR key = 0) {
    const std::string file = folder.file("texture" + std::to_string(owned_.size()) + ".png");
    write_png(file, picture);
    return LoadTexture(file, key);
  }

  // Loaded as the game loads it: described first, then made at the
  // picture's own size (D3DX_DEFAULT would round it up to a power of two).
  IDirect3DTexture9* LoadTexture(const std::string& file, D3DCOLOR key, D3DXIMAGE_INFO* info = nullptr) {
    D3DXIMAGE_INFO described{};
    EXPECT_EQ(D3DXGetImageInfoFromFileA(file.c_str(), &described), D3D_OK);
    IDirect3DTexture9* texture = nullptr;
    EXPECT_EQ(D3DXCreateTextureFromFileExA(device, file.c_str(), described.Width, described.Height, 1, 0,
                                           D3DFMT_UNKNOWN, D3DPOOL_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, key,
                                           info, nullptr, &texture),
              D3D_OK);
    if (texture) owned_.push_back(texture);
    return texture;
  }

  // Resets the device with a copy of the parameters it was made with (Reset
  // zeroes the back buffer's size in what it is given).
  HRESULT Reset() {
    D3DPRESENT_PARAMETERS given = parameters;
    return device->Reset(&given);
  }

  // One Begin/Draw/End with alpha blending, at the whole-pixel position,
  // inside a scene of its own unless one is open.
  void Draw(IDirect3DTexture9* texture, int x, int y, const RECT* source = nullptr,
            D3DCOLOR colour = 0xFFFFFFFF, DWORD flags = D3DXSPRITE_ALPHABLEND) {
    const D3DXVECTOR3 position(static_cast<float>(x), static_cast<float>(y), 0.0f);
    const bool own_scene = scene_device()->BeginScene() == D3D_OK;
    ASSERT_EQ(sprite->Begin(flags), D3D_OK);
    EXPECT_EQ(sprite->Draw(texture, source, nullptr, &position, colour), D3D_OK);
    ASSERT_EQ(sprite->End(), D3D_OK);
    if (own_scene) {
      EXPECT_EQ(scene_device()->EndScene(), D3D_OK);
    }
  }

  // A picture whose every pixel differs: opaque, colour from its position.
  static Picture Numbered(int width, int height, uint32_t salt = 0) {
    Picture p{width, height, {}};
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x)
        p.pixels.push_back(0xFF000000u | salt | (uint32_t(x) << 8) | uint32_t(y));
    }
    return p;
  }
  // The picture as the back buffer shows it: alpha dropped.
  static std::vector<uint32_t> Rgb(const Picture& picture) {
    std::vector<uint32_t> out;
    for (uint32_t p : picture.pixels) out.push_back(p & 0x00FFFFFF);
    return out;
  }
  static Picture Filled(int width, int height, uint32_t argb) {
    return Picture{width, height, std::vector<uint32_t>(size_t(width) * height, argb)};
  }

  ScratchFolder folder{"quarrelo-d3d9"};
  D3DPRESENT_PARAMETERS parameters{};  // as the device was asked for, for Reset
  // The device sprites draw on, also once the test let go of `device`.
  IDirect3DDevice9* scene_device() {
    if (device != nullptr) sprite_device_ = device;
    return sprite_device_;
  }
  IDirect3D9* d3d = nullptr;
  IDirect3DDevice9* device = nullptr;
  IDirect3DSurface9* back_buffer = nullptr;
  ID3DXSprite* sprite = nullptr;

 private:
  std::vector<IUnknown*> owned_;
  IDirect3DDevice9* sprite_device_ = nullptr;  // not a reference of its own
};

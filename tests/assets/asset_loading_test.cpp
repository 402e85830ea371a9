// Every picture through the platform's D3DX loaders, called as the game's
// image loaders call them, and drawn as the game draws it: backgrounds as
// unkeyed surfaces copied over the back buffer, everything else as textures
// keyed on opaque magenta and drawn with the alpha-blending sprite.
#include <gtest/gtest.h>

#include <d3d9.h>
#include <d3dx9.h>

#include "asset_pictures.h"
#include "device_settings.h"
#include "platform/headless/headless.h"

namespace {

constexpr D3DCOLOR kKey = 0xFFFF00FF;
constexpr uint32_t kClear = 0x000000FF;  // the frame's clear colour

class AssetLoading : public ::testing::Test {
 protected:
  void SetUp() override {
    headless::reset();
    d3d_ = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(d3d_, nullptr);
    D3DPRESENT_PARAMETERS pp = WindowedDeviceSettings(reinterpret_cast<HWND>(0x1000));
    ASSERT_EQ(d3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, pp.hDeviceWindow,
                                 D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp, &device_),
              D3D_OK);
    ASSERT_EQ(device_->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back_buffer_), D3D_OK);
    ASSERT_EQ(D3DXCreateSprite(device_, &sprite_), D3D_OK);
  }

  void TearDown() override {
    if (sprite_) sprite_->Release();
    if (back_buffer_) back_buffer_->Release();
    if (device_) device_->Release();
    if (d3d_) d3d_->Release();
  }

  Picture Shown() {
    EXPECT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    const headless::Image& frame = headless::last_frame();
    Picture p{frame.width, frame.height, frame.pixels};
    for (uint32_t& px : p.pixels) px &= 0xFFFFFF;
    return p;
  }

  IDirect3D9* d3d_ = nullptr;
  IDirect3DDevice9* device_ = nullptr;
  IDirect3DSurface9* back_buffer_ = nullptr;
  ID3DXSprite* sprite_ = nullptr;
};

// The pixels of `drawn` at (0, 0) must be those of the file, with the key's
// pixels showing the clear colour instead.
void ExpectDrawnAsFile(const Picture& shown, const Picture& file, const std::string& name) {
  ASSERT_GT(file.width, 0) << name;
  int wrong = 0;
  for (int y = 0; y < file.height; ++y) {
    for (int x = 0; x < file.width; ++x) {
      const uint32_t want = file.at(x, y) == kKeyRgb ? kClear : file.at(x, y);
      if (shown.at(x, y) != want && ++wrong <= 3)
        ADD_FAILURE() << name << " at " << x << "," << y << ": shown " << std::hex << shown.at(x, y)
                      << ", file " << file.at(x, y);
    }
  }
  EXPECT_EQ(wrong, 0) << name;
}

}  // namespace

TEST_F(AssetLoading, BackgroundsLoadAsSurfacesAndCoverTheBackBuffer) {
  for (const char* name : {"classroom.bmp", "ssfrontmenu.jpg"}) {
    const std::string path = AssetPath(name);
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(D3DXGetImageInfoFromFileA(path.c_str(), &info), D3D_OK) << name;
    EXPECT_EQ(info.Width, 800u);
    EXPECT_EQ(info.Height, 600u);
    IDirect3DSurface9* surface = nullptr;
    ASSERT_EQ(device_->CreateOffscreenPlainSurface(info.Width, info.Height, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT,
                                                   &surface, nullptr),
              D3D_OK);
    EXPECT_EQ(
        D3DXLoadSurfaceFromFileA(surface, nullptr, nullptr, path.c_str(), nullptr, D3DX_DEFAULT, 0, nullptr),
        D3D_OK)
        << name;
    ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000 | kClear, 1.0f, 0), D3D_OK);
    EXPECT_EQ(device_->StretchRect(surface, nullptr, back_buffer_, nullptr, D3DTEXF_NONE), D3D_OK);
    surface->Release();
    ExpectDrawnAsFile(Shown(), Decode(path), name);
  }
}

TEST_F(AssetLoading, SpritesAndScreensLoadAsKeyedTexturesAndDrawWithoutTheKey) {
  for (const std::string& name : kAssetNames) {
    if (name == "classroom.bmp" || name == "ssfrontmenu.jpg" || name.ends_with(".wav")) continue;
    const std::string path = AssetPath(name);
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(D3DXGetImageInfoFromFileA(path.c_str(), &info), D3D_OK) << name;
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileExA(device_, path.c_str(), info.Width, info.Height, 1, 0,
                                           D3DFMT_UNKNOWN, D3DPOOL_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, kKey,
                                           &info, nullptr, &texture),
              D3D_OK)
        << name;
    ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000 | kClear, 1.0f, 0), D3D_OK);
    const D3DXVECTOR3 origin(0, 0, 0);
    ASSERT_EQ(device_->BeginScene(), D3D_OK);
    ASSERT_EQ(sprite_->Begin(D3DXSPRITE_ALPHABLEND), D3D_OK);
    EXPECT_EQ(sprite_->Draw(texture, nullptr, nullptr, &origin, 0xFFFFFFFF), D3D_OK);
    ASSERT_EQ(sprite_->End(), D3D_OK);
    ASSERT_EQ(device_->EndScene(), D3D_OK);
    texture->Release();
    ExpectDrawnAsFile(Shown(), Decode(path), name);
  }
}

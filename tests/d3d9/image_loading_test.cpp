// Image files through D3DX: each format decodes pixel for pixel at its own
// size, the colour key takes exact matches only, and damaged files fail
// with a result code instead of crashing.
#include <sys/stat.h>

#include <cstdio>

#include "device_fixture.h"

namespace {

constexpr uint32_t kMagenta = 0xFFFF00FF;

// Magenta, and colours one step away from it in each channel.
Picture KeyPicture() {
  return Picture{5,
                 2,
                 {kMagenta, 0xFFFE00FF, 0xFFFF01FF, 0xFFFF00FE, 0xFF102030,  //
                  0xFF00FF00, kMagenta, kMagenta, 0xFFFFFFFF, 0xFF000000}};
}

}  // namespace

class ImageLoading : public DeviceTest {
 protected:
  // Draws the texture at (0, 0) over `background` and gives the picture.
  Picture DrawnOver(IDirect3DTexture9* texture, D3DCOLOR background) {
    ClearTo(background);
    Draw(texture, 0, 0);
    return Shown();
  }

  // Every way the game loads a file fails, and leaves no object behind.
  void ExpectRefused(const std::string& file) {
    SCOPED_TRACE(file);
    D3DXIMAGE_INFO info{};
    EXPECT_TRUE(FAILED(D3DXGetImageInfoFromFileA(file.c_str(), &info)));
    IDirect3DSurface9* surface = nullptr;
    ASSERT_EQ(device->CreateOffscreenPlainSurface(4, 4, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &surface, nullptr),
              D3D_OK);
    EXPECT_TRUE(FAILED(D3DXLoadSurfaceFromFileA(surface, nullptr, nullptr, file.c_str(), nullptr,
                                                D3DX_DEFAULT, 0, nullptr)));
    surface->Release();
    IDirect3DTexture9* texture = reinterpret_cast<IDirect3DTexture9*>(0x1);
    EXPECT_TRUE(FAILED(D3DXCreateTextureFromFileExA(device, file.c_str(), 4, 4, 1, 0, D3DFMT_UNKNOWN,
                                                    D3DPOOL_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, kMagenta,
                                                    nullptr, nullptr, &texture)));
    EXPECT_EQ(texture, nullptr);
  }
};

TEST_F(ImageLoading, ColourKeyMakesExactMatchesOnlyTransparent) {
  const std::string file = folder.file("key.bmp");
  write_bmp24(file, KeyPicture());
  const Picture keyed = DrawnOver(LoadTexture(file, kMagenta), D3DCOLOR_XRGB(0, 0, 255));
  std::vector<uint32_t> expected = Rgb(KeyPicture());
  for (uint32_t& p : expected)
    if (p == 0xFF00FF) p = 0x0000FF;
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(keyed.at(x, y), expected[y * 5 + x]) << x << "," << y;

  // Key 0 is no key at all: magenta stays, and black stays too.
  const Picture unkeyed = DrawnOver(LoadTexture(file, 0), D3DCOLOR_XRGB(0, 0, 255));
  EXPECT_EQ(unkeyed.at(0, 0), 0x00FF00FFu);
  EXPECT_EQ(unkeyed.at(4, 1), 0x00000000u);
}

TEST_F(ImageLoading, SurfaceLoadKeepsSizeAndPixelsAndKeyedPixelsTurnBlack) {
  const std::string file = folder.file("key.bmp");
  write_bmp24(file, KeyPicture());
  D3DXIMAGE_INFO info{};
  ASSERT_EQ(D3DXGetImageInfoFromFileA(file.c_str(), &info), D3D_OK);
  EXPECT_EQ(info.Width, 5u);
  EXPECT_EQ(info.Height, 2u);
  EXPECT_EQ(info.ImageFileFormat, D3DXIFF_BMP);
  EXPECT_EQ(info.Format, D3DFMT_R8G8B8);

  IDirect3DSurface9* surface = nullptr;
  ASSERT_EQ(device->CreateOffscreenPlainSurface(info.Width, info.Height, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT,
                                                &surface, nullptr),
            D3D_OK);
  ASSERT_EQ(
      D3DXLoadSurfaceFromFileA(surface, nullptr, nullptr, file.c_str(), nullptr, D3DX_DEFAULT, 0, nullptr),
      D3D_OK);
  ClearTo(0);
  const RECT corner{0, 0, 5, 2};
  ASSERT_EQ(device->StretchRect(surface, nullptr, back_buffer, &corner, D3DTEXF_NONE), D3D_OK);
  Picture shown = Shown();
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(shown.at(x, y), KeyPicture().at(x, y) & 0xFFFFFF);

  ASSERT_EQ(D3DXLoadSurfaceFromFileA(surface, nullptr, nullptr, file.c_str(), nullptr, D3DX_DEFAULT, kMagenta,
                                     nullptr),
            D3D_OK);
  ClearTo(D3DCOLOR_XRGB(9, 9, 9));
  ASSERT_EQ(device->StretchRect(surface, nullptr, back_buffer, &corner, D3DTEXF_NONE), D3D_OK);
  shown = Shown();
  EXPECT_EQ(shown.at(0, 0), 0u);
  EXPECT_EQ(shown.at(1, 0), 0x00FE00FFu);
  surface->Release();
}

TEST_F(ImageLoading, EveryBmpDepthDecodesPixelForPixel) {
  const Picture picture = Numbered(7, 3, 0x00A00000);

  write_bmp24(folder.file("24.bmp"), picture);
  write_bmp32_plain(folder.file("32.bmp"), picture);
  write_bmp32_with_alpha(folder.file("32a.bmp"), picture);
  for (const char* name : {"24.bmp", "32.bmp", "32a.bmp"}) {
    D3DXIMAGE_INFO info{};
    IDirect3DTexture9* texture = LoadTexture(folder.file(name), 0, &info);
    ASSERT_NE(texture, nullptr) << name;
    EXPECT_EQ(info.Width, 7u) << name;
    EXPECT_EQ(info.Height, 3u) << name;
    const Picture shown = DrawnOver(texture, D3DCOLOR_XRGB(0, 0, 255));
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 7; ++x)
        ASSERT_EQ(shown.at(x, y), picture.at(x, y) & 0xFFFFFF) << name << " " << x << "," << y;
    EXPECT_EQ(shown.at(7, 0), 0x000000FFu) << name;
  }

  const std::vector<uint32_t> palette = {0x000000, 0xFF00FF, 0x123456, 0xFEDCBA};
  const std::vector<uint8_t> indices = {0, 1, 2, 3, 3, 2, 1, 0};
  write_bmp8(folder.file("8.bmp"), 4, 2, palette, indices);
  D3DXIMAGE_INFO info{};
  IDirect3DTexture9* texture = LoadTexture(folder.file("8.bmp"), kMagenta, &info);
  ASSERT_NE(texture, nullptr);
  EXPECT_EQ(info.Format, D3DFMT_P8);
  const Picture shown = DrawnOver(texture, D3DCOLOR_XRGB(0, 255, 0));
  for (int i = 0; i < 8; ++i) {
    const uint32_t colour = palette[indices[i]] == 0xFF00FF ? 0x00FF00 : palette[indices[i]];
    EXPECT_EQ(shown.at(i % 4, i / 4), colour) << i;
  }
}

TEST_F(ImageLoading, PngKeepsItsAlphaAndJpegItsPicture) {
  Picture png{3, 1, {0x00FF0000, 0x80FF0000, 0xFFFF0000}};
  write_png(folder.file("a.png"), png);
  D3DXIMAGE_INFO info{};
  IDirect3DTexture9* texture = LoadTexture(folder.file("a.png"), kMagenta, &info);
  ASSERT_NE(texture, nullptr);
  EXPECT_EQ(info.ImageFileFormat, D3DXIFF_PNG);
  EXPECT_EQ(info.Format, D3DFMT_A8R8G8B8);
  Picture shown = DrawnOver(texture, D3DCOLOR_XRGB(0, 0, 255));
  EXPECT_EQ(shown.at(0, 0), 0x000000FFu);
  EXPECT_EQ(shown.at(1, 0), 0x0080007Fu);
  EXPECT_EQ(shown.at(2, 0), 0x00FF0000u);

  // Flat blocks survive JPEG's loss within a few steps (away from their
  // border, where the decoder's colour upsampling mixes them).
  Picture blocks{32, 16, {}};
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 32; ++x) blocks.pixels.push_back(x < 16 ? 0xFFC03010 : 0xFF20A0E0);
  write_jpg(folder.file("b.jpg"), blocks, 95);
  texture = LoadTexture(folder.file("b.jpg"), 0, &info);
  ASSERT_NE(texture, nullptr);
  EXPECT_EQ(info.ImageFileFormat, D3DXIFF_JPG);
  EXPECT_EQ(info.Width, 32u);
  EXPECT_EQ(info.Height, 16u);
  Open(40, 20);
  shown = DrawnOver(LoadTexture(folder.file("b.jpg"), 0), D3DCOLOR_XRGB(0, 0, 0));
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 32; ++x) {
      if (x >= 13 && x <= 18) continue;
      const uint32_t want = blocks.at(x, y);
      const uint32_t got = shown.at(x, y);
      for (int shift : {0, 8, 16}) {
        EXPECT_NEAR(int((got >> shift) & 0xFF), int((want >> shift) & 0xFF), 6) << x << "," << y;
      }
    }
  }
  EXPECT_EQ(shown.at(0, 16), 0u);  // nothing beyond the image
  EXPECT_EQ(shown.at(32, 0), 0u);
}

TEST_F(ImageLoading, MissingTruncatedAndGarbageFilesFailWithoutCrashing) {
  ExpectRefused(folder.file("missing.bmp"));
  ExpectRefused(folder.file(""));  // the folder itself
  // A named pipe nobody writes to is refused at once rather than waited on.
  ASSERT_EQ(mkfifo(folder.file("pipe.bmp").c_str(), 0600), 0);
  ExpectRefused(folder.file("pipe.bmp"));
  std::remove(folder.file("pipe.bmp").c_str());
  write_bytes(folder.file("empty.png"), "");
  ExpectRefused(folder.file("empty.png"));
  std::string noise;
  for (int i = 0; i < 4096; ++i) noise.push_back(static_cast<char>((i * 7919 + 13) >> 3));
  write_bytes(folder.file("noise.jpg"), noise);
  ExpectRefused(folder.file("noise.jpg"));
  write_bytes(folder.file("bm.bmp"), "BM" + noise);
  ExpectRefused(folder.file("bm.bmp"));

  // A BMP header that promises a huge picture with no pixels behind it.
  std::string huge = read_bytes([&] {
    write_bmp24(folder.file("one.bmp"), Picture{1, 1, {0xFFFFFFFF}});
    return folder.file("one.bmp");
  }());
  for (int i = 0; i < 4; ++i) huge[18 + i] = huge[22 + i] = static_cast<char>(i == 3 ? 0x7F : 0xFF);
  write_bytes(folder.file("huge.bmp"), huge);
  ExpectRefused(folder.file("huge.bmp"));

  // Each format cut short.
  const Picture picture = Numbered(64, 48, 0x00300000);
  write_bmp24(folder.file("whole.bmp"), picture);
  write_png(folder.file("whole.png"), picture);
  write_jpg(folder.file("whole.jpg"), picture, 90);
  for (const char* name : {"whole.bmp", "whole.png", "whole.jpg"}) {
    const std::string bytes = read_bytes(folder.file(name));
    ASSERT_GT(bytes.size(), 100u);
    const std::string cut = folder.file(std::string("cut-") + name);
    write_bytes(cut, bytes.substr(0, bytes.size() / 2));
    ExpectRefused(cut);
    write_bytes(cut, bytes.substr(0, 20));
    ExpectRefused(cut);
  }
}

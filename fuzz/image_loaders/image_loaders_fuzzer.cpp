// libFuzzer target: arbitrary bytes as an image file, loaded the ways the
// game loads its pictures on a software device: the file's description,
// then an off-screen surface of that size filled from the file, then a
// colour-keyed texture of the file's size, then one of a default size. The
// first input byte picks the file's extension (.bmp, .png or .jpg) and the
// colour key; the rest is the file. Besides crashes, leaks and reads out of
// bounds, a loader that accepts a file its description refuses (or the
// reverse), or a texture whose size differs from the description, is a
// failure. Every pixel of the texture is read, and drawn through a
// sprite onto the back buffer at a place taken from the input.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <d3d9.h>
#include <d3dx9.h>

#include "device_settings.h"
#include "platform/d3d9/pixel_resources.h"
#include "platform/headless/headless.h"
#include "scratch_folder.h"

namespace {

struct Device {
  IDirect3D9* d3d = nullptr;
  IDirect3DDevice9* device = nullptr;
  ID3DXSprite* sprite = nullptr;
};

Device& device() {
  static Device d = [] {
    Device made;
    made.d3d = Direct3DCreate9(D3D_SDK_VERSION);
    D3DPRESENT_PARAMETERS pp = WindowedDeviceSettings(reinterpret_cast<HWND>(0x1000));
    if (made.d3d == nullptr ||
        made.d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, pp.hDeviceWindow,
                               D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp, &made.device) != D3D_OK ||
        D3DXCreateSprite(made.device, &made.sprite) != D3D_OK) {
      std::fprintf(stderr, "image_loaders: no software device\n");
      std::abort();
    }
    return made;
  }();
  return d;
}

void fail(const char* what, const D3DXIMAGE_INFO& info) {
  std::fprintf(stderr, "image_loaders: %s (file described as %ux%u)\n", what, info.Width, info.Height);
  std::abort();
}

// Reads every pixel of the texture.
uint32_t checksum(IDirect3DTexture9* texture) {
  const d3d9sw::PixelView view = d3d9sw::as_texture(texture)->view();
  uint32_t sum = 0;
  for (int y = 0; y < view.height; ++y) {
    for (int x = 0; x < view.width; ++x) sum = sum * 31 + view.pixels[y * view.pitch + x];
  }
  return sum;
}

void draw(IDirect3DTexture9* texture, float x, float y) {
  Device& d = device();
  const D3DXVECTOR3 position(x, y, 0);
  d.device->BeginScene();
  d.sprite->Begin(D3DXSPRITE_ALPHABLEND);
  d.sprite->Draw(texture, nullptr, nullptr, &position, 0xFFFFFFFF);
  d.sprite->End();
  d.device->EndScene();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  headless::echo_debug_output(false);
  headless::keep_last_frame(false);
  device();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static const char* const kExtensions[] = {".bmp", ".png", ".jpg"};
  // The game's two keys (magenta and black) and none.
  static const D3DCOLOR kKeys[] = {0xFFFF00FF, 0xFF000000, 0};
  const char* extension = kExtensions[data[0] % 3];
  const D3DCOLOR key = kKeys[(data[0] / 3) % 3];
  static const ScratchFolder folder("quarrelo-image-fuzz");
  const std::string path = folder.file(std::string("input") + extension);
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return 0;
  std::fwrite(data + 1, 1, size - 1, file);
  std::fclose(file);

  Device& d = device();
  D3DXIMAGE_INFO info{};
  const bool described = D3DXGetImageInfoFromFileA(path.c_str(), &info) == D3D_OK;

  if (described) {
    IDirect3DSurface9* surface = nullptr;
    if (d.device->CreateOffscreenPlainSurface(info.Width, info.Height, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT,
                                              &surface, nullptr) == D3D_OK) {
      if (D3DXLoadSurfaceFromFileA(surface, nullptr, nullptr, path.c_str(), nullptr, D3DX_DEFAULT, key,
                                   nullptr) != D3D_OK) {
        fail("the surface loader refused a file it described", info);
      }
      surface->Release();
    }
  }

  IDirect3DTexture9* texture = nullptr;
  D3DXIMAGE_INFO texture_info{};
  const UINT width = described ? info.Width : D3DX_DEFAULT;
  const UINT height = described ? info.Height : D3DX_DEFAULT;
  const bool loaded = D3DXCreateTextureFromFileExA(
                          d.device, path.c_str(), width, height, 1, 0, D3DFMT_UNKNOWN, D3DPOOL_DEFAULT,
                          D3DX_DEFAULT, D3DX_DEFAULT, key, &texture_info, nullptr, &texture) == D3D_OK;
  if (loaded != described) fail("the texture loader and the description disagree", info);
  if (loaded) {
    const d3d9sw::Texture* made = d3d9sw::as_texture(texture);
    if (made->width() != static_cast<int>(info.Width) || made->height() != static_cast<int>(info.Height) ||
        texture_info.Width != info.Width || texture_info.Height != info.Height) {
      fail("the texture's size differs from the description", info);
    }
    volatile uint32_t sum = checksum(texture);
    (void)sum;
    const uint8_t at = size > 1 ? data[size - 1] : 0;
    draw(texture, static_cast<float>(at * 4) - 200.0f, static_cast<float>(at * 3) - 150.0f);
    texture->Release();

    // A texture of a size of its own: the picture is stretched into it.
    IDirect3DTexture9* square = nullptr;
    if (D3DXCreateTextureFromFileExA(d.device, path.c_str(), 64, 32, D3DX_DEFAULT, 0, D3DFMT_A8R8G8B8,
                                     D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, key, nullptr, nullptr,
                                     &square) != D3D_OK) {
      fail("a texture of a set size was refused", info);
    }
    if (d3d9sw::as_texture(square)->width() != 64 || d3d9sw::as_texture(square)->height() != 32) {
      fail("a texture of a set size came out another size", info);
    }
    volatile uint32_t square_sum = checksum(square);
    (void)square_sum;
    square->Release();
  }

  std::remove(path.c_str());
  headless::clear_debug_output();
  return 0;
}

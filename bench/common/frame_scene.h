// One game-like frame, drawn two ways: on the software Direct3D device (a
// clear, two full-screen 800x600 copies, the game's nineteen alpha-blended
// sprite draws at their sizes and places) and the same draws on SDL2's own
// software renderer. The pictures are made in memory, written as PNG files
// for the device (it loads files) and kept as SDL surfaces for SDL.
#pragma once

#include <SDL.h>
#include <SDL_image.h>
#include <stdlib.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <d3d9.h>
#include <d3dx9.h>

#include "device_settings.h"
#include "scratch_folder.h"

namespace frame_scene {

inline constexpr int kWidth = 800;
inline constexpr int kHeight = 600;

// A sprite picture: a sheet of `cell_w` x `cell_h` cells, each a figure
// (an opaque ellipse with a one-pixel soft edge) on a see-through ground,
// or fully opaque for the full-screen pictures.
struct Sheet {
  int width;
  int height;
  int cell_w;
  int cell_h;
  bool opaque;
};

inline std::vector<uint32_t> sheet_pixels(const Sheet& sheet, uint32_t seed) {
  std::vector<uint32_t> pixels(size_t(sheet.width) * sheet.height);
  for (int y = 0; y < sheet.height; ++y) {
    for (int x = 0; x < sheet.width; ++x) {
      const uint32_t colour = ((x * 7 + seed) & 0xFF) << 16 | ((y * 5 + seed) & 0xFF) << 8 | ((x ^ y) & 0xFF);
      uint32_t alpha = 255;
      if (!sheet.opaque) {
        const double cx = (x % sheet.cell_w + 0.5) / sheet.cell_w * 2 - 1;
        const double cy = (y % sheet.cell_h + 0.5) / sheet.cell_h * 2 - 1;
        const double r = std::sqrt(cx * cx + cy * cy) * sheet.cell_w / 2;  // in pixels, roughly
        const double edge = sheet.cell_w / 2.0 * 0.8;
        alpha = r < edge - 1 ? 255 : r > edge ? 0 : 128;
      }
      pixels[size_t(y) * sheet.width + x] = alpha << 24 | colour;
    }
  }
  return pixels;
}

struct DrawCall {
  int sheet;
  RECT source;  // right == 0: whole picture
  int x;
  int y;
};

// The game's pictures and its drawing order, at start-of-duel places with
// every sprite visible.
inline constexpr Sheet kSheets[] = {
    {800, 600, 800, 600, true},   // 0 credits
    {800, 600, 800, 600, true},   // 1 help
    {54, 36, 54, 36, false},      // 2 cursor
    {160, 64, 160, 64, false},    // 3 right name
    {124, 72, 124, 72, false},    // 4 left name
    {144, 60, 24, 60, false},     // 5 score digits
    {128, 64, 128, 64, false},    // 6 desk
    {448, 256, 56, 64, false},    // 7 fighter sheet
    {256, 32, 32, 32, false},     // 8 airplane sheet
    {280, 256, 280, 256, false},  // 9 banner
};
inline constexpr DrawCall kDraws[] = {
    {0, {}, 0, 0},
    {1, {}, 0, 0},
    {2, {}, 525, 173},
    {3, {}, 470, 18},
    {4, {}, 130, 13},
    {5, {48, 0, 72, 60}, 660, 24},
    {5, {24, 0, 48, 60}, 280, 24},
    {6, {0, 0, 128, 64}, 125, 300},
    {6, {0, 0, 128, 64}, 575, 300},
    {6, {0, 0, 128, 64}, 350, 200},
    {6, {0, 0, 128, 64}, 350, 425},
    {7, {0, 64, 56, 128}, 744, 300},
    {7, {224, 128, 280, 192}, 50, 300},
    {8, {128, 0, 160, 32}, 300, 150},
    {8, {0, 0, 32, 32}, 500, 420},
    {9, {}, 290, 250},
    {9, {}, 285, 250},
    {9, {}, 285, 250},
    {9, {}, 285, 250},
};
inline constexpr int kSheetCount = sizeof(kSheets) / sizeof(kSheets[0]);

inline SDL_Surface* surface_of(const std::vector<uint32_t>& pixels, int width, int height) {
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
  for (int y = 0; y < height; ++y) {
    std::memcpy(static_cast<char*>(surface->pixels) + y * surface->pitch, &pixels[size_t(y) * width],
                width * 4);
  }
  return surface;
}

// The pictures as PNG files (the device loads files) and as SDL surfaces.
struct Pictures {
  ScratchFolder scratch{"quarrelo-frame"};
  std::string folder = scratch.path();
  std::vector<std::string> sheet_files;
  std::string background_files[2];
  std::vector<SDL_Surface*> sheets;
  SDL_Surface* backgrounds[2] = {nullptr, nullptr};

  Pictures() {
    for (int i = 0; i < kSheetCount; ++i) {
      sheets.push_back(surface_of(sheet_pixels(kSheets[i], 17 * i), kSheets[i].width, kSheets[i].height));
      sheet_files.push_back(folder + "/sheet" + std::to_string(i) + ".png");
      IMG_SavePNG(sheets.back(), sheet_files.back().c_str());
    }
    for (int i = 0; i < 2; ++i) {
      backgrounds[i] =
          surface_of(sheet_pixels({kWidth, kHeight, kWidth, kHeight, true}, 99 + i), kWidth, kHeight);
      background_files[i] = folder + "/background" + std::to_string(i) + ".png";
      IMG_SavePNG(backgrounds[i], background_files[i].c_str());
    }
  }
  ~Pictures() {
    for (SDL_Surface* s : sheets) SDL_FreeSurface(s);
    for (SDL_Surface* s : backgrounds) SDL_FreeSurface(s);
  }
  Pictures(const Pictures&) = delete;
  Pictures& operator=(const Pictures&) = delete;
};

inline Pictures& pictures() {
  static Pictures p;
  return p;
}

// The frame on the software Direct3D device. `ready` is false when the
// device or a picture could not be made.
class DeviceFrame {
 public:
  DeviceFrame() {
    Pictures& pics = pictures();
    d3d_ = Direct3DCreate9(D3D_SDK_VERSION);
    D3DPRESENT_PARAMETERS pp = WindowedDeviceSettings(reinterpret_cast<HWND>(0x1000), kWidth, kHeight);
    if (d3d_ == nullptr ||
        d3d_->CreateDevice(0, D3DDEVTYPE_HAL, pp.hDeviceWindow, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp,
                           &device_) != D3D_OK ||
        device_->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back_buffer_) != D3D_OK ||
        D3DXCreateSprite(device_, &sprite_) != D3D_OK) {
      return;
    }
    for (int i = 0; i < 2; ++i) {
      if (device_->CreateOffscreenPlainSurface(kWidth, kHeight, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT,
                                               &backgrounds_[i], nullptr) != D3D_OK ||
          D3DXLoadSurfaceFromFileA(backgrounds_[i], nullptr, nullptr, pics.background_files[i].c_str(),
                                   nullptr, D3DX_DEFAULT, 0, nullptr) != D3D_OK) {
        return;
      }
    }
    textures_.assign(kSheetCount, nullptr);
    for (int i = 0; i < kSheetCount; ++i) {
      // At the picture's own size, as the game asks (D3DX_DEFAULT would
      // round it up to a power of two).
      D3DXIMAGE_INFO info{};
      if (D3DXGetImageInfoFromFileA(pics.sheet_files[i].c_str(), &info) != D3D_OK ||
          D3DXCreateTextureFromFileExA(device_, pics.sheet_files[i].c_str(), info.Width, info.Height, 1, 0,
                                       D3DFMT_UNKNOWN, D3DPOOL_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT,
                                       0xFFFF00FF, nullptr, nullptr, &textures_[i]) != D3D_OK) {
        return;
      }
    }
    ready_ = true;
  }
  ~DeviceFrame() {
    for (IDirect3DTexture9* t : textures_)
      if (t) t->Release();
    for (IDirect3DSurface9* s : backgrounds_)
      if (s) s->Release();
    if (sprite_) sprite_->Release();
    if (back_buffer_) back_buffer_->Release();
    if (device_) device_->Release();
    if (d3d_) d3d_->Release();
  }
  DeviceFrame(const DeviceFrame&) = delete;
  DeviceFrame& operator=(const DeviceFrame&) = delete;

  bool ready() const { return ready_; }

  void draw() {
    D3DXVECTOR3 position(0, 0, 0);
    device_->BeginScene();
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
    device_->StretchRect(backgrounds_[0], nullptr, back_buffer_, nullptr, D3DTEXF_NONE);
    device_->StretchRect(backgrounds_[1], nullptr, back_buffer_, nullptr, D3DTEXF_NONE);
    sprite_->Begin(D3DXSPRITE_ALPHABLEND);
    for (const DrawCall& call : kDraws) {
      position.x = static_cast<float>(call.x);
      position.y = static_cast<float>(call.y);
      sprite_->Draw(textures_[call.sheet], call.source.right ? &call.source : nullptr, nullptr, &position,
                    0xFFFFFFFF);
    }
    sprite_->End();
    device_->EndScene();
  }

 private:
  bool ready_ = false;
  IDirect3D9* d3d_ = nullptr;
  IDirect3DDevice9* device_ = nullptr;
  IDirect3DSurface9* back_buffer_ = nullptr;
  ID3DXSprite* sprite_ = nullptr;
  IDirect3DSurface9* backgrounds_[2] = {nullptr, nullptr};
  std::vector<IDirect3DTexture9*> textures_;
};

// The same frame on SDL2's software renderer drawing into an ARGB surface.
class SdlFrame {
 public:
  SdlFrame() {
    Pictures& pics = pictures();
    target_ = SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, 32, SDL_PIXELFORMAT_ARGB8888);
    renderer_ = target_ ? SDL_CreateSoftwareRenderer(target_) : nullptr;
    if (renderer_ == nullptr) return;
    for (int i = 0; i < 2; ++i) {
      backgrounds_[i] = SDL_CreateTextureFromSurface(renderer_, pics.backgrounds[i]);
      SDL_SetTextureBlendMode(backgrounds_[i], SDL_BLENDMODE_NONE);
    }
    for (SDL_Surface* sheet : pics.sheets) {
      textures_.push_back(SDL_CreateTextureFromSurface(renderer_, sheet));
      SDL_SetTextureBlendMode(textures_.back(), SDL_BLENDMODE_BLEND);
    }
  }
  ~SdlFrame() {
    for (SDL_Texture* t : textures_) SDL_DestroyTexture(t);
    for (SDL_Texture* t : backgrounds_)
      if (t) SDL_DestroyTexture(t);
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (target_) SDL_FreeSurface(target_);
  }
  SdlFrame(const SdlFrame&) = delete;
  SdlFrame& operator=(const SdlFrame&) = delete;

  bool ready() const { return renderer_ != nullptr; }

  void draw() {
    SDL_SetRenderDrawColor(renderer_, 0, 0, 255, 255);
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, backgrounds_[0], nullptr, nullptr);
    SDL_RenderCopy(renderer_, backgrounds_[1], nullptr, nullptr);
    for (const DrawCall& call : kDraws) {
      const Sheet& sheet = kSheets[call.sheet];
      SDL_Rect source{0, 0, sheet.width, sheet.height};
      if (call.source.right) {
        source = SDL_Rect{call.source.left, call.source.top, call.source.right - call.source.left,
                          call.source.bottom - call.source.top};
      }
      const SDL_Rect dest{call.x, call.y, source.w, source.h};
      SDL_RenderCopy(renderer_, textures_[call.sheet], &source, &dest);
    }
    SDL_RenderFlush(renderer_);
  }

 private:
  SDL_Surface* target_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* backgrounds_[2] = {nullptr, nullptr};
  std::vector<SDL_Texture*> textures_;
};

}  // namespace frame_scene

// One game-like frame on the software Direct3D device against SDL2's own
// software renderer doing the same work in the same process: a clear, two
// full-screen 800x600 copies and the game's nineteen alpha-blended sprite
// draws at their sizes and places. Prints ours / SDL's time per frame;
// the aim is at most 0.7.
#include <SDL.h>
#include <SDL_image.h>
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <d3d9.h>
#include <d3dx9.h>

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

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

std::vector<uint32_t> sheet_pixels(const Sheet& sheet, uint32_t seed) {
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
const Sheet kSheets[] = {
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
const DrawCall kDraws[] = {
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
constexpr int kSheetCount = sizeof(kSheets) / sizeof(kSheets[0]);

SDL_Surface* surface_of(const std::vector<uint32_t>& pixels, int width, int height) {
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
  for (int y = 0; y < height; ++y) {
    std::memcpy(static_cast<char*>(surface->pixels) + y * surface->pitch, &pixels[size_t(y) * width],
                width * 4);
  }
  return surface;
}

// The pictures as PNG files (our device loads files) and as SDL surfaces.
struct Pictures {
  std::string folder;
  std::vector<std::string> sheet_files;
  std::string background_files[2];
  std::vector<SDL_Surface*> sheets;
  SDL_Surface* backgrounds[2] = {nullptr, nullptr};

  Pictures() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quarrelo-frame-XXXXXX").string();
    folder = mkdtemp(pattern.data()) ? pattern : ".";
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
    std::error_code ignored;
    if (folder != ".") std::filesystem::remove_all(folder, ignored);
  }
};

Pictures& pictures() {
  static Pictures p;
  return p;
}

void BM_FrameOnOurDevice(benchmark::State& state) {
  Pictures& pics = pictures();
  IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
  D3DPRESENT_PARAMETERS pp{};
  pp.BackBufferWidth = kWidth;
  pp.BackBufferHeight = kHeight;
  pp.BackBufferFormat = D3DFMT_X8R8G8B8;
  pp.BackBufferCount = 1;
  pp.SwapEffect = D3DSWAPEFFECT_COPY;
  pp.hDeviceWindow = reinterpret_cast<HWND>(0x1000);
  pp.Windowed = TRUE;
  IDirect3DDevice9* device = nullptr;
  IDirect3DSurface9* back_buffer = nullptr;
  ID3DXSprite* sprite = nullptr;
  if (d3d == nullptr ||
      d3d->CreateDevice(0, D3DDEVTYPE_HAL, pp.hDeviceWindow, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp,
                        &device) != D3D_OK ||
      device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back_buffer) != D3D_OK ||
      D3DXCreateSprite(device, &sprite) != D3D_OK) {
    state.SkipWithError("no device");
    return;
  }
  IDirect3DSurface9* backgrounds[2] = {};
  for (int i = 0; i < 2; ++i) {
    device->CreateOffscreenPlainSurface(kWidth, kHeight, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &backgrounds[i],
                                        nullptr);
    D3DXLoadSurfaceFromFileA(backgrounds[i], nullptr, nullptr, pics.background_files[i].c_str(), nullptr,
                             D3DX_DEFAULT, 0, nullptr);
  }
  std::vector<IDirect3DTexture9*> textures(kSheetCount, nullptr);
  for (int i = 0; i < kSheetCount; ++i) {
    if (D3DXCreateTextureFromFileExA(device, pics.sheet_files[i].c_str(), D3DX_DEFAULT, D3DX_DEFAULT, 1, 0,
                                     D3DFMT_UNKNOWN, D3DPOOL_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0xFFFF00FF,
                                     nullptr, nullptr, &textures[i]) != D3D_OK) {
      state.SkipWithError("texture not loaded");
      return;
    }
  }

  D3DXVECTOR3 position(0, 0, 0);
  for (auto _ : state) {
    device->BeginScene();
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
    device->StretchRect(backgrounds[0], nullptr, back_buffer, nullptr, D3DTEXF_NONE);
    device->StretchRect(backgrounds[1], nullptr, back_buffer, nullptr, D3DTEXF_NONE);
    sprite->Begin(D3DXSPRITE_ALPHABLEND);
    for (const DrawCall& draw : kDraws) {
      position.x = static_cast<float>(draw.x);
      position.y = static_cast<float>(draw.y);
      sprite->Draw(textures[draw.sheet], draw.source.right ? &draw.source : nullptr, nullptr, &position,
                   0xFFFFFFFF);
    }
    sprite->End();
    device->EndScene();
    benchmark::ClobberMemory();
  }

  for (IDirect3DTexture9* t : textures) t->Release();
  for (IDirect3DSurface9* s : backgrounds) s->Release();
  sprite->Release();
  back_buffer->Release();
  device->Release();
  d3d->Release();
}

void BM_FrameOnSdlSoftwareRenderer(benchmark::State& state) {
  Pictures& pics = pictures();
  SDL_Surface* target = SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, 32, SDL_PIXELFORMAT_ARGB8888);
  SDL_Renderer* renderer = target ? SDL_CreateSoftwareRenderer(target) : nullptr;
  if (renderer == nullptr) {
    state.SkipWithError(SDL_GetError());
    return;
  }
  SDL_Texture* backgrounds[2];
  for (int i = 0; i < 2; ++i) {
    backgrounds[i] = SDL_CreateTextureFromSurface(renderer, pics.backgrounds[i]);
    SDL_SetTextureBlendMode(backgrounds[i], SDL_BLENDMODE_NONE);
  }
  std::vector<SDL_Texture*> textures;
  for (SDL_Surface* sheet : pics.sheets) {
    textures.push_back(SDL_CreateTextureFromSurface(renderer, sheet));
    SDL_SetTextureBlendMode(textures.back(), SDL_BLENDMODE_BLEND);
  }

  for (auto _ : state) {
    SDL_SetRenderDrawColor(renderer, 0, 0, 255, 255);
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, backgrounds[0], nullptr, nullptr);
    SDL_RenderCopy(renderer, backgrounds[1], nullptr, nullptr);
    for (const DrawCall& draw : kDraws) {
      const Sheet& sheet = kSheets[draw.sheet];
      SDL_Rect source{0, 0, sheet.width, sheet.height};
      if (draw.source.right) {
        source = SDL_Rect{draw.source.left, draw.source.top, draw.source.right - draw.source.left,
                          draw.source.bottom - draw.source.top};
      }
      const SDL_Rect dest{draw.x, draw.y, source.w, source.h};
      SDL_RenderCopy(renderer, textures[draw.sheet], &source, &dest);
    }
    SDL_RenderFlush(renderer);
    benchmark::ClobberMemory();
  }

  for (SDL_Texture* t : textures) SDL_DestroyTexture(t);
  for (SDL_Texture* t : backgrounds) SDL_DestroyTexture(t);
  SDL_DestroyRenderer(renderer);
  SDL_FreeSurface(target);
}

BENCHMARK(BM_FrameOnOurDevice)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FrameOnSdlSoftwareRenderer)->Unit(benchmark::kMicrosecond);

// Keeps each benchmark's processor time per iteration for the ratio line
// (steadier than wall time on a shared machine).
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration && run.iterations > 0 && !run.error_occurred) {
        seconds[run.run_name.function_name] = run.cpu_accumulated_time / static_cast<double>(run.iterations);
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> seconds;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto ours = reporter.seconds.find("BM_FrameOnOurDevice");
  const auto sdl = reporter.seconds.find("BM_FrameOnSdlSoftwareRenderer");
  if (ours != reporter.seconds.end() && sdl != reporter.seconds.end() && sdl->second > 0) {
    std::printf("frame time, ours / SDL software renderer: %.2f (target at most 0.70)\n",
                ours->second / sdl->second);
  }
  benchmark::Shutdown();
  return 0;
}

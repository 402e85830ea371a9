// The browser build's image decoder (stb_image, image_decoder_stb.cpp), run
// here natively beside SDL2_image, the Linux build's: the game's pictures
// come out the same (a JPEG within a few levels) and with the same
// description, and a CMYK JPEG in its true colours. The file rules (sizes,
// damaged and cut files) are the D3DX tests' own, image_loading_test.cpp,
// built a second time against this decoder.
#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "files_and_tools.h"
#include "image_files.h"
#include "platform/d3d9/image_file.h"
#include "scratch_folder.h"

namespace {

// The largest difference in a channel that one JPEG decoder's picture may
// show against another's (upsampling and inverse transform differ).
constexpr int kJpegLevels = 4;

int Channel(uint32_t pixel, int shift) { return static_cast<int>((pixel >> shift) & 0xFF); }

// A file as the loaders read it: its description and its pixels.
struct Read {
  D3DXIMAGE_INFO info{};
  bool has_alpha = false;
  std::vector<uint32_t> pixels;
};

Read ReadFile(const std::string& path) {
  Read read;
  d3d9sw::ImageFile file;
  EXPECT_EQ(file.open(path.c_str()), D3D_OK) << path;
  if (::testing::Test::HasFailure()) return read;
  read.info = file.info();
  read.has_alpha = file.has_alpha();
  read.pixels.resize(static_cast<size_t>(file.width()) * static_cast<size_t>(file.height()));
  file.write(d3d9sw::PixelView{read.pixels.data(), file.width(), file.height(), file.width()}, 0);
  return read;
}

}  // namespace

TEST(StbDecoder, GamePicturesMatchSdlImage) {
  for (const auto& entry :
       std::filesystem::directory_iterator(std::string(QUARRELO_SOURCE_DIR) + "/assets")) {
    const std::string path = entry.path().string();
    const std::string kind = entry.path().extension().string();
    if (kind != ".bmp" && kind != ".png" && kind != ".jpg") continue;
    SCOPED_TRACE(path);
    const Read ours = ReadFile(path);
    ASSERT_FALSE(HasFailure());
    const int width = static_cast<int>(ours.info.Width), height = static_cast<int>(ours.info.Height);
    SDL_Surface* loaded = IMG_Load(path.c_str());
    ASSERT_NE(loaded, nullptr);
    const bool sdl_alpha = loaded->format->Amask != 0 || SDL_HasColorKey(loaded);
    SDL_Surface* theirs = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(loaded);
    ASSERT_NE(theirs, nullptr);
    ASSERT_EQ(width, theirs->w);
    ASSERT_EQ(height, theirs->h);
    EXPECT_EQ(ours.has_alpha, sdl_alpha);
    const bool jpeg = ours.info.ImageFileFormat == D3DXIFF_JPG;
    EXPECT_EQ(ours.info.Format, jpeg                                 ? D3DFMT_X8R8G8B8
                                : entry.path().extension() == ".bmp" ? D3DFMT_R8G8B8
                                                                     : D3DFMT_X8R8G8B8);
    int worst = 0;
    for (int y = 0; y < height; ++y) {
      const auto* row =
          reinterpret_cast<const uint32_t*>(static_cast<const char*>(theirs->pixels) + y * theirs->pitch);
      for (int x = 0; x < width; ++x) {
        const uint32_t a = ours.pixels[static_cast<size_t>(y) * width + x], b = row[x];
        for (int shift : {0, 8, 16, 24})
          worst = std::max(worst, std::abs(Channel(a, shift) - Channel(b, shift)));
      }
    }
    SDL_FreeSurface(theirs);
    EXPECT_LE(worst, jpeg ? kJpegLevels : 0);
    std::cout << entry.path().filename().string() << ": at most " << worst << " levels apart\n";
  }
}

// ImageMagick writes a CMYK JPEG as Photoshop does: four components, the
// inks stored inverted, told by Adobe's marker.
TEST(StbDecoder, CmykJpegComesOutInItsColoursAndOpaque) {
  if (!on_path("convert")) GTEST_SKIP() << "ImageMagick's convert is missing (scripts/setup installs it)";
  const ScratchFolder folder("quarrelo-cmyk");
  const uint32_t colours[3] = {0xFFC83214, 0xFF28B450, 0xFF1E3CDC};
  Picture blocks{48, 16, {}};
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 48; ++x) blocks.pixels.push_back(colours[x / 16]);
  write_png(folder.file("rgb.png"), blocks);
  const std::string convert = "convert '" + folder.file("rgb.png") + "' -colorspace CMYK -quality 100 '" +
                              folder.file("cmyk.jpg") + "'";
  ASSERT_EQ(std::system(convert.c_str()), 0);
  const std::string bytes = read_bytes(folder.file("cmyk.jpg"));
  ASSERT_NE(bytes.find("Adobe"), std::string::npos) << "not a CMYK JPEG with Adobe's marker";

  const Read image = ReadFile(folder.file("cmyk.jpg"));
  ASSERT_EQ(image.info.Width, 48u);
  EXPECT_FALSE(image.has_alpha);
  for (int block = 0; block < 3; ++block) {
    const uint32_t got = image.pixels[8 * 48 + block * 16 + 8];
    EXPECT_EQ(got >> 24, 0xFFu) << block;
    for (int shift : {0, 8, 16})
      EXPECT_NEAR(Channel(got, shift), Channel(colours[block], shift), kJpegLevels) << block << " " << shift;
  }
}

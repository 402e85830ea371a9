// The image seeds are what they claim to be: each decodes (or is refused)
// as its name says, with the size and file kind it was made with, whatever
// extension the target's first byte gives it. A seed that stopped decoding
// would leave the fuzzer without a start inside that decoder.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <string>

#include <d3d9.h>
#include <d3dx9.h>

#include "corpus_replay.h"
#include "scratch_folder.h"

namespace {

struct Expected {
  bool decodes;
  D3DXIMAGE_FILEFORMAT kind;
  UINT width;
  UINT height;
};

const std::map<std::string, Expected>& ExpectedSeeds() {
  static const std::map<std::string, Expected> seeds = {
      {"bmp16_565", {true, D3DXIFF_BMP, 6, 5}},
      {"bmp1_two_colours", {true, D3DXIFF_BMP, 8, 4}},
      {"bmp24_magenta_key", {true, D3DXIFF_BMP, 8, 6}},
      {"bmp24_top_down", {true, D3DXIFF_BMP, 8, 6}},
      {"bmp24_too_wide_declared", {false, D3DXIFF_BMP, 0, 0}},
      {"bmp24_widest_declared", {false, D3DXIFF_BMP, 0, 0}},  // rows missing
      {"bmp32_alpha", {true, D3DXIFF_BMP, 5, 4}},
      {"bmp32_plain_black_key", {true, D3DXIFF_BMP, 4, 4}},
      {"bmp8_palette", {true, D3DXIFF_BMP, 7, 5}},
      {"bmp8_rle", {true, D3DXIFF_BMP, 8, 4}},
      {"bmp_named_jpg", {true, D3DXIFF_BMP, 8, 6}},
      {"credits_piece", {true, D3DXIFF_JPG, 24, 16}},
      {"cursor", {true, D3DXIFF_PNG, 54, 36}},
      {"desk_piece", {true, D3DXIFF_BMP, 12, 10}},
      {"empty_png", {false, D3DXIFF_BMP, 0, 0}},
      {"fighter_piece", {true, D3DXIFF_BMP, 14, 12}},
      {"jpg_baseline", {true, D3DXIFF_JPG, 16, 8}},
      {"jpg_gray", {true, D3DXIFF_JPG, 8, 8}},
      {"jpg_progressive", {true, D3DXIFF_JPG, 24, 16}},
      {"jpg_tiny", {true, D3DXIFF_JPG, 3, 2}},
      {"jpg_truncated", {false, D3DXIFF_JPG, 0, 0}},
      {"other_kind", {false, D3DXIFF_BMP, 0, 0}},
      {"png16", {true, D3DXIFF_PNG, 4, 3}},
      {"png_alpha", {true, D3DXIFF_PNG, 6, 6}},
      // A chunk declared longer than the file: the PNG decoder once read
      // the same stale chunk header for ever.
      {"png_chunk_past_end", {false, D3DXIFF_PNG, 0, 0}},
      {"png_gray", {true, D3DXIFF_PNG, 5, 3}},
      {"png_interlaced", {true, D3DXIFF_PNG, 8, 8}},
      {"png_named_bmp", {true, D3DXIFF_PNG, 6, 6}},
      {"png_opaque_magenta_key", {true, D3DXIFF_PNG, 9, 3}},
      {"png_palette", {true, D3DXIFF_PNG, 7, 7}},
      {"png_truncated", {false, D3DXIFF_PNG, 0, 0}},
  };
  return seeds;
}

TEST(ImageSeeds, DecodeAsNamed) {
  const char* const extensions[] = {".bmp", ".png", ".jpg"};
  const ScratchFolder folder("quarrelo-image-seeds");
  int checked = 0;
  for (const CorpusFile& seed : CorpusFiles()) {
    const auto expected = ExpectedSeeds().find(seed.name);
    if (expected == ExpectedSeeds().end() || seed.bytes.empty()) continue;
    ++checked;
    const std::string path = folder.file(std::string("seed") + extensions[seed.bytes[0] % 3]);
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(seed.bytes.data() + 1, 1, seed.bytes.size() - 1, file);
    std::fclose(file);
    D3DXIMAGE_INFO info{};
    const HRESULT result = D3DXGetImageInfoFromFileA(path.c_str(), &info);
    std::remove(path.c_str());
    const Expected& e = expected->second;
    if (!e.decodes) {
      EXPECT_EQ(result, D3DXERR_INVALIDDATA) << seed.name;
      continue;
    }
    ASSERT_EQ(result, D3D_OK) << seed.name;
    EXPECT_EQ(info.ImageFileFormat, e.kind) << seed.name;
    EXPECT_EQ(info.Width, e.width) << seed.name;
    EXPECT_EQ(info.Height, e.height) << seed.name;
  }
  EXPECT_EQ(checked, static_cast<int>(ExpectedSeeds().size()));
}

}  // namespace

// The SDL backend on a real (virtual) X server: runs platform_sdl_probe
// under xvfb-run on a 1280x720 screen, checks the full-screen picture in a
// screenshot (800x600 scaled to 960x720, letter-boxed, display mode
// unchanged) and that a key typed with xdotool arrives as its DirectInput
// code. Skipped when xvfb-run, xdotool or ImageMagick's import is missing.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "scratch_folder.h"
#include "files_and_tools.h"

namespace {

struct Screen {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;
  uint32_t at(int x, int y) const {
    const size_t i = (static_cast<size_t>(y) * width + x) * 3;
    return (uint32_t(rgb[i]) << 16) | (uint32_t(rgb[i + 1]) << 8) | rgb[i + 2];
  }
};

bool read_ppm(const std::string& path, Screen& screen) {
  std::ifstream in(path, std::ios::binary);
  std::string magic;
  int maxval = 0;
  in >> magic >> screen.width >> screen.height >> maxval;
  if (!in || magic != "P6" || maxval != 255) return false;
  in.get();
  screen.rgb.resize(static_cast<size_t>(screen.width) * screen.height * 3);
  in.read(reinterpret_cast<char*>(screen.rgb.data()), static_cast<std::streamsize>(screen.rgb.size()));
  return static_cast<bool>(in);
}

TEST(SdlUnderXvfb, FullScreenFrameAndKey) {
  for (const char* tool : {"xvfb-run", "xdotool", "import"})
    if (!on_path(tool))
      GTEST_SKIP() << tool << " is not installed: the Xvfb test of the SDL backend is skipped";

  const ScratchFolder folder("quarrelo-xvfb");
  const std::string& out = folder.path();
  const std::string command = std::string("SDL_AUDIODRIVER=dummy timeout 100 ") + QUARRELO_SOURCE_DIR +
                              "/tests/support/xvfb_run 1280x720 sh " + SCRIPT_PATH + " " + PROBE_PATH + " " +
                              out + " >" + out + "/xvfb.log 2>&1";
  const int status = std::system(command.c_str());
  const std::string log = read_file(out + "/probe.log");
  const std::string details = "\nprobe.log:\n" + log + "probe.err:\n" + read_file(out + "/probe.err") +
                              "script.log:\n" + read_file(out + "/script.log") + "xvfb.log:\n" +
                              read_file(out + "/xvfb.log");
  EXPECT_EQ(status, 0) << details;

  Screen screen;
  ASSERT_TRUE(read_ppm(out + "/screen.ppm", screen)) << details;
  EXPECT_EQ(screen.width, 1280) << "the display mode is never changed";
  EXPECT_EQ(screen.height, 720);
  // 800x600 scaled by 1.2 to 960x720, 160 pixels of black on either side.
  EXPECT_EQ(screen.at(400, 180), 0xFF0000u) << "top-left quarter" << details;
  EXPECT_EQ(screen.at(880, 180), 0x00FF00u) << "top-right quarter";
  EXPECT_EQ(screen.at(400, 540), 0x0000FFu) << "bottom-left quarter";
  EXPECT_EQ(screen.at(880, 540), 0xFFFFFFu) << "bottom-right quarter";
  EXPECT_EQ(screen.at(80, 360), 0x000000u) << "left bar";
  EXPECT_EQ(screen.at(1200, 360), 0x000000u) << "right bar";

  EXPECT_NE(log.find("key 0x11"), std::string::npos) << "W arrives as DIK_W" << details;
}

}  // namespace

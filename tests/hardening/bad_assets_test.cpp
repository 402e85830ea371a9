// Every one of the game's nineteen files missing, cut to half its size,
// replaced by random bytes of its size, or replaced by a named pipe or a
// folder of its name. A damaged picture is logged by its loader and the game
// runs without it: a few frames of menu and duel, then a clean quit. A
// missing or unreadable sound ends the start-up with the sound front's
// failure line and the shell's Game_Init line, before any frame; a sound cut
// short loads as far as the file goes and plays. A pipe or a folder fails
// as a missing file does, at once: nothing waits for a pipe's writer. The
// loaders' later steps, which no damaged file reaches, fail through the
// device.
#include "scenario.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <future>
#include <random>
#include <sstream>
#include <thread>
#include <tuple>
#include <vector>

#include <jpeglib.h>

#include "platform/d3d9/test_queries.h"
#include "sound/sound.h"
#include "files_and_tools.h"
#include "picture_file.h"

namespace fs = std::filesystem;

namespace {

using namespace keys;

enum class Kind { Surface, Texture, Wave };
enum class Damage { Missing, Half, Noise, Pipe, Folder };

struct Asset {
  const char* file;
  Kind kind;
};

const Asset kAssets[] = {
    {"classroom.bmp", Kind::Surface},
    {"ssfrontmenu.jpg", Kind::Surface},
    {"KidRight.bmp", Kind::Texture},
    {"kidleft.bmp", Kind::Texture},
    {"airplane.bmp", Kind::Texture},
    {"desk.bmp", Kind::Texture},
    {"Rightplayerscores.bmp", Kind::Texture},
    {"Leftplayerscores.bmp", Kind::Texture},
    {"rightplayername.bmp", Kind::Texture},
    {"leftplayername.bmp", Kind::Texture},
    {"scores.bmp", Kind::Texture},
    {"RightPlayerWins.bmp", Kind::Texture},
    {"LeftPlayerWins.bmp", Kind::Texture},
    {"airplanecursor.png", Kind::Texture},
    {"credits.jpg", Kind::Texture},
    {"helpmenu.jpg", Kind::Texture},
    {"hit1.wav", Kind::Wave},
    {"hit2.wav", Kind::Wave},
    {"hit3.wav", Kind::Wave},
};

// The image loads of start-up in their order, with the record each fills.
struct Load {
  const char* file;
  Kind kind;
  const void* holder;  // the surface pointer or the sprite record
};

std::vector<Load> ImageLoads() {
  std::vector<Load> loads = {
      {"classroom.bmp", Kind::Surface, &classroomSurface}, {"ssfrontmenu.jpg", Kind::Surface, &menuSurface},
      {"KidRight.bmp", Kind::Texture, &rightFighter},      {"kidleft.bmp", Kind::Texture, &leftFighter},
      {"airplane.bmp", Kind::Texture, &leftPlane},         {"airplane.bmp", Kind::Texture, &rightPlane}};
  for (const GameSprite& desk : desks) loads.push_back({"desk.bmp", Kind::Texture, &desk});
  const Load rest[] = {{"Rightplayerscores.bmp", Kind::Texture, &rightScoresBanner},
                       {"Leftplayerscores.bmp", Kind::Texture, &leftScoresBanner},
                       {"rightplayername.bmp", Kind::Texture, &rightName},
                       {"leftplayername.bmp", Kind::Texture, &leftName},
                       {"scores.bmp", Kind::Texture, &rightDigit},
                       {"scores.bmp", Kind::Texture, &leftDigit},
                       {"RightPlayerWins.bmp", Kind::Texture, &rightWinsBanner},
                       {"LeftPlayerWins.bmp", Kind::Texture, &leftWinsBanner},
                       {"airplanecursor.png", Kind::Texture, &menuCursor},
                       {"credits.jpg", Kind::Texture, &creditsScreen},
                       {"helpmenu.jpg", Kind::Texture, &helpScreen}};
  loads.insert(loads.end(), std::begin(rest), std::end(rest));
  return loads;
}

// The picture a load gave its holder, or null.
const void* LoadedPicture(const Load& load) {
  if (load.kind == Kind::Surface) return *static_cast<IDirect3DSurface9* const*>(load.holder);
  return static_cast<const GameSprite*>(load.holder)->tex;
}

// The line of a load that succeeds.
std::string Loaded(Kind kind) {
  return kind == Kind::Surface ? "LoadSurface() successful" : "LoadTexture() Successful";
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

void PrintTo(const Asset& asset, std::ostream* out) { *out << asset.file; }

const char* DamageName(Damage damage) {
  switch (damage) {
    case Damage::Missing:
      return "Missing";
    case Damage::Half:
      return "Half";
    case Damage::Noise:
      return "Noise";
    case Damage::Pipe:
      return "Pipe";
    default:
      return "Folder";
  }
}

void PrintTo(Damage damage, std::ostream* out) { *out << DamageName(damage); }

class DamagedAsset : public Scenario, public ::testing::WithParamInterface<std::tuple<Asset, Damage>> {
 protected:
  void DamageTheFile() {
    const auto [asset, damage] = GetParam();
    const fs::path path = fs::path(folder) / asset.file;
    ASSERT_TRUE(fs::exists(path)) << asset.file;
    const std::string bytes = read_file(path);
    switch (damage) {
      case Damage::Missing:
        RemoveAsset(asset.file);
        break;
      case Damage::Half:
        WriteFile(asset.file, bytes.substr(0, bytes.size() / 2));
        break;
      case Damage::Noise: {
        std::mt19937 rng(static_cast<unsigned>(bytes.size()));
        std::string noise(bytes.size(), '\0');
        for (char& c : noise) c = static_cast<char>(rng() & 0xFF);
        WriteFile(asset.file, noise);
        break;
      }
      case Damage::Pipe:
        RemoveAsset(asset.file);
        ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
        WatchForAReaderWaitingOn(path);
        break;
      case Damage::Folder:
        RemoveAsset(asset.file);
        ASSERT_TRUE(fs::create_directory(path));
        break;
    }
  }

  // A run that waits on the pipe for a writer would never end: after a
  // while far beyond a whole run, the pipe is given writers that close at
  // once (so a waiting open goes on and reads nothing), and the test fails.
  void WatchForAReaderWaitingOn(const fs::path& pipe) {
    watchdog_ = std::thread([this, pipe, over = run_over_.get_future()] {
      if (over.wait_for(std::chrono::seconds(20)) == std::future_status::ready) return;
      while (over.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
        const int fd = open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
        if (fd < 0) continue;
        reader_waited_ = true;
        close(fd);
      }
    });
  }

  void TearDown() override {
    run_over_.set_value();
    if (watchdog_.joinable()) watchdog_.join();
    EXPECT_FALSE(reader_waited_) << "the game waited on the pipe for a writer";
    Scenario::TearDown();
  }

 private:
  std::promise<void> run_over_;
  std::thread watchdog_;
  std::atomic<bool> reader_waited_{false};
};

TEST_P(DamagedAsset, IsLoggedAndNothingCrashes) {
  const auto [asset, damage] = GetParam();
  DamageTheFile();

  const std::string startup = StartupLog();
  const std::string header = startup.substr(0, startup.find("LoadSurface"));
  const std::vector<Load> loads = ImageLoads();

  if (asset.kind == Kind::Wave && damage != Damage::Half) {
    EXPECT_EQ(RunGame(), 0);
    std::string expected = startup.substr(0, startup.find("LoadSound"));
    for (const char* wave : {"hit1.wav", "hit2.wav", "hit3.wav"})
      expected +=
          std::string(wave) == asset.file ? "LoadSound() Create failed\n" : "LoadSound() Successful\n";
    expected += "Error running Game_Init\n";
    EXPECT_EQ(Log(), expected);
    EXPECT_EQ(headless::frame_count(), 0u);
    EXPECT_EQ(gameState, 0);
    return;
  }
  if (asset.kind == Kind::Wave) {
    // The header is whole and the data chunk declares more bytes than the
    // file holds: the clip keeps what could be read, the failed read is
    // traced, and the game runs and plays that sound.
    SoundClip* const* clip = std::string(asset.file) == "hit1.wav"   ? &hitSound1
                             : std::string(asset.file) == "hit2.wav" ? &hitSound2
                                                                     : &hitSound3;
    StartDuel(3);
    AtFrame(5, [clip] {
      ASSERT_NE(*clip, nullptr);
      headless::clear_audio_capture();
      PlaySoundOnce(*clip);
    });
    int peak = 0;
    AtFrame(30, [&peak] {
      for (int16_t sample : headless::audio_captured()) peak = std::max(peak, std::abs(int(sample)));
    });
    QuitFrom(31);
    EXPECT_EQ(RunGame(), 0);
    EXPECT_EQ(Log(), startup + ShutdownLog());
    EXPECT_NE(headless::debug_output().find("): mmioinfoIn.pchNext hr=E_FAIL"), std::string::npos);
    EXPECT_NE(headless::debug_output().find("): Read hr=E_FAIL"), std::string::npos);
    EXPECT_GT(peak, 1000);  // the half that was read is heard
    return;
  }

  // Menu, the duel, back to the menu and quit.
  StartDuel(3);
  QuitFrom(10);
  EXPECT_EQ(RunGame(), 0);
  EXPECT_EQ(headless::frame_count(), 13u);
  ASSERT_GE(states.size(), 10u);
  EXPECT_EQ(states[2], STATE_MENU);
  EXPECT_EQ(states[8], STATE_PLAY);

  // The run log line by line: each load of the damaged file fails, every
  // other line is that of a run with all files.
  const std::vector<std::string> log = Lines(Log());
  std::vector<std::string> expected = Lines(header);
  std::vector<size_t> failing;
  for (const Load& load : loads) {
    if (std::string(load.file) == asset.file) failing.push_back(expected.size());
    expected.push_back(Loaded(load.kind));
  }
  for (const std::string& line : Lines(startup.substr(startup.find("LoadSound")) + ShutdownLog()))
    expected.push_back(line);
  ASSERT_FALSE(failing.empty());
  ASSERT_EQ(log.size(), expected.size()) << Log();
  // A file that is not a whole picture is refused when its size is read,
  // the loader's first step.
  for (size_t i : failing)
    expected[i] =
        asset.kind == Kind::Surface ? "D3DXGetImageInfoFromFile Failed" : "D3DXGetImageInfoFromFile failed";
  for (size_t i = 0; i < log.size(); i++) EXPECT_EQ(log[i], expected[i]) << "line " << i;

  // Nothing holds the damaged picture; everything else was loaded.
  for (const Load& load : loads)
    EXPECT_EQ(LoadedPicture(load) == nullptr, std::string(load.file) == asset.file) << load.file;
}

INSTANTIATE_TEST_SUITE_P(EveryFile, DamagedAsset,
                         ::testing::Combine(::testing::ValuesIn(kAssets),
                                            ::testing::Values(Damage::Missing, Damage::Half, Damage::Noise,
                                                              Damage::Pipe, Damage::Folder)),
                         [](const ::testing::TestParamInfo<std::tuple<Asset, Damage>>& info) {
                           std::string name = std::get<0>(info.param).file;
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name + "_" + DamageName(std::get<1>(info.param));
                         });

// A loader step after the file was read fails: the loader writes that step's
// line, keeps nothing it made, and the game runs without the picture.
struct ForcedFailure {
  const char* name;
  const char* point;
  int after;    // calls of the point that succeed first
  size_t load;  // the failing one in ImageLoads()
  const char* line;
};

void PrintTo(const ForcedFailure& failure, std::ostream* out) { *out << failure.name; }

class ForcedLoadFailure : public Scenario, public ::testing::WithParamInterface<ForcedFailure> {};

TEST_P(ForcedLoadFailure, IsLoggedLeavesNothingBehindAndTheGameRunsWithoutThePicture) {
  const ForcedFailure failure = GetParam();
  const std::vector<Load> loads = ImageLoads();
  ASSERT_LT(failure.load, loads.size());
  headless::fail(failure.point, 1, failure.after);
  int surfaces = -1, textures = -1;
  AtFrame(0, [&] {
    surfaces = d3d9_test::live_surfaces();
    textures = d3d9_test::live_textures();
  });
  StartDuel(1);
  QuitFrom(4);
  EXPECT_EQ(RunGame(), 0);

  const std::string startup = StartupLog();
  std::string expected = startup.substr(0, startup.find("LoadSurface"));
  int surfaces_held = 0, textures_held = 0;
  for (size_t i = 0; i < loads.size(); i++) {
    const bool failed = i == failure.load;
    expected += (failed ? std::string(failure.line) : Loaded(loads[i].kind)) + "\n";
    EXPECT_EQ(LoadedPicture(loads[i]) == nullptr, failed) << i << " " << loads[i].file;
    if (!failed) ++(loads[i].kind == Kind::Surface ? surfaces_held : textures_held);
  }
  expected += startup.substr(startup.find("LoadSound")) + ShutdownLog();
  EXPECT_EQ(Log(), expected);
  EXPECT_EQ(surfaces, 1 + surfaces_held) << "the back buffer and the backgrounds the game holds";
  EXPECT_EQ(textures, textures_held);
  EXPECT_EQ(headless::frame_count(), 7u);
}

INSTANTIATE_TEST_SUITE_P(
    LaterSteps, ForcedLoadFailure,
    ::testing::Values(
        ForcedFailure{"ClassroomSurfaceNotCreated", "IDirect3DDevice9::CreateOffscreenPlainSurface", 0, 0,
                      "CreateOffscreenPlainSurface failed"},
        ForcedFailure{"ClassroomNotLoaded", "D3DXLoadSurfaceFromFileA", 0, 0,
                      "D3DXLoadSurfaceFromFile failed"},
        ForcedFailure{"MenuNotLoaded", "D3DXLoadSurfaceFromFileA", 1, 1, "D3DXLoadSurfaceFromFile failed"},
        ForcedFailure{"CursorTextureNotCreated", "D3DXCreateTextureFromFileExA", 16, 18,
                      "CreateTextureFromFileEx failed"}),
    [](const ::testing::TestParamInfo<ForcedFailure>& info) { return std::string(info.param.name); });

// The credits screen as a CMYK JPEG, as some programs save one: plainly, or
// inverted as Adobe's encoders write it (an Adobe marker says which). It is
// drawn in its true colours and fully opaque, as the RGB file is.
void WriteCmykJpeg(const std::string& path, const Picture& rgb, bool adobe) {
  FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  jpeg_compress_struct jpeg{};
  jpeg_error_mgr errors{};
  jpeg.err = jpeg_std_error(&errors);
  jpeg_create_compress(&jpeg);
  jpeg_stdio_dest(&jpeg, file);
  jpeg.image_width = static_cast<JDIMENSION>(rgb.width);
  jpeg.image_height = static_cast<JDIMENSION>(rgb.height);
  jpeg.input_components = 4;
  jpeg.in_color_space = JCS_CMYK;
  jpeg_set_defaults(&jpeg);
  jpeg_set_quality(&jpeg, 100, TRUE);
  jpeg.write_Adobe_marker = adobe ? TRUE : FALSE;
  jpeg_start_compress(&jpeg, TRUE);
  std::vector<JSAMPLE> row(static_cast<size_t>(rgb.width) * 4);
  for (int y = 0; y < rgb.height; ++y) {
    for (int x = 0; x < rgb.width; ++x) {
      const uint32_t pixel = rgb.at(x, y);
      const int p[3] = {int(pixel >> 16 & 0xFF), int(pixel >> 8 & 0xFF), int(pixel & 0xFF)};
      const int k = 255 - std::max({p[0], p[1], p[2]});
      for (int c = 0; c < 3; ++c) {
        const int ink = k == 255 ? 0 : (255 - p[c] - k) * 255 / (255 - k);
        row[x * 4 + c] = static_cast<JSAMPLE>(adobe ? 255 - ink : ink);
      }
      row[x * 4 + 3] = static_cast<JSAMPLE>(adobe ? 255 - k : k);
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&jpeg, rows, 1);
  }
  jpeg_finish_compress(&jpeg);
  jpeg_destroy_compress(&jpeg);
  std::fclose(file);
}

class CmykCredits : public Scenario, public ::testing::WithParamInterface<bool> {};

TEST_P(CmykCredits, AreDrawnInTheirColoursAndOpaque) {
  const Picture expected = ReadPicture(folder + "/credits.jpg");
  ASSERT_GT(expected.width, 0);
  WriteCmykJpeg(folder + "/credits.jpg", expected, GetParam());
  Tap(1, DOWN);  // Down, Down, Enter: the credits from frame 7
  Tap(3, DOWN);
  Tap(5, ENTER);
  std::vector<uint32_t> shown;
  AtFrame(8, [&shown] { shown = headless::last_frame().pixels; });
  QuitFrom(10);
  EXPECT_EQ(RunGame(), 0);
  EXPECT_EQ(Log(), StartupLog() + ShutdownLog());

  ASSERT_EQ(shown.size(), expected.pixels.size());
  // Everywhere but under the menu's cursor (54 x 36 at 525, 400): the
  // CMYK file's own rounding apart, the RGB picture.
  int worst = 0;
  for (int y = 0; y < expected.height; ++y) {
    for (int x = 0; x < expected.width; ++x) {
      if (x >= 525 && x < 525 + 54 && y >= 400 && y < 400 + 36) continue;
      const uint32_t want = expected.at(x, y), got = shown[size_t(y) * expected.width + x];
      for (int shift = 0; shift < 24; shift += 8)
        worst = std::max(worst, std::abs(int((want >> shift) & 0xFF) - int((got >> shift) & 0xFF)));
    }
  }
  EXPECT_LE(worst, 12) << "levels apart from the RGB file at worst";
}

INSTANTIATE_TEST_SUITE_P(PlainAndAdobe, CmykCredits, ::testing::Bool(),
                         [](const auto& info) { return std::string(info.param ? "Adobe" : "Plain"); });

}  // namespace

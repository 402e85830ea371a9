#include "scenario.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <windows.h>

#include "platform/d3d9/test_queries.h"

namespace fs = std::filesystem;

void Scenario::SetUp() {
  // The program's state is static and starts fresh only with the process.
  static int runs = 0;
  ASSERT_EQ(++runs, 1) << "run each scenario in a process of its own, as ctest does";
  headless::reset();
  former_folder_ = fs::current_path();
  for (const auto& entry : fs::directory_iterator(fs::path(QUARRELO_SOURCE_DIR) / "assets"))
    fs::copy_file(entry.path(), fs::path(folder) / entry.path().filename());
  fs::current_path(folder);
}

void Scenario::TearDown() {
  for (uint64_t frame : pending_frames_) ADD_FAILURE() << "the run ended before frame " << frame;
  EXPECT_EQ(d3d9_test::calls_after_failed_reset(), 0)
      << "calls the platform does not take after a failed Reset (only Reset, TestCooperativeLevel, Release)";
  // The sound device lives to the process end; closing the backend's audio
  // output here ends its pulls before the process does.
  headless::reset();
  fs::current_path(former_folder_);
  if (HasFailure()) {
    scratch.keep();
    std::cout << "run folder kept: " << folder << "\n";
  }
}

void Scenario::QuitFrom(uint64_t frame) {
  Tap(frame, keys::ESC);
  Tap(frame + 2, keys::ESC);
}

void Scenario::KeyAtTicks(uint32_t ticks, int dik, bool down) {
  headless::event_at_ticks(
      ticks,
      backend::Event{down ? backend::EventKind::KeyDown : backend::EventKind::KeyUp, keys::hid_of(dik)});
}

void Scenario::FocusAtTicks(uint32_t ticks, bool focused) {
  headless::event_at_ticks(
      ticks, backend::Event{focused ? backend::EventKind::FocusGained : backend::EventKind::FocusLost});
}

void Scenario::CloseAtTicks(uint32_t ticks) {
  headless::event_at_ticks(ticks, backend::Event{backend::EventKind::CloseRequest});
}

void Scenario::AtFrame(uint64_t frame, std::function<void()> hook) {
  pending_frames_.insert(frame);
  EachFrame([this, frame, hook](uint64_t index) {
    if (index != frame) return;
    pending_frames_.erase(frame);
    hook();
  });
}

int Scenario::RunGame(uint64_t frame_limit, const char* command_line) {
  bool out_of_frames = false;
  headless::on_frame([&](const headless::Frame& frame) {
    states.push_back(gameState);
    for (auto& hook : hooks_) hook(frame.index);
    if (frame.index + 1 >= frame_limit && !out_of_frames) {
      out_of_frames = true;
      PostQuitMessage(99);
    }
  });
  // A frame takes about 16 virtual ms; the wait stays within the clock's
  // half range, as the time is compared across its wrap.
  const uint32_t wait_ms = static_cast<uint32_t>(std::min<uint64_t>(frame_limit * 60, 0x40000000));
  const uint32_t give_up = headless::peek_ticks() + wait_ms;
  headless::event_at_ticks(give_up, backend::Event{backend::EventKind::CloseRequest});
  std::string line = command_line;
  int code = WinMain(GetModuleHandleA(NULL), NULL, line.data(), SW_SHOWDEFAULT);
  headless::on_frame(nullptr);
  if (static_cast<int32_t>(headless::peek_ticks() - give_up) >= 0)
    ADD_FAILURE() << "the game paused without end and was closed after " << wait_ms << " ms";
  return code;
}

std::string Scenario::Log() const {
  std::ifstream file(fs::path(folder) / "Log.txt", std::ios::binary);
  if (!file) return "<none>";
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

bool Scenario::LogExists() const { return fs::exists(fs::path(folder) / "Log.txt"); }

std::vector<int> Scenario::LogDescriptors() const {
  std::error_code error;
  const fs::path log = fs::weakly_canonical(fs::path(folder) / "Log.txt", error);
  std::vector<int> descriptors;
  for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
    if (fs::read_symlink(entry.path(), error) == log)
      descriptors.push_back(std::stoi(entry.path().filename()));
  }
  return descriptors;
}

void Scenario::RemoveAsset(const char* name) const { fs::remove(fs::path(folder) / name); }

void Scenario::WriteFile(const char* name, const std::string& bytes) const {
  std::ofstream file(fs::path(folder) / name, std::ios::binary | std::ios::trunc);
  file << bytes;
}

void AimAt(GameSprite* airplane, const GameSprite& target) {
  airplane->visible = true;
  airplane->life = 1;
  airplane->heading = 2;  // the flight step moves it 6 px up
  airplane->x = target.x + 12;
  airplane->y = target.y + 22;
}

std::string ImagesLog() {
  std::string log = "LoadSurface() successful\nLoadSurface() successful\n";
  for (int i = 0; i < 19; i++) log += "LoadTexture() Successful\n";
  return log;
}

std::string DeviceLossLog() { return "Direct3D device lost\n" + ImagesLog() + "Direct3D device reset\n"; }

std::string StartupLog() {
  std::string log =
      "Log file created successfully!\n\n"
      "Sprite Handler Created\n"
      "Direct3D objects initialized\n"
      "DirectSound Initialized\n"
      "DirectInput Initialized\n"
      "Mouse Initialized\n"
      "Keyboard Initialized\n" +
      ImagesLog();
  for (int i = 0; i < 3; i++) log += "LoadSound() Successful\n";
  log += "Game Specific Objects Initialized\n";
  return log;
}

std::string ShutdownLog() {
  return "Direct3D Device Released\n"
         "Direct3D Object Released\n"
         "Sprite Handler Released\n"
         "Keyboard objects released\n"
         "Mouse Object Released\n"
         "DirectInput Object Released\n"
         "Surfaces Released\n"
         "Textures Released\n"
         "Sounds Deleted\n"
         "\nGame shut down!\n";
}

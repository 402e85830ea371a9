// Scenario runs of the whole game: the real WinMain on the headless backend,
// in a fresh working folder holding copies of the assets, with keys
// scheduled by frame number and a look at the state after every frame.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "game/game_state.h"
#include "keys.h"
#include "platform/headless/headless.h"
#include "scratch_folder.h"

// A frame made after k presents is frame k; a key scheduled at frame k is
// seen by that frame's keyboard read. The per-frame hook runs inside the
// frame's present: after the screen's step and the drawing, before the
// global Esc and the pacing.
class Scenario : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Runs WinMain, with `command_line` as what follows the program's name,
  // to its end and gives its exit code. A run that is still
  // going after frame_limit frames is ended with exit code 99. A game that
  // pauses for ever (its device lost, so no frames are counted) is ended by
  // a close request once the clock has gone on for far longer than the
  // frames would take, and the test fails.
  int RunGame(uint64_t frame_limit = 3000, const char* command_line = "");
  // The clock an event is scheduled by while the game pauses: `ms` virtual
  // milliseconds after now (a paused frame takes about 16).
  static uint32_t TicksIn(uint32_t ms) { return headless::peek_ticks() + ms; }
  // Events by the clock: a key by DirectInput code, the focus, a close request.
  static void KeyAtTicks(uint32_t ticks, int dik, bool down);
  static void FocusAtTicks(uint32_t ticks, bool focused);
  static void CloseAtTicks(uint32_t ticks);

  // The run log as it is on disk now, or "<none>" when there is no file.
  std::string Log() const;
  bool LogExists() const;
  // The descriptors of this process that are open on the run log.
  std::vector<int> LogDescriptors() const;
  void RemoveAsset(const char* name) const;
  void WriteFile(const char* name, const std::string& bytes) const;

  // Key down at `frame` for `held` frames.
  static void Tap(uint64_t frame, int dik, uint64_t held = 1) { dik_tap(frame, dik, held); }
  static void Hold(uint64_t frame, int dik) { dik_at(frame, dik, true); }
  static void Let(uint64_t frame, int dik) { dik_at(frame, dik, false); }
  // Enter on the first menu entry at `frame`: the duel's first step runs at
  // frame + 2.
  static void StartDuel(uint64_t frame) { Tap(frame, keys::ENTER); }
  // From any screen: Esc to the menu at `frame`, Esc again two frames later
  // ends the program.
  static void QuitFrom(uint64_t frame);

  // Called after every frame with its number.
  void EachFrame(std::function<void(uint64_t)> hook) { hooks_.push_back(std::move(hook)); }
  // Called after frame `frame` only; a run that ends before it fails.
  void AtFrame(uint64_t frame, std::function<void()> hook);

  // Per-frame record of gameState.
  std::vector<int> states;

  // The run's working folder, holding copies of the assets; kept after a
  // test that failed.
  ScratchFolder scratch{"quarrelo-scenario"};
  const std::string folder = scratch.path();

 private:
  std::string former_folder_;
  std::vector<std::function<void(uint64_t)>> hooks_;
  std::set<uint64_t> pending_frames_;  // AtFrame hooks that have not run
};

// Places a flying airplane so that the next frame's flight step leaves it on
// the middle of `target`: the duel step of that frame finds a hit.
void AimAt(GameSprite* airplane, const GameSprite& target);

// The complete run log of a start-up in which nothing fails.
std::string StartupLog();
// The complete run log of the shutdown sequence.
std::string ShutdownLog();
// The loaders' lines of the two surfaces and nineteen textures.
std::string ImagesLog();
// The lines of one device loss that ends in a reset: the loss, the images
// loaded again, the reset.
std::string DeviceLossLog();

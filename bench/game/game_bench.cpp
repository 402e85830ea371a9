// Benchmarks of the game: one duel frame without its pacing wait, start-up
// to the first presented frame, and the peak memory of a run.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include <windows.h>

#include "game/game.h"
#include "game/game_state.h"
#include "graphics/graphics.h"
#include "input/input.h"
#include "platform/headless/headless.h"
#include "run_folder.h"
#include "shell/run_log.h"
#include "shell/window.h"
#include "sound/sound.h"

extern char** environ;

namespace {

// Starts the game's subsystems as WinMain does, in a folder with the assets,
// and puts the game into the first frame of a duel.
struct DuelSetup {
  HWND window = NULL;
  RunLog* log = nullptr;

  bool Start() {
    std::filesystem::current_path(MakeRunFolder("duel"));
    headless::echo_debug_output(false);
    headless::keep_last_frame(false);
    Register_WindowClass(GetModuleHandleA(NULL));
    window = CreateWindowExA(0, "Quarrelo", "Quarrelo", WS_POPUP | WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                             800, 600, NULL, NULL, GetModuleHandleA(NULL), NULL);
    if (!window) return false;
    ShowWindow(window, SW_SHOWDEFAULT);
    log = new RunLog;
    if (!Init_Graphics(window, 800, 600) || !Init_Sound(window) || !Init_Input(window) ||
        !Init_Mouse(window) || !Init_Keyboard(window) || !Game_Init(window))
      return false;
    gameState = STATE_NEW_BOUT;
    Game_Update(window);
    // Both players keep walking: W and Up held from here on.
    headless::dik_at(headless::frame_count(), DIK_W, true);
    headless::dik_at(headless::frame_count(), DIK_UP, true);
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    return gameState == STATE_PLAY;
  }
};

DuelSetup& Duel() {
  static DuelSetup setup;
  static bool started = setup.Start();
  if (!started) std::abort();
  return setup;
}

// Both fighters walking, both airplanes in flight. With `every_sprite`, the
// menu cursor, the full screens and the banners are drawn as well: the
// frame's nineteen draws.
void RunDuelFrames(benchmark::State& state, bool every_sprite) {
  DuelSetup& duel = Duel();
  for (auto _ : state) {
    if (gameState != STATE_PLAY) {  // a hit: back to the duel
      gameState = STATE_PLAY;
      leftScore = rightScore = 0;
    }
    leftPlane.visible = rightPlane.visible = true;
    leftPlane.life = rightPlane.life = 1;
    if (every_sprite) {
      for (GameSprite* s : {&menuCursor, &creditsScreen, &helpScreen, &leftScoresBanner, &rightScoresBanner,
                            &leftWinsBanner, &rightWinsBanner})
        s->visible = true;
    }
    // No pacing wait: the previous frame ended long ago. (These few stores
    // are timed with the frame; they cost nanoseconds.)
    lastFrameTick = headless::peek_ticks() - 1000;
    Game_Update(duel.window);
  }
}

void BM_DuelFrame(benchmark::State& state) { RunDuelFrames(state, false); }
void BM_DuelFrameAllNineteenSprites(benchmark::State& state) { RunDuelFrames(state, true); }

// Runs the game_run helper in a fresh asset folder; its resource use.
bool RunHelper(const char* mode, double* seconds, long* max_rss_kb) {
  std::string folder = MakeRunFolder(mode);
  std::filesystem::remove(std::filesystem::path(folder) / "Log.txt");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  char* argv[] = {(char*)GAME_RUN_PATH, (char*)mode, nullptr};
  auto begin = std::chrono::steady_clock::now();
  pid_t pid;
  if (posix_spawn(&pid, GAME_RUN_PATH, &actions, nullptr, argv, environ) != 0) return false;
  int status = 0;
  struct rusage usage {};
  wait4(pid, &status, 0, &usage);
  *seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  *max_rss_kb = usage.ru_maxrss;
  posix_spawn_file_actions_destroy(&actions);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void BM_StartToFirstFrame(benchmark::State& state) {
  for (auto _ : state) {
    double seconds;
    long rss;
    if (!RunHelper("first-frame", &seconds, &rss)) {
      state.SkipWithError("the game run failed");
      break;
    }
    state.SetIterationTime(seconds);
  }
}

void BM_PeakMemoryOfARun(benchmark::State& state) {
  long peak = 0;
  for (auto _ : state) {
    double seconds;
    long rss;
    if (!RunHelper("play", &seconds, &rss)) {
      state.SkipWithError("the game run failed");
      break;
    }
    state.SetIterationTime(seconds);
    peak = std::max(peak, rss);
  }
  state.counters["peak_rss_MB"] = peak / 1024.0;
}

}  // namespace

BENCHMARK(BM_DuelFrame)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_DuelFrameAllNineteenSprites)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_StartToFirstFrame)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_PeakMemoryOfARun)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);

BENCHMARK_MAIN();

// The benchmark report: every figure the game is held to, measured in this
// one process (or in child processes it starts), printed as one table with
// each target beside it, then one line per row for scripts:
//   bench: <row> <value> <unit> target <target> <met|missed>
// A row without a target (a figure kept for information) prints "-" as its
// target and "info" instead of met or missed.
// Comparisons run both sides in alternating batches and compare medians of
// the measuring thread's processor time, which a busy shared machine
// disturbs far less than wall time.
//
// Usage: quarrelo_bench_report [--quick]
// (--decode-game-images and --write-large-png are the report's own child
// modes for the start-up and large-image rows.)
#include <limits.h>
#include <time.h>
#include <unistd.h>

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/duel_setup.h"
#include "common/frame_scene.h"
#include "common/game_process.h"
#include "common/large_wave.h"
#include "common/mixer_voices.h"
#include "common/result_code_queries.h"
#include "common/run_folder.h"
#include "game_image_loads.h"
#include "platform/headless/headless.h"
#include "row.h"
#include "timing.h"
#include "web_rows.h"

namespace {

// How hard each measurement tries; --quick for a fast look.
struct Effort {
  int rounds = 15;
  double batch_seconds = 0.03;
  int process_runs = 7;
};

std::string self_path() {
  char path[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return {};
  path[n] = '\0';
  return path;
}

long own_peak_rss_kb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  }
  return 0;
}

// The scratch folders MakeRunFolder made for this process.
void RemoveRunFolders() {
  namespace fs = std::filesystem;
  const std::string prefix = "quarrelo-bench-" + std::to_string(getpid()) + "-";
  std::error_code error;
  std::filesystem::current_path(fs::temp_directory_path(), error);
  for (const auto& entry : fs::directory_iterator(fs::temp_directory_path(), error)) {
    if (entry.path().filename().string().rfind(prefix, 0) == 0) fs::remove_all(entry.path(), error);
  }
}

// ---- Rows measured in child processes ---------------------------------------

// The game from start to its first presented frame (the game_run helper,
// which ends at the first present), held to 100 ms of processor time, well
// below what a player could notice. Beside it, for information, the ratio
// to a process that decodes the same image loads with SDL2_image, both in
// a folder holding the assets. Each side is a fresh process, so both pay
// for starting and linking.
std::vector<Row> StartToFirstFrame(const Effort& effort) {
  Row row = MakeRow("startup_first_frame", "start-up to first presented frame (headless)", "ms", true, 100);
  Row ratio = InfoRow("startup_vs_image_decoding", "start-up / decoding its images with SDL2_image", "x");
  const std::string folder = MakeRunFolder("startup");
  const std::string self = self_path();
  std::vector<double> game_cpu, game_wall, sdl_cpu, sdl_wall;
  for (int r = 0; r < effort.process_runs; ++r) {
    ProcessUsage game, sdl;
    if (!RunProcess(folder, {GAME_RUN_PATH, "first-frame"}, &game) ||
        !RunProcess(folder, {self, "--decode-game-images"}, &sdl)) {
      row.note = ratio.note = "a child process failed";
      return {row, ratio};
    }
    game_cpu.push_back(game.cpu_seconds);
    game_wall.push_back(game.wall_seconds);
    sdl_cpu.push_back(sdl.cpu_seconds);
    sdl_wall.push_back(sdl.wall_seconds);
  }
  const double ours = timing::median(game_cpu), theirs = timing::median(sdl_cpu);
  row.ours = duration(ours) + " cpu, " + duration(timing::median(game_wall)) + " wall";
  row.compared = std::to_string(GameImageLoads().size()) + " IMG_Load " + duration(theirs) + " cpu, " +
                 duration(timing::median(sdl_wall)) + " wall";
  row.value = ours * 1e3;
  row.measured = ours > 0;
  ratio.ours = row.ours;
  ratio.compared = row.compared;
  ratio.value = ours / theirs;
  ratio.measured = theirs > 0;
  return {row, ratio};
}

// The peak resident memory of a scripted game (menu, a duel with walks and
// throws, a point, back to the menu, quit) as the kernel reports it for the
// child. The kernel counts the parent's peak at the moment of the start as
// well, so this row runs first, while the report itself is small.
Row PeakMemory(const Effort& effort) {
  Row row = MakeRow("peak_rss", "peak resident memory of a game run", "MB", true, 64);
  const long parent_kb = own_peak_rss_kb();
  long peak_kb = 0;
  const int runs = std::max(2, effort.process_runs / 3);
  for (int r = 0; r < runs; ++r) {
    const std::string folder = MakeRunFolder("play");
    std::filesystem::remove(std::filesystem::path(folder) / "Log.txt");
    ProcessUsage usage;
    if (!RunProcess(folder, {GAME_RUN_PATH, "play"}, &usage)) {
      row.note = "the game run failed";
      return row;
    }
    peak_kb = std::max(peak_kb, usage.max_rss_kb);
  }
  row.value = peak_kb / 1024.0;
  row.ours = format("%.1f MB", row.value);
  row.compared = format("- (largest of %.0f runs)", runs);
  row.measured = peak_kb > parent_kb;  // else the figure is the report's own
  if (!row.measured) row.note = "the child's figure was the report's own";
  return row;
}

// The game with its cursor replaced by a picture of 8192 x 8192 pixels (the
// largest side taken; a 280 KB PNG that decodes to 256 MB), against the game
// with its own: how much more the process needs at its peak while loading,
// held to twice the decoded size (the file's picture and the texture it
// fills, never more), and how much more it keeps once everything is loaded
// (at its first frame), held to the texture itself (and 4 MB of slack).
std::vector<Row> LargeImageMemory() {
  Row peak = MakeRow("large_image_peak", "loading an 8192x8192 image: added peak memory", "MB", true, 512);
  Row kept = MakeRow("large_image_kept", "loading an 8192x8192 image: added memory kept", "MB", true, 260);
  const std::string folder = MakeRunFolder("large-image");
  const std::string cursor = folder + "/airplanecursor.png";
  ProcessUsage usage[2];
  long kept_kb[2] = {0, 0};
  for (int run = 0; run < 2; ++run) {
    std::filesystem::remove(std::filesystem::path(folder) / "Log.txt");
    std::string output;
    ProcessUsage writing;
    if ((run == 1 && !RunProcess(folder, {self_path(), "--write-large-png", cursor}, &writing)) ||
        !RunProcess(folder, {GAME_RUN_PATH, "kept-memory"}, &usage[run], {}, &output) ||
        std::sscanf(output.c_str(), "kept_kb %ld", &kept_kb[run]) != 1) {
      peak.note = kept.note = "a child process failed";
      return {peak, kept};
    }
  }
  peak.value = (usage[1].max_rss_kb - usage[0].max_rss_kb) / 1024.0;
  kept.value = (kept_kb[1] - kept_kb[0]) / 1024.0;
  peak.ours = format("%.0f MB more at the peak", peak.value);
  kept.ours = format("%.0f MB more kept", kept.value);
  peak.compared = kept.compared = "the game with its own cursor";
  peak.measured = kept.measured = usage[0].max_rss_kb > 0 && kept_kb[0] > 0;
  return {peak, kept};
}

// Writes a PNG of 8192 x 8192 pixels: magenta around a small opaque patch.
int WriteLargePng(const char* path) {
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 8192, 8192, 32, SDL_PIXELFORMAT_ARGB8888);
  if (surface == nullptr) return 1;
  auto* pixels = static_cast<uint32_t*>(surface->pixels);
  std::fill(pixels, pixels + size_t(8192) * 8192, 0xFFFF00FFu);
  for (int y = 0; y < 36; ++y)
    std::fill(pixels + size_t(y) * 8192, pixels + size_t(y) * 8192 + 54, 0xFF203040u);
  const int failed = IMG_SavePNG(surface, path);
  SDL_FreeSurface(surface);
  return failed == 0 ? 0 : 1;
}

// The real game on the SDL backend and the real clock, left on its menu
// under Xvfb (the menu_idle helper measures itself from its 60th frame on,
// over 400 frames): the whole process's processor time as a share of one
// core, and the median and 99th percentile of the time between frames. No
// graphics card here: the renderer is SDL's software one (SDL's OpenGL would
// run on the processor too, and measure the emulation instead of the game),
// the audio SDL's dummy device, which pulls as a sound card does. The
// figures of the run with the median processor share are kept.
std::vector<Row> MenuIdle(const Effort& effort, DesktopFigures* desktop) {
  Row cpu = MakeRow("menu_cpu", "processor use on the menu (SDL, real clock)", "%", true, 5);
  // The game's pace is one step of the platform's timer (15.625 ms): the
  // median is held to within half a millisecond of it.
  Row median =
      MakeRow("menu_frame_median", "frame period on the menu, median off 15.625 ms", "ms", true, 0.5);
  Row p99 = MakeRow("menu_frame_p99", "frame period on the menu, 99th percentile", "ms", true, 16.5);
  const int runs = std::max(1, effort.process_runs / 3);
  struct Run {
    double share, median_ms, p99_ms;
  };
  std::vector<Run> done;
  for (int r = 0; r < runs; ++r) {
    const std::string folder = MakeRunFolder("menu");
    ProcessUsage usage;
    std::string out;
    const bool ran = RunProcess(
        folder, {QUARRELO_SOURCE_DIR "/tests/support/xvfb_run", "800x600", MENU_IDLE_PATH}, &usage,
        {"SDL_AUDIODRIVER=dummy", "SDL_RENDER_DRIVER=software", "SDL_FRAMEBUFFER_ACCELERATION=0"}, &out);
    Run run{};
    int frames = 0;
    if (!ran || std::sscanf(out.c_str(), "menu_idle frames %d cpu_share %lf median_ms %lf p99_ms %lf",
                            &frames, &run.share, &run.median_ms, &run.p99_ms) != 4) {
      cpu.note = median.note = p99.note = "the game under xvfb-run did not report (is xvfb-run installed?)";
      return {cpu, median, p99};
    }
    done.push_back(run);
  }
  std::sort(done.begin(), done.end(), [](const Run& a, const Run& b) { return a.share < b.share; });
  const Run& kept = done[done.size() / 2];
  cpu.value = kept.share * 100;
  cpu.ours = format("%.1f%% of a core", cpu.value);
  cpu.compared = format("- (median of %.0f runs)", runs);
  median.value = std::abs(kept.median_ms - 15.625);
  desktop->menu_cpu_share = kept.share;
  desktop->menu_median_ms = kept.median_ms;
  median.ours = format("%.2f ms", kept.median_ms);
  median.compared = "15.625 ms, the timer's step";
  p99.value = kept.p99_ms;
  p99.ours = format("%.2f ms", kept.p99_ms);
  p99.compared = "-";
  cpu.measured = median.measured = p99.measured = true;
  return {cpu, median, p99};
}

// For information beside the menu's figure: what waiting by the millisecond
// costs this machine by itself, 1,000 sleeps of a thread a second until the
// next millisecond begins (what the SDL backend's tick count does while the
// game's pacing polls it), with nothing else done. On a virtual machine each
// timer wake-up costs far more than on bare hardware.
Row WaitFloor(const Effort& effort) {
  Row row = InfoRow("menu_wait_floor", "waiting by the millisecond alone (1,000/s)", "%");
  const int waits = effort.rounds >= 15 ? 3000 : 1000;
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
  const double cpu_start = timing::thread_cpu_seconds();
  const double wall_start = timing::wall_seconds();
  for (int i = 0; i < waits; ++i) {
    ++ms;
    const timespec at{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr);
  }
  const double cpu = timing::thread_cpu_seconds() - cpu_start;
  const double wall = timing::wall_seconds() - wall_start;
  row.value = cpu / wall * 100;
  row.ours = format("%.1f us a wait", cpu / waits * 1e6);
  row.compared = "-";
  row.measured = wall > 0;
  return row;
}

// The computer player (tools/tournament, a child): headless games to five
// points on the virtual clock, the game's own code, 400 a pairing. Level 3
// against level 1 and level 2 against level 1 held to 80% and 60% of the
// bouts, level 1 against random keys to 95%; no game longer than three
// minutes of game time (the median beside it); one decision held to 20 us at
// the median and the 99th percentile. The tool's own table is kept for the
// report's end.
std::vector<Row> ComputerPlayer(const Effort& effort, std::string* table) {
  struct Share {
    const char* pairing;
    const char* name;
    const char* title;
    double target;
  };
  const Share shares[] = {
      {"3-1", "computer_level3_vs_level1", "computer: level 3's bouts against level 1", 80},
      {"2-1", "computer_level2_vs_level1", "computer: level 2's bouts against level 1", 60},
      {"1-random", "computer_level1_vs_random", "computer: level 1's bouts against random keys", 95},
  };
  std::vector<Row> rows;
  for (const Share& share : shares)
    rows.push_back(MakeRow(share.name, share.title, "%", false, share.target));
  rows.push_back(MakeRow("computer_longest_game", "computer: longest game to five points", "s", true, 180));
  rows.push_back(MakeRow("computer_decision_median", "computer: one decision, median", "us", true, 20));
  rows.push_back(MakeRow("computer_decision_p99", "computer: one decision, 99th percentile", "us", true, 20));
  const int games = effort.rounds >= 15 ? 400 : 40;
  ProcessUsage usage;
  std::string out;
  const bool ran = RunProcess(MakeRunFolder("tournament"),
                              {TOURNAMENT_PATH, "--games", std::to_string(games)}, &usage, {}, &out);
  int parsed = 0;
  double longest = 0, medianSum = 0;
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("tournament: ", 0) != 0) {
      *table += line + "\n";
      continue;
    }
    char pairing[32];
    int bouts = 0, unfinished = 0;
    double share = 0, gamesShare = 0, median = 0, longestGame = 0, p50 = 0, p99 = 0;
    if (std::sscanf(line.c_str(),
                    "tournament: %31s bouts %d share %lf games %lf median_s %lf longest_s %lf unfinished %d",
                    pairing, &bouts, &share, &gamesShare, &median, &longestGame, &unfinished) == 7) {
      for (size_t i = 0; i < 3; i++) {
        if (std::strcmp(pairing, shares[i].pairing) != 0) continue;
        rows[i].value = share * 100;
        rows[i].ours = format("%.1f%% of ", share * 100) + std::to_string(bouts) + " bouts";
        rows[i].compared = format("- (games won %.0f%%)", gamesShare * 100);
        rows[i].measured = bouts > 0;
        parsed++;
      }
      longest = std::max(longest, longestGame);
      medianSum += median;
    } else if (std::sscanf(line.c_str(), "tournament: decision median_us %lf p99_us %lf", &p50, &p99) == 2) {
      rows[4].value = p50;
      rows[5].value = p99;
      rows[4].ours = format("%.2f us", p50);
      rows[5].ours = format("%.2f us", p99);
      rows[4].compared = rows[5].compared = "-";
      rows[4].measured = rows[5].measured = true;
    }
  }
  rows[3].value = longest;
  rows[3].ours = format("%.1f s of %.0f games", longest, 3.0 * games);
  rows[3].compared = format("- (medians' mean %.1f s)", medianSum / 3);
  rows[3].measured = parsed == 3;
  for (Row& row : rows)
    if (!row.measured) row.note = ran ? "the tournament's output had no figure" : "the tournament failed";
  return rows;
}

// ---- Rows measured in this process --------------------------------------------

// For information only: names are looked up only when a sound call fails.
Row ResultCodeLookups(const Effort& effort) {
  Row row = InfoRow("result_code_lookup", "result-code name lookups", "x");
  const std::vector<HRESULT>& queries = result_code_queries::queries();
  const result_code_queries::NameMap map;
  size_t sink = 0;
  // One call: a pass over every query.
  const auto ours = [&] {
    for (HRESULT hr : queries) sink += reinterpret_cast<uintptr_t>(ResultCodeNameA(hr));
  };
  const auto theirs = [&] {
    for (HRESULT hr : queries) sink += reinterpret_cast<uintptr_t>(map.name(hr));
  };
  const timing::Pair t = timing::side_by_side(ours, theirs, effort.rounds, effort.batch_seconds);
  const double n = static_cast<double>(queries.size());
  row.ours = duration(t.ours / n) + " per lookup";
  row.compared = "std::unordered_map " + duration(t.theirs / n);
  row.value = t.theirs / t.ours;  // speed relative to the map
  row.measured = t.ours > 0 && sink != 1;
  return row;
}

Row WaveRead(const Effort& effort) {
  Row row = MakeRow("wave_read", "WaveFile::Read throughput", "x", false, 0.8);
  large_wave::path();
  const size_t pieces[] = {large_wave::kDataBytes, 64u << 10, 4096};
  const char* piece_names[] = {"whole", "64 KiB", "4 KiB"};
  double worst = 1e9;
  for (int i = 0; i < 3; ++i) {
    std::vector<uint8_t> out(pieces[i]);
    bool whole = true;
    const auto ours = [&] { whole &= large_wave::read_with_wave_file(out) == large_wave::kDataBytes; };
    const auto theirs = [&] { whole &= large_wave::read_with_fread(out) == large_wave::kDataBytes; };
    const timing::Pair t = timing::side_by_side(ours, theirs, effort.rounds, effort.batch_seconds);
    if (!whole || t.ours <= 0) {
      row.note = "a read came up short";
      return row;
    }
    const double ratio = t.theirs / t.ours;
    if (ratio < worst) {
      worst = ratio;
      const double mb = large_wave::kDataBytes / 1048576.0;
      row.ours = format("%.0f MB/s", mb / t.ours) + " (" + piece_names[i] + " reads)";
      row.compared = "fread " + format("%.0f MB/s", mb / t.theirs);
    }
  }
  row.value = worst;
  row.measured = true;
  return row;
}

Row Mixing(const Effort& effort) {
  Row row = MakeRow("mixing", "mixing one second of four voices", "x", true, 1.0);
  mixer_voices::DeviceVoices device;
  mixer_voices::SdlVoices sdl;
  if (!device.ready()) {
    row.note = "no DirectSound device";
    return row;
  }
  int sink = 0;
  const timing::Pair t =
      timing::side_by_side([&] { sink += device.mix_one_second(); }, [&] { sink += sdl.mix_one_second(); },
                           effort.rounds, effort.batch_seconds);
  row.ours = duration(t.ours);
  row.compared = "SDL_MixAudioFormat loop " + duration(t.theirs);
  row.value = t.ours / t.theirs;
  row.measured = t.theirs > 0 && sink != INT_MIN;
  return row;
}

Row FrameComposition(const Effort& effort) {
  Row row = MakeRow("frame_composition", "frame composition (clear, 2 copies, 19 sprites)", "x", true, 0.7);
  frame_scene::DeviceFrame ours;
  frame_scene::SdlFrame sdl;
  if (!ours.ready() || !sdl.ready()) {
    row.note = "no device or renderer";
    return row;
  }
  const timing::Pair t =
      timing::side_by_side([&] { ours.draw(); }, [&] { sdl.draw(); }, effort.rounds, effort.batch_seconds);
  row.ours = duration(t.ours);
  row.compared = "SDL2 software renderer " + duration(t.theirs);
  row.value = t.ours / t.theirs;
  row.measured = t.theirs > 0;
  return row;
}

// One duel frame through Game_Update, pacing wait skipped. Wall time: the
// frame also waits while the headless audio thread mixes the period due.
Row DuelUpdate(const Effort& effort) {
  Row row = MakeRow("duel_update", "one duel Game_Update, no pacing wait", "ms", true, 1.0);
  static DuelSetup duel;
  if (!duel.Start()) {
    row.note = "the game did not start";
    return row;
  }
  const double wall = timing::time_per_call([] { duel.Frame(false); }, timing::Clock::Wall, effort.rounds,
                                            effort.batch_seconds);
  const double cpu = timing::time_per_call([] { duel.Frame(false); }, timing::Clock::ThreadCpu, effort.rounds,
                                           effort.batch_seconds);
  row.ours = duration(wall) + " wall, " + duration(cpu) + " cpu";
  row.compared = "-";
  row.value = wall * 1e3;
  row.measured = wall > 0;
  return row;
}

std::string target_text(const Row& row) {
  if (!row.has_target) return "-";
  const char* fmt = row.unit == "MB" && row.target == static_cast<int>(row.target) ? "%.0f" : "%.2f";
  return std::string(row.at_most ? "<=" : ">=") + format(fmt, row.target);
}

const char* verdict(const Row& row) {
  if (!row.has_target) return "info";
  return row.met() ? "met" : "MISSED";
}

void print(const std::vector<Row>& rows, const Effort& effort) {
  std::printf("\nQuarrelo benchmark report\n\n");
  std::printf("%-48s %-32s %-40s %9s %9s  %s\n", "row", "ours", "compared with", "value", "target", "");
  std::printf("%s\n", std::string(152, '-').c_str());
  for (const Row& row : rows) {
    const std::string value = row.measured ? format("%.2f", row.value) + " " + row.unit : "n/a";
    const std::string target = row.has_target ? target_text(row) + " " + row.unit : "-";
    std::printf("%-48s %-32s %-40s %9s %9s  %s\n", row.title.c_str(), row.ours.c_str(), row.compared.c_str(),
                value.c_str(), target.c_str(), row.measured ? verdict(row) : ("failed: " + row.note).c_str());
  }
  std::printf(
      "\nComparisons: both sides in %d alternating batches in this process, medians of the measuring\n"
      "thread's processor time. WaveFile::Read: the worst of whole, 64 KiB and 4 KiB reads. Game_Update:\n"
      "median batch mean of wall time per frame (the frame waits while the headless audio thread mixes).\n"
      "Start-up: processor time (all threads) of a child running the game to its first present, median\n"
      "of %d, and for information its ratio to a child decoding the game's image loads with IMG_Load.\n"
      "Result-code lookups (only a failed sound call looks one up) for information. Memory: the kernel's\n"
      "peak resident size of a child playing a scripted game (menu, a duel with walks, throws and a\n"
      "point, back to the menu, quit); and what a child loading an 8192x8192 cursor needs beyond one\n"
      "loading the game's own, at its peak and at its first frame. Menu: the real game (SDL backend, "
      "software renderer, dummy audio\n"
      "device) under Xvfb on the real clock, 400 frames after 60, processor time of the whole process\n"
      "over wall time, and the times between presents; beside it, for information, the processor time\n"
      "1,000 bare waits of a millisecond a second take on this machine. Computer: tools/tournament's\n"
      "headless games to five points on the virtual clock, its table below. Browser (make web, in headless\n"
      "Chromium): frame periods from a build with its presents marked, 400 frames on the menu and 400 in a\n"
      "duel nobody moves in, their medians beside the desktop's (the duel's from the same game pressed into\n"
      "a duel under Xvfb); the renderer process's processor time on the menu over 8 s after 5 s, over the\n"
      "desktop's, and for information that of a page doing nothing but set one timer a step as the game\n"
      "does; the page opened to its first frame on the canvas; the files of build/web/ as they are and\n"
      "gzip -9; the frame's work (from the pacing wait's end to the present) with Asyncify and in a build\n"
      "without it.\n\n",
      effort.rounds, effort.process_runs);
  for (const Row& row : rows) {
    std::printf("bench: %s %s %s target %s %s\n", row.name.c_str(),
                row.measured ? format("%.3f", row.value).c_str() : "nan", row.unit.c_str(),
                target_text(row).c_str(), row.has_target ? (row.met() ? "met" : "missed") : "info");
  }
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--decode-game-images") == 0)
    return DecodeGameImagesWithSdlImage() ? 1 : 0;
  if (argc > 2 && std::strcmp(argv[1], "--write-large-png") == 0) return WriteLargePng(argv[2]);
  Effort effort;
  if (argc > 1 && std::strcmp(argv[1], "--quick") == 0) effort = Effort{5, 0.01, 3};
  headless::echo_debug_output(false);

  std::vector<Row> rows(8);
  // The child processes first, while this process is still small (see
  // PeakMemory); the duel last, as it starts the whole game in here.
  rows[7] = PeakMemory(effort);
  for (const Row& row : LargeImageMemory()) rows.push_back(row);
  DesktopFigures desktop;
  for (const Row& row : MenuIdle(effort, &desktop)) rows.push_back(row);
  rows.push_back(WaitFloor(effort));
  std::string tournament;
  for (const Row& row : ComputerPlayer(effort, &tournament)) rows.push_back(row);
  // The browser build, beside the desktop's figures just measured.
  desktop.duel_median_ms = DesktopDuelMedianMs();
  for (const Row& row : WebRows(desktop, std::max(1, effort.process_runs / 2))) rows.push_back(row);
  const std::vector<Row> startup = StartToFirstFrame(effort);
  rows[5] = startup[0];
  rows[6] = startup[1];
  rows[4] = ResultCodeLookups(effort);
  rows[3] = WaveRead(effort);
  rows[2] = Mixing(effort);
  rows[0] = FrameComposition(effort);
  rows[1] = DuelUpdate(effort);
  print(rows, effort);
  std::printf("%s", tournament.c_str());
  RemoveRunFolders();
  for (const Row& row : rows) {
    if (!row.measured) return 1;
  }
  return 0;
}

// The browser build's rows: frame periods and what Asyncify costs from the
// marked builds (bench/web/), start-up and processor use from the player's
// page, and the page's size on the wire.
#include "web_rows.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <tuple>

#include "common/game_process.h"
#include "common/run_folder.h"
#include "devtools.h"
#include "files_and_tools.h"
#include "scratch_folder.h"
#include "timing.h"

namespace {

namespace fs = std::filesystem;

const std::string kWeb = std::string(QUARRELO_SOURCE_DIR) + "/build/web";
const std::string kWebBench = std::string(QUARRELO_SOURCE_DIR) + "/build/web-bench";

// Before the page's own scripts: the time of the first frame drawn on the
// canvas, since the navigation began.
const char* kFirstFrame = R"JS((() => {
  const put = CanvasRenderingContext2D.prototype.putImageData;
  CanvasRenderingContext2D.prototype.putImageData = function (...args) {
    if (window.__firstFrame === undefined) window.__firstFrame = performance.now();
    return put.apply(this, args);
  };
})();)JS";

// A page of `folder` open in its own headless Chromium.
class Page : public devtools::Page {
 public:
  using devtools::Page::Page;
  // The processor time of Chromium's busiest renderer process over
  // `seconds`, as a share of one core.
  double RendererShare(double seconds) {
    const auto busiest = [this](std::vector<std::pair<std::string, double>>& renderers) {
      const std::string info = browser().Call("SystemInfo.getProcessInfo");
      for (size_t at = 0; (at = info.find("\"type\":\"renderer\"", at)) != std::string::npos; ++at) {
        const size_t open = info.rfind('{', at), close = info.find('}', at);
        const std::string process = info.substr(open, close - open);
        const size_t id = process.find("\"id\":"), cpu = process.find("\"cpuTime\":");
        if (id != std::string::npos && cpu != std::string::npos)
          renderers.emplace_back(process.substr(id + 5, process.find_first_of(",}", id) - id - 5),
                                 std::atof(process.c_str() + cpu + 10));
      }
    };
    std::vector<std::pair<std::string, double>> before, after;
    busiest(before);
    Pause(static_cast<int>(seconds * 1000));
    busiest(after);
    double most = 0;
    for (const auto& [id, cpu] : after)
      for (const auto& [id_before, cpu_before] : before)
        if (id == id_before) most = std::max(most, cpu - cpu_before);
    return most / seconds;
  }
};

// The numbers of a JSON array of numbers.
std::vector<double> Numbers(const std::string& json) {
  std::vector<double> out;
  for (const char* at = json.c_str(); *at != '\0';) {
    char* end = nullptr;
    const double value = std::strtod(at, &end);
    if (end == at) {
      ++at;
      continue;
    }
    out.push_back(value);
    at = end;
  }
  return out;
}

struct Periods {
  double median = 0, p99 = 0;
};

Periods PeriodsOf(const std::vector<double>& presents, size_t from, size_t to) {
  std::vector<double> periods;
  for (size_t i = from + 1; i < to && i < presents.size(); ++i)
    periods.push_back(presents[i] - presents[i - 1]);
  return {timing::median(periods), timing::p99(periods)};
}

// The mean of the values up to their 95th percentile: the page's clock
// reads in steps of 0.1 ms, which a median would keep and a mean smooths.
double TrimmedMean(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  values.resize(values.size() * 95 / 100 + 1);
  double sum = 0;
  for (double v : values) sum += v;
  return sum / static_cast<double>(values.size());
}

// gzip -9 of one file, in bytes.
double GzipBytes(const fs::path& file) {
  const std::string command = "gzip -9c '" + file.string() + "' | wc -c";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return 0;
  double bytes = 0;
  if (std::fscanf(pipe, "%lf", &bytes) != 1) bytes = 0;
  pclose(pipe);
  return bytes;
}

constexpr size_t kSettle = 60, kFrames = 400;
// Seconds a page runs before its processor time is taken, and over which.
constexpr int kCpuSettle = 5, kCpuSeconds = 8;

}  // namespace

double DesktopDuelMedianMs() {
  const std::string folder = MakeRunFolder("duel");
  ProcessUsage usage;
  std::string out;
  double share = 0, median = 0, p99 = 0;
  int frames = 0;
  const bool ran = RunProcess(
      folder, {"xvfb-run", "-a", "-s", "-screen 0 800x600x24", DUEL_IDLE_PATH}, &usage,
      {"SDL_AUDIODRIVER=dummy", "SDL_RENDER_DRIVER=software", "SDL_FRAMEBUFFER_ACCELERATION=0"}, &out);
  if (!ran || std::sscanf(out.c_str(), "menu_idle frames %d cpu_share %lf median_ms %lf p99_ms %lf", &frames,
                          &share, &median, &p99) != 4)
    return 0;
  return median;
}

std::vector<Row> WebRows(const DesktopFigures& desktop, int runs) {
  Row menu = MakeRow("web_menu_frame_median", "frame period on the menu, median (Chromium)", "ms", true, 0.5);
  Row menu_p99 =
      MakeRow("web_menu_frame_p99", "frame period on the menu, 99th pct. (Chromium)", "ms", true, 20);
  Row duel = MakeRow("web_duel_frame_median", "frame period in a duel, median (Chromium)", "ms", true, 0.5);
  Row duel_p99 =
      MakeRow("web_duel_frame_p99", "frame period in a duel, 99th pct. (Chromium)", "ms", true, 20);
  Row cpu = MakeRow("web_menu_cpu", "processor use on the menu, renderer / desktop", "x", true, 2);
  Row start = MakeRow("web_first_frame", "page opened to first menu frame (Chromium)", "ms", true, 2000);
  Row size = MakeRow("web_transfer", "the page's files, all of them", "MB", true, 6);
  Row gzip = MakeRow("web_transfer_gzip", "the page's files, gzip-compressed", "MB", true, 2.5);
  Row wasm = InfoRow("web_wasm_size", "quarrelo.wasm with Asyncify", "KB");
  Row asyncify = InfoRow("web_asyncify_frame", "a menu frame's work (mean), Asyncify's part", "ms");
  Row floor = InfoRow("web_timer_floor", "timers alone at that pace, renderer / desktop", "x");
  std::vector<Row*> rows = {&menu,  &menu_p99, &duel, &duel_p99, &cpu,     &floor,
                            &start, &size,     &gzip, &wasm,     &asyncify};
  const auto give_up = [&](const char* why) {
    std::vector<Row> out;
    for (Row* row : rows) {
      if (!row->measured) row->note = why;
      out.push_back(*row);
    }
    return out;
  };
  if (!fs::exists(kWeb + "/index.html") || !fs::exists(kWebBench + "/plain/quarrelo.wasm"))
    return give_up("no build/web or build/web-bench (make bench builds them)");

  // The files as they travel.
  double bytes = 0, gzipped = 0;
  for (const auto& entry : fs::directory_iterator(kWeb)) {
    bytes += static_cast<double>(entry.file_size());
    gzipped += GzipBytes(entry.path());
  }
  size.value = bytes / 1048576;
  size.ours = format("%.2f MB", size.value);
  size.compared = "-";
  gzip.value = gzipped / 1048576;
  gzip.ours = format("%.2f MB", gzip.value);
  gzip.compared = "-";
  size.measured = bytes > 0;
  gzip.measured = gzipped > 0;
  wasm.value = static_cast<double>(fs::file_size(kWeb + "/quarrelo.wasm")) / 1024;
  wasm.ours = format("%.0f KB", wasm.value);
  wasm.compared = format("without Asyncify %.0f KB",
                         static_cast<double>(fs::file_size(kWebBench + "/plain/quarrelo.wasm")) / 1024);
  wasm.measured = true;

  if (!on_path("chromium")) return give_up("chromium is missing (scripts/setup installs it)");

  // Presents on the menu, then in a duel nobody moves in.
  {
    Page page(kWebBench, "marks/index.html");
    const std::string count = "(Module.benchPresents || []).length >= ";
    if (!page.ok() || !page.WaitFor(count + std::to_string(kSettle + kFrames), 30))
      return give_up("the marked page did not run");
    const size_t menu_end = kSettle + kFrames;
    page.Press("Enter");
    if (!page.WaitFor(count + std::to_string(menu_end + 2 * kSettle + kFrames), 30))
      return give_up("the marked page did not run its duel");
    const std::vector<double> presents = Numbers(page.Eval("JSON.stringify(Module.benchPresents)"));
    const std::vector<double> work = Numbers(page.Eval("JSON.stringify(Module.benchWork)"));
    const Periods on_menu = PeriodsOf(presents, kSettle, menu_end);
    const Periods in_duel = PeriodsOf(presents, menu_end + 2 * kSettle, menu_end + 2 * kSettle + kFrames);
    for (auto [row, p99, periods, theirs] : {std::tuple{&menu, &menu_p99, on_menu, desktop.menu_median_ms},
                                             std::tuple{&duel, &duel_p99, in_duel, desktop.duel_median_ms}}) {
      row->value = std::abs(periods.median - theirs);
      row->ours = format("%.2f ms", periods.median);
      row->compared = format("desktop %.2f ms", theirs);
      row->measured = periods.median > 0 && theirs > 0;
      if (!row->measured) row->note = "no desktop figure (xvfb-run?)";
      p99->value = periods.p99;
      p99->ours = format("%.2f ms", periods.p99);
      p99->compared = "-";
      p99->measured = periods.p99 > 0;
    }
    asyncify.value = TrimmedMean(std::vector<double>(work.begin() + kSettle, work.begin() + menu_end));
  }
  // The same frames' work without Asyncify: that build holds the page's
  // thread and ends itself after 300 frames.
  {
    Page page(kWebBench, "plain/index.html");
    if (!page.ok() || !page.WaitFor("(Module.benchWork || []).length >= 300", 30))
      return give_up("the page without Asyncify did not run");
    const std::vector<double> work = Numbers(page.Eval("JSON.stringify(Module.benchWork)"));
    const double plain = TrimmedMean(std::vector<double>(work.begin() + kSettle, work.end()));
    asyncify.ours = format("%.3f ms with Asyncify", asyncify.value);
    asyncify.compared = format("without %.3f ms", plain);
    asyncify.value -= plain;
    asyncify.measured = true;
  }
  // The player's page: start-up, then the menu's processor use once the
  // page has settled (the browser compiles the hot parts of the wasm again,
  // optimised, in its first seconds).
  std::vector<double> starts, shares;
  for (int run = 0; run < runs; ++run) {
    Page page(kWeb, "index.html", kFirstFrame);
    if (!page.ok() || !page.WaitFor("window.__firstFrame !== undefined", 30))
      return give_up("the page did not show its menu");
    starts.push_back(std::atof(page.Eval("window.__firstFrame").c_str()));
    std::this_thread::sleep_for(std::chrono::seconds(kCpuSettle));
    shares.push_back(page.RendererShare(kCpuSeconds));
  }
  start.value = timing::median(starts);
  start.ours = format("%.0f ms", start.value);
  start.compared = format("- (median of %.0f loads)", runs);
  start.measured = start.value > 0;
  // Beside it, a page that only sets one timer a step as the game does:
  // what the browser itself spends on 64 wake-ups a second.
  std::vector<double> floors;
  for (int run = 0; run < runs; ++run) {
    Page page(kWebBench, "timer_floor.html");
    if (!page.ok() || !page.WaitFor("document.readyState === 'complete'", 30))
      return give_up("the timer page did not load");
    std::this_thread::sleep_for(std::chrono::seconds(kCpuSettle));
    floors.push_back(page.RendererShare(kCpuSeconds));
  }
  for (auto [row, value] :
       {std::pair{&cpu, timing::median(shares)}, std::pair{&floor, timing::median(floors)}}) {
    row->value = desktop.menu_cpu_share > 0 ? value / desktop.menu_cpu_share : 0;
    row->ours = format("%.1f%% of a core", value * 100);
    row->compared = format("desktop %.1f%%", desktop.menu_cpu_share * 100);
    row->measured = row->value > 0;
    if (!row->measured) row->note = "no desktop figure (xvfb-run?)";
  }
  return give_up("");
}

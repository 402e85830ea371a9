// The game in a browser: the page `make web` builds (build/web/), served by
// scripts/web-serve (what `make web-serve` runs) on a free port and played in
// headless Chromium through its DevTools protocol. A script the test adds
// before the page's own records what the console shows, taps the Web Audio
// graph and stands in for navigator.getGamepads: the page has no test hook.
#include <cstdlib>
#include <string>

#include "devtools.h"
#include "files_and_tools.h"
#include "scenario.h"

namespace {

// Added before the page's scripts: console.log lines (the run log), the
// loudest sample that reached the audio output, a controller the test
// moves, and looks at the canvas.
const char* kHarness = R"JS((() => {
window.__runLog = '';
const log = console.log.bind(console);
console.log = (...args) => { window.__runLog += args.join(' ') + '\n'; log(...args); };
window.__audioPeak = 0;
const connect = AudioNode.prototype.connect;
AudioNode.prototype.connect = function (target, ...rest) {
  if (target instanceof AudioDestinationNode) {
    const tap = this.context.createAnalyser(), samples = new Float32Array(tap.fftSize);
    connect.call(this, tap);
    setInterval(() => {
      tap.getFloatTimeDomainData(samples);
      for (const v of samples) window.__audioPeak = Math.max(window.__audioPeak, Math.abs(v));
    }, 20);
  }
  return connect.call(this, target, ...rest);
};
window.__pad = null;  // {axes: [4], buttons: [17]} or null
navigator.getGamepads = () => [window.__pad && {index: 0, id: 'test pad', connected: true, mapping: 'standard',
  axes: window.__pad.axes, buttons: window.__pad.buttons.map(v => ({pressed: v > 0.5, value: v}))}];
const pixels = (x, y, w, h) => document.getElementById('screen').getContext('2d').getImageData(x, y, w, h).data;
window.__hash = (x, y, w, h) => {
  let hash = 2166136261;
  for (const byte of pixels(x, y, w, h)) hash = Math.imul(hash ^ byte, 16777619);
  return (hash >>> 0).toString(16);
};
window.__pixels = () => Array.from(pixels(0, 0, 800, 600), b => b.toString(16).padStart(2, '0')).join('');
})();
)JS";

const std::string kWebDir = std::string(QUARRELO_SOURCE_DIR) + "/build/web";

// The player's page with the harness before it; a hash of the canvas's
// pixels (the area given), and a wait for it to change.
class Session : public devtools::Page {
 public:
  explicit Session(const std::string& script = "", const std::string& blocked = "",
                   const std::string& page = "index.html")
      : Page(kWebDir, page, kHarness + script, blocked) {}
  bool WaitForMenu() { return WaitFor("window.__runLog.includes('Game Specific Objects Initialized')"); }
  std::string Hash(const std::string& area = "0,0,800,600") { return Eval("__hash(" + area + ")"); }
  bool Changes(const std::string& hash, const std::string& area = "0,0,800,600") {
    return WaitFor("__hash(" + area + ") != '" + hash + "'");
  }
};

bool CanRun(std::string& why) {
  if (!on_path("chromium"))
    why = "chromium is missing (scripts/setup installs it)";
  else if (!on_path("python3"))
    why = "python3 is missing (scripts/setup installs it)";
  else if (read_file(kWebDir + "/index.html").empty())
    why = "no build/web/index.html: run make web first";
  return why.empty();
}

#define START_SESSION(session)                       \
  std::string why;                                   \
  if (!CanRun(why)) GTEST_SKIP() << why;             \
  Session session;                                   \
  ASSERT_TRUE(session.ok()) << "no browser session"; \
  ASSERT_TRUE(session.WaitForMenu()) << session.Eval("document.body.innerText")

}  // namespace

// The title menu looks as the Linux build's first menu frame (JPEG decoders
// may differ by a few levels: see tests/d3d9/stb_decoder_test.cpp), also
// when the page asks for the computer (its plate then shows on the menu).
struct Start {
  const char* name;
  const char* page;
  const char* command_line;
};
void PrintTo(const Start& start, std::ostream* out) { *out << start.name; }
class BrowserMenu : public Scenario, public ::testing::WithParamInterface<Start> {};
TEST_P(BrowserMenu, LooksAsOnLinux) {
  headless::Image linux_frame;
  AtFrame(2, [&] { linux_frame = headless::last_frame(); });
  QuitFrom(3);
  ASSERT_EQ(RunGame(3000, GetParam().command_line), 0);

  std::string why;
  if (!CanRun(why)) GTEST_SKIP() << why;
  Session session("", "", GetParam().page);
  ASSERT_TRUE(session.ok()) << "no browser session";
  ASSERT_TRUE(session.WaitForMenu()) << session.Eval("document.body.innerText");
  Session::Pause(300);
  const std::string rgba = session.Eval("__pixels()");  // two hex digits a byte
  ASSERT_EQ(rgba.size(), 800u * 600u * 8u);
  ASSERT_EQ(linux_frame.pixels.size(), 800u * 600u);
  int worst = 0;
  for (size_t i = 0; i < linux_frame.pixels.size(); ++i)
    for (int c = 0; c < 3; ++c)
      worst = std::max(worst, std::abs(std::stoi(rgba.substr(i * 8 + c * 2, 2), nullptr, 16) -
                                       static_cast<int>(linux_frame.pixels[i] >> (16 - 8 * c) & 0xFF)));
  EXPECT_LE(worst, 4);
}
INSTANTIATE_TEST_SUITE_P(Page, BrowserMenu,
                         ::testing::Values(Start{"TwoPlayers", "index.html", ""},
                                           Start{"AgainstTheComputer", "index.html?computer=right&level=3",
                                                 "--computer right --level 3"}),
                         [](const auto& info) { return std::string(info.param.name); });

// Both kids walk to the top wall and turn to face each other, the left one
// throws along it and hits: the scoreboard changes and the hit is heard.
// Esc goes to the menu, Esc there ends the game, and the console has shown
// the run log line by line, exactly as on Linux.
TEST(Browser, DuelPointAndTheRunLogOnTheConsole) {
  START_SESSION(session);
  session.Press("Enter");
  for (const char* turn : {"KeyA", "KeyA", "ArrowRight", "ArrowRight"}) session.Press(turn);
  session.Key("KeyW", true);
  session.Key("ArrowUp", true);
  Session::Pause(3000);
  session.Key("KeyW", false);
  session.Key("ArrowUp", false);
  for (const char* turn : {"KeyD", "KeyD", "ArrowLeft", "ArrowLeft"}) session.Press(turn);
  const std::string score = session.Hash("280,24,24,60");
  EXPECT_EQ(session.Eval("__audioPeak"), "0");
  session.Press("KeyF");
  EXPECT_TRUE(session.Changes(score, "280,24,24,60")) << "no point scored";
  EXPECT_TRUE(session.WaitFor("__audioPeak > 0.05")) << "the hit was not heard";
  session.Press("Escape");
  session.Press("Escape");
  EXPECT_TRUE(session.WaitFor("document.getElementById('notice-text').textContent == 'The game has ended.'"));
  EXPECT_EQ(session.Eval("__runLog"), StartupLog() + ShutdownLog());
}

// Another tab in front hides the page and takes its focus: the full-screen
// device is lost and the game pauses; brought back, the device is reset and
// the duel looks as it did.
TEST(Browser, HiddenAndShownAgainTheDuelComesBack) {
  START_SESSION(session);
  session.Press("Enter");
  session.Press("KeyW", 400);
  const std::string duel = session.Hash();
  session.Focused(false);
  session.browser().Call("Target.createTarget", R"({"url":"about:blank"})");
  EXPECT_TRUE(session.WaitFor("document.visibilityState == 'hidden'"));
  EXPECT_TRUE(session.WaitFor("__runLog.includes('Direct3D device lost')"));
  session.browser().Call("Target.activateTarget", "{\"targetId\":\"" + session.target() + "\"}");
  session.Focused(true);
  EXPECT_TRUE(session.WaitFor("__runLog.includes('Direct3D device reset')"));
  EXPECT_TRUE(session.WaitFor("__hash(0,0,800,600) == '" + duel + "'"));
  EXPECT_NE(session.Eval("__runLog").find(DeviceLossLog()), std::string::npos) << session.Eval("__runLog");
}

// A controller plugged in while the game runs: Start begins a duel and the
// stick walks the left kid; unplugged with the stick held, the kid stops.
TEST(Browser, ControllerWalksAKid) {
  START_SESSION(session);
  const std::string menu = session.Hash();
  session.Eval("__pad = {axes: [0, 0, 0, 0], buttons: new Array(17).fill(0)}, __pad.buttons[9] = 1");
  Session::Pause(150);
  session.Eval("__pad.buttons[9] = 0");
  ASSERT_TRUE(session.Changes(menu));
  Session::Pause(200);
  const std::string still = session.Hash();
  session.Eval("__pad.axes[1] = -1");
  EXPECT_TRUE(session.Changes(still)) << "the kid did not walk";
  session.Eval("__pad = null");
  Session::Pause(200);
  const std::string stopped = session.Hash();
  Session::Pause(300);
  EXPECT_EQ(session.Hash(), stopped) << "the kid walks on without the controller";
}

// A start-up that cannot happen says why on the page itself.
struct StartFailure {
  const char* name;
  const char* script;
  const char* blocked;
  const char* message;
};
void PrintTo(const StartFailure& failure, std::ostream* out) { *out << failure.name; }
class BrowserStart : public ::testing::TestWithParam<StartFailure> {};
TEST_P(BrowserStart, FailureShowsOnThePage) {
  std::string why;
  if (!CanRun(why)) GTEST_SKIP() << why;
  Session session(GetParam().script, GetParam().blocked);
  ASSERT_TRUE(session.ok());
  EXPECT_TRUE(session.WaitFor("document.getElementById('notice-text').textContent.includes(" +
                              devtools::Quote(GetParam().message) + ")"))
      << session.Eval("document.body.innerText");
}
INSTANTIATE_TEST_SUITE_P(Page, BrowserStart,
                         ::testing::Values(StartFailure{"NoWebAssembly", "delete window.WebAssembly;", "",
                                                        "it has no WebAssembly"},
                                           StartFailure{"MissingSound", "", "*hit2.wav",
                                                        "The game's file hit2.wav could not be loaded"}),
                         [](const ::testing::TestParamInfo<StartFailure>& info) {
                           return std::string(info.param.name);
                         });

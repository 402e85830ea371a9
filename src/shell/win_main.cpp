// The program's entry: start-up in its fixed order, the main loop and the
// end of the run.
#include <iostream>

#include "game/computer/opponent.h"
#include "game/game.h"
#include "graphics/graphics.h"
#include "input/input.h"
#include "shell/command_line.h"
#include "shell/run_log.h"
#include "shell/window.h"
#include "sound/sound.h"

static const int WINDOW_WIDTH = 800;
static const int WINDOW_HEIGHT = 600;
// The exit code of a command line with a wrong option: nothing was started.
static const int BAD_OPTION = 2;

// Runs the start-up routines in order; false after writing the failing
// step's line.
static bool Start_Subsystems(HWND window) {
  if (!Init_Graphics(window, WINDOW_WIDTH, WINDOW_HEIGHT)) {
    std::cerr << "Error Initializing Direct3D\n";
    return false;
  }
  if (!Init_Sound(window)) {
    std::cerr << "Error Initializing DirectSound\n";
    return false;
  }
  if (!Init_Input(window)) {
    std::cerr << "Error Initializing DirectInput\n";
    return false;
  }
  if (!Init_Mouse(window)) {
    std::cerr << "Error Initializing Mouse\n";
    return false;
  }
  if (!Init_Keyboard(window)) {
    std::cerr << "Error Initializing Keyboard\n";
    return false;
  }
  if (!Game_Init(window)) {
    std::cerr << "Error running Game_Init\n";
    return false;
  }
  return true;
}

// Dispatches one waiting message per pass, or runs one frame when none
// waits, until WM_QUIT; gives WM_QUIT's exit code.
static int Run_MainLoop(HWND window) {
  MSG msg;
  bool done = false;
  while (!done) {
    if (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) done = true;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    } else {
      Game_Update(window);
    }
  }
  return (int)msg.wParam;
}

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE /*hPrevInstance*/, LPSTR lpCmdLine, int nShowCmd) {
  // Before anything starts, and before the run log takes standard error.
  Options options;
  std::string error;
  if (!Read_Options(lpCmdLine, &options, &error)) {
    Report_OptionError(error);
    return BAD_OPTION;
  }
  Computer_Choose(options.computerSide, options.computerLevel);

  Register_WindowClass(hInstance);

  HWND window = CreateWindowExA(0, "Quarrelo", "Quarrelo", WS_POPUP | WS_VISIBLE, CW_USEDEFAULT,
                                CW_USEDEFAULT, WINDOW_WIDTH, WINDOW_HEIGHT, NULL, NULL, hInstance, NULL);
  if (window == NULL) return 0;

  ShowWindow(window, nShowCmd);
  UpdateWindow(window);

  RunLog log;
  std::cerr << "Log file created successfully!\n\n";

  // A failed step leaves what the earlier ones made to the end of the
  // process.
  if (!Start_Subsystems(window)) return 0;

  return Run_MainLoop(window);
}

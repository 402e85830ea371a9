// The Win32 stand-in's windows and message queue on the headless backend.
#include <gtest/gtest.h>

#include "fixture.h"

using namespace platform_test;

namespace {

class Win32Window : public PlatformTest {};

TEST_F(Win32Window, ClassAndWindowAreMadeTheGameWay) {
  EXPECT_NE(register_class(), 0);
  EXPECT_EQ(register_class(), 0) << "a class name can be registered once";
  HWND window = create_window();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(headless::window_exists());
  EXPECT_TRUE(headless::window_shown()) << "WS_VISIBLE shows the window";
  EXPECT_EQ(headless::window_width(), 800);
  EXPECT_EQ(headless::window_height(), 600);
  EXPECT_EQ(headless::window_title(), "Quarrelo");
  EXPECT_EQ(ShowWindow(window, SW_SHOWDEFAULT), TRUE) << "it was visible before";
  EXPECT_TRUE(UpdateWindow(window));
  ASSERT_FALSE(received().empty());
  EXPECT_EQ(received().front(), (UINT)WM_CREATE);
  EXPECT_EQ(GetForegroundWindow(), window);
}

TEST_F(Win32Window, StockObjectsAndCursorsExist) {
  EXPECT_NE(LoadCursorA(NULL, IDC_ARROW), nullptr);
  EXPECT_EQ(LoadCursorA(NULL, "NoSuchCursor"), nullptr);
  EXPECT_NE(GetStockObject(BLACK_BRUSH), nullptr);
  EXPECT_NE(GetModuleHandleA(NULL), nullptr);
  EXPECT_EQ(GetModuleHandleA("other.dll"), nullptr);
}

TEST_F(Win32Window, CreationFailsWithoutClassOrWhenFaulted) {
  EXPECT_EQ(create_window(), nullptr) << "no class registered";
  register_class();
  headless::fail("CreateWindowExA");
  EXPECT_EQ(create_window(), nullptr);
  EXPECT_FALSE(headless::window_exists());
  EXPECT_NE(create_window(), nullptr) << "the fault was for one call";
}

TEST_F(Win32Window, PostedMessagesComeInOrderThenQuit) {
  register_class();
  HWND window = create_window();
  received().clear();
  EXPECT_TRUE(PostMessageA(window, WM_USER + 1, 10, 20));
  EXPECT_TRUE(PostMessageA(window, WM_USER + 2, 0, 0));
  PostQuitMessage(7);
  EXPECT_TRUE(PostMessageA(window, WM_USER + 3, 0, 0));

  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, (UINT)WM_USER + 1) << "PM_NOREMOVE leaves it";
  ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, (UINT)WM_USER + 1);
  EXPECT_EQ(msg.hwnd, window);
  EXPECT_EQ(msg.wParam, (WPARAM)10);
  EXPECT_EQ(msg.lParam, (LPARAM)20);
  EXPECT_EQ(DispatchMessageA(&msg), 0);
  ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, (UINT)WM_USER + 2);
  ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, (UINT)WM_USER + 3) << "posted messages go before WM_QUIT";
  ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, (UINT)WM_QUIT);
  EXPECT_EQ(msg.hwnd, nullptr);
  EXPECT_EQ(msg.wParam, (WPARAM)7);
  EXPECT_FALSE(TranslateMessage(&msg));
  EXPECT_EQ(DispatchMessageA(&msg), 0) << "WM_QUIT has no window procedure";
  EXPECT_FALSE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) << "WM_QUIT is handed out once";
  EXPECT_EQ(received(), (std::vector<UINT>{WM_USER + 1}));
}

TEST_F(Win32Window, QuitComesBeforeAnEmptyQueue) {
  register_class();
  create_window();
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
  PostQuitMessage(0);
  ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, (UINT)WM_QUIT);
  EXPECT_EQ(msg.wParam, (WPARAM)0);
}

TEST_F(Win32Window, FiltersByWindowAndRange) {
  register_class();
  HWND window = create_window();
  PostMessageA(NULL, WM_USER + 5, 0, 0);  // a thread message
  PostMessageA(window, WM_USER + 6, 0, 0);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, window, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, (UINT)WM_USER + 6);
  EXPECT_FALSE(PeekMessageA(&msg, NULL, WM_USER + 6, WM_USER + 9, PM_REMOVE));
  ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, (UINT)WM_USER + 5);
  EXPECT_EQ(msg.hwnd, nullptr);
}

TEST_F(Win32Window, DispatchCallsTheWindowProcedure) {
  register_class();
  HWND window = create_window();
  received().clear();
  PostMessageA(window, WM_DESTROY, 0, 0);  // the game's way out
  EXPECT_EQ(pump_messages(), (std::vector<UINT>{WM_DESTROY, WM_QUIT}));
  EXPECT_EQ(received(), (std::vector<UINT>{WM_DESTROY}));
  EXPECT_TRUE(headless::window_exists()) << "a posted WM_DESTROY does not destroy the window";
}

TEST_F(Win32Window, CloseRequestDestroysTheWindowAndSendsDestroy) {
  register_class();
  HWND window = create_window();
  received().clear();
  headless::request_close();
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, (UINT)WM_CLOSE);
  EXPECT_EQ(msg.hwnd, window);
  DispatchMessageA(&msg);  // default processing destroys the window
  EXPECT_EQ(received(), (std::vector<UINT>{WM_CLOSE, WM_DESTROY, WM_NCDESTROY}));
  EXPECT_FALSE(headless::window_exists());
  EXPECT_EQ(GetForegroundWindow(), nullptr);
  ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, (UINT)WM_QUIT) << "the procedure's PostQuitMessage";
  EXPECT_FALSE(PostMessageA(window, WM_USER, 0, 0)) << "the window is gone";
  EXPECT_FALSE(DestroyWindow(window));
}

TEST_F(Win32Window, CloseRequestScheduledByFrame) {
  register_class();
  create_window();
  headless::close_at(2);
  MSG msg;
  present_frame();
  EXPECT_FALSE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
  present_frame();
  ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, (UINT)WM_CLOSE);
}

TEST_F(Win32Window, PendingMessagesGoBeforeAFrame) {
  // The shell's loop: a message or a frame per pass; frames run only on
  // passes that find the queue empty.
  register_class();
  HWND window = create_window();
  for (int i = 0; i < 5; ++i) PostMessageA(window, WM_USER, 0, 0);
  int frames = 0, messages = 0;
  for (int pass = 0; pass < 8; ++pass) {
    MSG msg;
    if (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
      ++messages;
      EXPECT_EQ(frames, 0);
      DispatchMessageA(&msg);
    } else {
      ++frames;
    }
  }
  EXPECT_EQ(messages, 5);
  EXPECT_EQ(frames, 3);
}

TEST_F(Win32Window, FocusDecidesTheForegroundWindow) {
  register_class();
  HWND window = create_window();
  EXPECT_EQ(GetForegroundWindow(), window);
  headless::focus_at(1, false);
  headless::focus_at(3, true);
  pump_messages();
  EXPECT_EQ(GetForegroundWindow(), window);
  present_frame();
  pump_messages();
  EXPECT_EQ(GetForegroundWindow(), nullptr);
  present_frame();
  present_frame();
  pump_messages();
  EXPECT_EQ(GetForegroundWindow(), window);
}

TEST_F(Win32Window, WindowWithoutFocusAtStart) {
  headless::focus_on_show(false);
  register_class();
  create_window();
  EXPECT_EQ(GetForegroundWindow(), nullptr);
}

TEST_F(Win32Window, IntersectRectOverlapping) {
  RECT a{10, 10, 26, 26}, b{20, 5, 40, 15}, r{};
  EXPECT_TRUE(IntersectRect(&r, &a, &b));
  EXPECT_EQ(r.left, 20);
  EXPECT_EQ(r.top, 10);
  EXPECT_EQ(r.right, 26);
  EXPECT_EQ(r.bottom, 15);
  RECT inside{12, 12, 14, 14};
  EXPECT_TRUE(IntersectRect(&r, &a, &inside));
  EXPECT_EQ(r.left, 12);
  EXPECT_EQ(r.bottom, 14);
}

TEST_F(Win32Window, IntersectRectTouchingIsEmpty) {
  RECT a{0, 0, 16, 16}, right{16, 0, 32, 16}, below{0, 16, 16, 32}, corner{16, 16, 20, 20};
  RECT r{1, 2, 3, 4};
  EXPECT_FALSE(IntersectRect(&r, &a, &right));
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, 0);
  EXPECT_EQ(r.bottom, 0);
  EXPECT_FALSE(IntersectRect(&r, &a, &below));
  EXPECT_FALSE(IntersectRect(&r, &a, &corner));
}

TEST_F(Win32Window, IntersectRectDisjoint) {
  RECT a{0, 0, 10, 10}, b{100, 100, 120, 130}, r{5, 5, 5, 5};
  EXPECT_FALSE(IntersectRect(&r, &a, &b));
  EXPECT_EQ(r.right, 0);
  RECT negative{-30, -30, -20, -20};
  EXPECT_FALSE(IntersectRect(&r, &a, &negative));
}

TEST_F(Win32Window, LayoutMatchesThePlatform) {
  EXPECT_EQ(sizeof(DWORD), 4u);
  EXPECT_EQ(sizeof(LONG), 4u);
  EXPECT_EQ(sizeof(HRESULT), 4u);
  EXPECT_EQ(sizeof(WPARAM), sizeof(void*));
  EXPECT_EQ(sizeof(LPARAM), sizeof(void*));
  EXPECT_EQ(sizeof(LRESULT), sizeof(void*));
  EXPECT_EQ(sizeof(RECT), 16u);
  EXPECT_EQ(WM_DESTROY, 2);
  EXPECT_EQ(WM_QUIT, 18);
  EXPECT_EQ(WM_CLOSE, 16);
  EXPECT_EQ(CS_HREDRAW | CS_VREDRAW, 3);
  EXPECT_EQ((ULONG_PTR)IDC_ARROW, 32512u);
  EXPECT_EQ(IDYES, 6);
}

}  // namespace

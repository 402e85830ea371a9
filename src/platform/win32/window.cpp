// Window classes, the one window and the thread's message queue.
//
// One window at a time (the backend has one). Handles are small numbers
// that are never reused. Posted messages are kept in order; WM_QUIT comes
// after every posted message and before the queue is ever reported empty.
// Messages still queued for a window are dropped when it is destroyed.
#include <cctype>
#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/backend.h"
#include "platform/fault_points.h"
#include "platform/win32/input_state.h"
#include "platform/win32/resources.h"
#include "platform/win32/test_queries.h"
#include "platform/win32/windows_internal.h"
#include "windows.h"

namespace {

struct WindowClass {
  std::string name;
  ATOM atom;
  WNDCLASSEXA record;
};

struct Window {
  HWND handle = nullptr;
  WNDPROC proc = nullptr;
  DWORD style = 0;
  bool visible = false;
  bool destroying = false;
};

std::vector<WindowClass> g_classes;
ATOM g_next_atom = 0xC000;
Window g_window;  // handle == nullptr: none
uintptr_t g_next_handle = 0x10010;
std::deque<MSG> g_queue;
bool g_quit = false;
int g_quit_code = 0;
std::function<void(const MSG&)> g_dispatch_watcher;  // win32_test::on_dispatch

bool same_name(const std::string& a, const char* b) {
  const size_t n = std::strlen(b);
  if (a.size() != n) return false;
  for (size_t i = 0; i < n; ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

const WindowClass* find_class(LPCSTR name) {
  if (!name) return nullptr;
  for (const WindowClass& c : g_classes) {
    if (IS_INTRESOURCE(name) ? c.atom == static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name))
                             : same_name(c.name, name))
      return &c;
  }
  return nullptr;
}

bool alive(HWND window) { return window != nullptr && window == g_window.handle; }

bool matches(const MSG& m, HWND filter, UINT min, UINT max) {
  if (filter == reinterpret_cast<HWND>(-1)) {
    if (m.hwnd != nullptr) return false;
  } else if (filter != nullptr && m.hwnd != filter) {
    return false;
  }
  if (min == 0 && max == 0) return true;
  return m.message >= min && m.message <= max;
}

// Fake handles for the cursors and stock objects: addresses of these.
struct Token {
  int unused;
};
Token g_cursors[32];
Token g_stock[20];

}  // namespace

// ---- Internal ------------------------------------------------------------------

namespace win32_internal {

bool is_window(HWND window) { return alive(window); }
HWND current_window() { return g_window.handle; }

void close_requested() {
  if (g_window.handle && !g_window.destroying) PostMessageA(g_window.handle, WM_CLOSE, 0, 0);
}

void reset_for_tests() {
  g_classes.clear();
  g_next_atom = 0xC000;
  if (g_window.handle) backend::window_destroy();
  g_window = Window{};
  g_queue.clear();
  g_quit = false;
  g_quit_code = 0;
  g_dispatch_watcher = nullptr;
  input_state::reset();
  win32_resources::clear();
}

}  // namespace win32_internal

// ---- Classes and windows ----------------------------------------------------------

ATOM WINAPI RegisterClassExA(CONST WNDCLASSEXA* lpwcx) {
  if (!lpwcx || lpwcx->cbSize != sizeof(WNDCLASSEXA) || !lpwcx->lpfnWndProc || !lpwcx->lpszClassName ||
      IS_INTRESOURCE(lpwcx->lpszClassName) || lpwcx->lpszClassName[0] == '\0')
    return 0;
  if (fault_point::fails(fault_point::kRegisterClassExA)) return 0;
  if (find_class(lpwcx->lpszClassName)) return 0;  // the name is taken
  WindowClass c{lpwcx->lpszClassName, g_next_atom++, *lpwcx};
  c.record.lpszClassName = nullptr;  // the name lives in c.name
  g_classes.push_back(std::move(c));
  return g_classes.back().atom;
}

HWND WINAPI CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X,
                            int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance,
                            LPVOID lpParam) {
  const WindowClass* cls = find_class(lpClassName);
  if (!cls) return nullptr;
  if (g_window.handle) return nullptr;  // one window at a time
  if (fault_point::fails(fault_point::kCreateWindowExA)) return nullptr;
  // A pop-up window asked for the default size gets the game's size.
  const int width = nWidth == CW_USEDEFAULT || nWidth <= 0 ? 800 : nWidth;
  const int height = nHeight == CW_USEDEFAULT || nHeight <= 0 ? 600 : nHeight;
  if (!backend::window_create(width, height, lpWindowName ? lpWindowName : "")) return nullptr;

  g_window = Window{};
  g_window.handle = reinterpret_cast<HWND>(g_next_handle);
  g_next_handle += 2;
  g_window.proc = cls->record.lpfnWndProc;
  g_window.style = dwStyle;
  HWND window = g_window.handle;

  // The record's fields in their order, as written (clang-format off).
  // clang-format off
  CREATESTRUCTA create{lpParam, hInstance, hMenu, hWndParent, height, width,
                       Y == CW_USEDEFAULT ? 0 : Y, X == CW_USEDEFAULT ? 0 : X,
                       static_cast<LONG>(dwStyle), lpWindowName, lpClassName, dwExStyle};
  // clang-format on
  if (g_window.proc(window, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
    DestroyWindow(window);
    return nullptr;
  }
  if (!alive(window)) return nullptr;
  if (dwStyle & WS_VISIBLE) {
    g_window.visible = true;
    backend::window_show();
  }
  return window;
}

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
  if (!alive(hWnd)) return FALSE;
  const BOOL was_visible = g_window.visible ? TRUE : FALSE;
  if (nCmdShow != SW_HIDE) {
    g_window.visible = true;
    backend::window_show();
  }
  return was_visible;
}

BOOL WINAPI UpdateWindow(HWND hWnd) { return alive(hWnd) ? TRUE : FALSE; }

BOOL WINAPI DestroyWindow(HWND hWnd) {
  if (!alive(hWnd) || g_window.destroying) return FALSE;
  g_window.destroying = true;
  g_window.proc(hWnd, WM_DESTROY, 0, 0);
  g_window.proc(hWnd, WM_NCDESTROY, 0, 0);
  g_window = Window{};
  backend::window_destroy();
  std::erase_if(g_queue, [hWnd](const MSG& m) { return m.hwnd == hWnd; });
  input_state::pump();  // the focus goes with the window
  return TRUE;
}

HCURSOR WINAPI LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName) {
  // The program carries no cursors of its own; the system has the standard
  // ones, numbered 32512 (IDC_ARROW) onwards.
  if (hInstance != nullptr || !IS_INTRESOURCE(lpCursorName)) return nullptr;
  const ULONG_PTR id = reinterpret_cast<ULONG_PTR>(lpCursorName);
  if (id < 32512 || id >= 32512 + 32 * 5) return nullptr;
  return reinterpret_cast<HCURSOR>(&g_cursors[(id - 32512) % 32]);
}

HGDIOBJ WINAPI GetStockObject(int i) {
  if (i < 0 || i >= 20 || i == 9) return nullptr;
  return &g_stock[i];
}

HWND WINAPI GetForegroundWindow(VOID) {
  return g_window.handle && backend::window_focused() ? g_window.handle : nullptr;
}

// ---- Message queue ------------------------------------------------------------------

BOOL WINAPI PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
  if (!lpMsg) return FALSE;
  input_state::pump();
  for (auto it = g_queue.begin(); it != g_queue.end(); ++it) {
    if (!matches(*it, hWnd, wMsgFilterMin, wMsgFilterMax)) continue;
    *lpMsg = *it;
    if (wRemoveMsg & PM_REMOVE) g_queue.erase(it);
    return TRUE;
  }
  if (g_quit) {
    MSG quit{};
    quit.message = WM_QUIT;
    quit.wParam = static_cast<WPARAM>(g_quit_code);
    if (matches(quit, nullptr, wMsgFilterMin, wMsgFilterMax)) {
      *lpMsg = quit;
      if (wRemoveMsg & PM_REMOVE) g_quit = false;
      return TRUE;
    }
  }
  return FALSE;
}

BOOL WINAPI TranslateMessage(CONST MSG*) {
  // No keyboard messages are posted, so there is nothing to translate.
  return FALSE;
}

void win32_test::on_dispatch(std::function<void(const MSG&)> watcher) {
  g_dispatch_watcher = std::move(watcher);
}

LRESULT WINAPI DispatchMessageA(CONST MSG* lpMsg) {
  if (lpMsg && g_dispatch_watcher) {
    // A copy, so that the watcher may replace itself.
    const std::function<void(const MSG&)> watcher = g_dispatch_watcher;
    watcher(*lpMsg);
  }
  if (!lpMsg || !alive(lpMsg->hwnd)) return 0;
  return g_window.proc(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM, LPARAM) {
  if (Msg == WM_CLOSE) DestroyWindow(hWnd);
  return 0;
}

BOOL WINAPI PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (hWnd != nullptr && !alive(hWnd)) return FALSE;
  MSG m{};
  m.hwnd = hWnd;
  m.message = Msg;
  m.wParam = wParam;
  m.lParam = lParam;
  g_queue.push_back(m);
  return TRUE;
}

VOID WINAPI PostQuitMessage(int nExitCode) {
  g_quit = true;
  g_quit_code = nExitCode;
}

// ---- Rectangles ------------------------------------------------------------------------

BOOL WINAPI IntersectRect(LPRECT lprcDst, CONST RECT* lprcSrc1, CONST RECT* lprcSrc2) {
  if (!lprcDst || !lprcSrc1 || !lprcSrc2) return FALSE;
  RECT r;
  r.left = lprcSrc1->left > lprcSrc2->left ? lprcSrc1->left : lprcSrc2->left;
  r.top = lprcSrc1->top > lprcSrc2->top ? lprcSrc1->top : lprcSrc2->top;
  r.right = lprcSrc1->right < lprcSrc2->right ? lprcSrc1->right : lprcSrc2->right;
  r.bottom = lprcSrc1->bottom < lprcSrc2->bottom ? lprcSrc1->bottom : lprcSrc2->bottom;
  if (r.left >= r.right || r.top >= r.bottom) {
    *lprcDst = RECT{0, 0, 0, 0};
    return FALSE;
  }
  *lprcDst = r;
  return TRUE;
}

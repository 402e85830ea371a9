// DirectInput 8 stand-in: the system keyboard and mouse over the input state
// that the win32 family keeps from the backend's events.
//
// Cooperative levels: a foreground device acquires only while the window has
// the focus, and is lost when the focus goes: the next GetDeviceState fails
// with DIERR_INPUTLOST, later ones with DIERR_NOTACQUIRED, until Acquire
// succeeds again. A failed GetDeviceState fills the record with zeros (no
// keys down, no movement). An exclusive foreground mouse captures and hides
// the pointer while acquired. Background devices are never lost, but they
// see input only while the window has the focus (the window system gives
// none otherwise).
#include <array>
#include <cstdio>
#include <cstring>

#include "dinput.h"
#include "platform/backend.h"
#include "platform/com_object.h"
#include "platform/dinput/test_queries.h"
#include "platform/fault_points.h"
#include "platform/pads/pad_keys.h"
#include "platform/win32/input_state.h"
#include "platform/win32/windows_internal.h"

const GUID IID_IDirectInput8A = {
    0xBF798030, 0x483A, 0x4DA2, {0xAA, 0x99, 0x5D, 0x64, 0xED, 0x36, 0x97, 0x00}};
const GUID IID_IDirectInput8W = {
    0xBF798031, 0x483A, 0x4DA2, {0xAA, 0x99, 0x5D, 0x64, 0xED, 0x36, 0x97, 0x00}};
const GUID IID_IDirectInputDevice8A = {
    0x54D41080, 0xDC15, 0x4833, {0xA4, 0x1B, 0x74, 0x8F, 0x73, 0xA3, 0x81, 0x79}};
const GUID IID_IDirectInputDevice8W = {
    0x54D41081, 0xDC15, 0x4833, {0xA4, 0x1B, 0x74, 0x8F, 0x73, 0xA3, 0x81, 0x79}};
const GUID GUID_SysMouse = {0x6F1D2B60, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const GUID GUID_SysKeyboard = {0x6F1D2B61, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

namespace {

// Object types as the platform's data formats give them.
constexpr DWORD kAxis = 0x00000003;    // DIDFT_AXIS
constexpr DWORD kButton = 0x0000000C;  // DIDFT_BUTTON
constexpr DWORD kAnyInstance = 0x00FFFF00;
constexpr DWORD kOptional = 0x80000000;  // DIDFT_OPTIONAL

// The keyboard's objects: an optional button at each of the 256 scan codes.
constexpr std::array<DIOBJECTDATAFORMAT, 256> KeyboardObjects() {
  std::array<DIOBJECTDATAFORMAT, 256> objects{};
  for (DWORD i = 0; i < objects.size(); ++i) objects[i] = {nullptr, i, kButton | kOptional | (i << 8), 0};
  return objects;
}

constexpr std::array<DIOBJECTDATAFORMAT, 256> kKeyboardObjects = KeyboardObjects();
constexpr DIOBJECTDATAFORMAT kMouseObjects[7] = {
    {nullptr, 0, kAxis | kAnyInstance, 0},                 // X
    {nullptr, 4, kAxis | kAnyInstance, 0},                 // Y
    {nullptr, 8, kAxis | kAnyInstance | kOptional, 0},     // wheel
    {nullptr, 12, kButton | kAnyInstance, 0},              // button 0
    {nullptr, 13, kButton | kAnyInstance, 0},              // button 1
    {nullptr, 14, kButton | kAnyInstance | kOptional, 0},  // button 2
    {nullptr, 15, kButton | kAnyInstance | kOptional, 0},  // button 3
};

enum class Kind { Keyboard, Mouse };

// What tests may ask (platform/dinput/test_queries.h).
dinput_test::CooperativeLevel g_levels[2];  // by Kind
int g_live_devices = 0;

class Device final : public com::Object<IDirectInputDevice8A> {
 public:
  explicit Device(Kind kind) : Object(IID_IDirectInputDevice8A), kind_(kind) { ++g_live_devices; }

  HRESULT STDMETHODCALLTYPE SetDataFormat(LPCDIDATAFORMAT lpdf) override {
    if (const FaultPoint& f = pick(fault_point::kSetDataFormatMouse, fault_point::kSetDataFormatKeyboard);
        fault_point::fails(f))
      return f.result;
    if (!lpdf) return DIERR_INVALIDPARAM;
    if (acquired_) return DIERR_ACQUIRED;
    const DIDATAFORMAT& wanted = kind_ == Kind::Keyboard ? c_dfDIKeyboard : c_dfDIMouse;
    if (lpdf != &wanted && (lpdf->dwDataSize != wanted.dwDataSize || lpdf->dwNumObjs != wanted.dwNumObjs))
      return DIERR_INVALIDPARAM;  // only the standard formats are offered
    format_ = &wanted;
    return DI_OK;
  }

  HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND hwnd, DWORD dwFlags) override {
    if (const FaultPoint& f =
            pick(fault_point::kSetCooperativeLevelMouse, fault_point::kSetCooperativeLevelKeyboard);
        fault_point::fails(f))
      return f.result;
    const DWORD share = dwFlags & (DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE);
    const DWORD place = dwFlags & (DISCL_FOREGROUND | DISCL_BACKGROUND);
    if (share == 0 || share == (DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE) || place == 0 ||
        place == (DISCL_FOREGROUND | DISCL_BACKGROUND) ||
        (dwFlags &
         ~(DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE | DISCL_FOREGROUND | DISCL_BACKGROUND | DISCL_NOWINKEY)))
      return DIERR_INVALIDPARAM;
    if (kind_ == Kind::Keyboard && share == DISCL_EXCLUSIVE && place == DISCL_BACKGROUND)
      return DIERR_UNSUPPORTED;
    if ((share == DISCL_EXCLUSIVE || place == DISCL_FOREGROUND) && !win32_internal::is_window(hwnd))
      return E_HANDLE;
    level_ = dwFlags;
    window_ = hwnd;
    g_levels[static_cast<int>(kind_)] = {dwFlags, hwnd};
    return DI_OK;
  }

  HRESULT STDMETHODCALLTYPE Acquire() override {
    if (const FaultPoint& f = pick(fault_point::kAcquireMouse, fault_point::kAcquireKeyboard);
        fault_point::fails(f))
      return f.result;
    if (!format_) return DIERR_INVALIDPARAM;
    input_state::pump();
    check_lost();
    if (acquired_) return DI_NOEFFECT;
    if (foreground() && (!input_state::focused() || !win32_internal::is_window(window_)))
      return DIERR_OTHERAPPHASPRIO;
    acquired_ = true;
    lost_pending_ = false;
    epoch_ = input_state::focus_losses();
    if (kind_ == Kind::Mouse) {
      input_state::discard_mouse_motion();
      if (exclusive() && foreground()) {
        input_state::capture_mouse(true);
        captured_ = true;
      }
    }
    return DI_OK;
  }

  HRESULT STDMETHODCALLTYPE Unacquire() override {
    if (!acquired_) return DI_NOEFFECT;
    acquired_ = false;
    lost_pending_ = false;
    release_capture();
    return DI_OK;
  }

  HRESULT STDMETHODCALLTYPE GetDeviceState(DWORD cbData, LPVOID lpvData) override {
    if (!lpvData) return DIERR_INVALIDPARAM;
    const DWORD size = kind_ == Kind::Keyboard ? 256 : sizeof(DIMOUSESTATE);
    if (cbData != size) return DIERR_INVALIDPARAM;
    input_state::pump();
    check_lost();
    if (!acquired_) {
      std::memset(lpvData, 0, size);
      if (lost_pending_) {
        lost_pending_ = false;
        return DIERR_INPUTLOST;
      }
      return DIERR_NOTACQUIRED;
    }
    if (kind_ == Kind::Keyboard) {
      std::memcpy(lpvData, input_state::keys(), 256);
    } else {
      DIMOUSESTATE state{};
      input_state::take_mouse_motion(state.lX, state.lY, state.lZ);
      std::memcpy(state.rgbButtons, input_state::mouse_buttons(), 4);
      std::memcpy(lpvData, &state, sizeof state);
    }
    return DI_OK;
  }

 private:
  // The device's own fault point of a call that has one per device.
  const FaultPoint& pick(const FaultPoint& mouse, const FaultPoint& keyboard) const {
    return kind_ == Kind::Mouse ? mouse : keyboard;
  }

  // The last Release lets the device go unacquired.
  ~Device() override {
    Unacquire();
    --g_live_devices;
  }

  bool foreground() const { return (level_ & DISCL_FOREGROUND) != 0; }
  bool exclusive() const { return (level_ & DISCL_EXCLUSIVE) != 0; }

  // A foreground device acquired before the latest focus loss is lost.
  void check_lost() {
    if (acquired_ && foreground() && input_state::focus_losses() != epoch_) {
      acquired_ = false;
      lost_pending_ = true;
      release_capture();
    }
  }

  void release_capture() {
    if (!captured_) return;
    captured_ = false;
    input_state::capture_mouse(false);
  }

  Kind kind_;
  const DIDATAFORMAT* format_ = nullptr;
  DWORD level_ = DISCL_NONEXCLUSIVE | DISCL_BACKGROUND;
  HWND window_ = nullptr;
  bool acquired_ = false;
  bool lost_pending_ = false;
  bool captured_ = false;
  uint64_t epoch_ = 0;
};

class DirectInput final : public com::Object<IDirectInput8A> {
 public:
  DirectInput() : Object(IID_IDirectInput8A) {}

  HRESULT STDMETHODCALLTYPE CreateDevice(REFGUID rguid, LPDIRECTINPUTDEVICE8A* lplpDirectInputDevice,
                                         LPUNKNOWN pUnkOuter) override {
    if (!lplpDirectInputDevice) return DIERR_INVALIDPARAM;
    *lplpDirectInputDevice = nullptr;
    if (pUnkOuter) return DIERR_NOAGGREGATION;
    Kind kind;
    if (rguid == GUID_SysMouse) {
      kind = Kind::Mouse;
    } else if (rguid == GUID_SysKeyboard) {
      kind = Kind::Keyboard;
    } else {
      return DIERR_DEVICENOTREG;
    }
    const FaultPoint& f =
        kind == Kind::Mouse ? fault_point::kCreateDeviceMouse : fault_point::kCreateDeviceKeyboard;
    if (fault_point::fails(f)) return f.result;
    *lplpDirectInputDevice = new Device(kind);
    return DI_OK;
  }
};

}  // namespace

// The format record points at its objects without const, as on the platform;
// nothing writes through it.
const DIDATAFORMAT c_dfDIKeyboard = {sizeof(DIDATAFORMAT),
                                     sizeof(DIOBJECTDATAFORMAT),
                                     DIDF_RELAXIS,
                                     256,
                                     256,
                                     const_cast<LPDIOBJECTDATAFORMAT>(kKeyboardObjects.data())};
const DIDATAFORMAT c_dfDIMouse = {sizeof(DIDATAFORMAT),
                                  sizeof(DIOBJECTDATAFORMAT),
                                  DIDF_RELAXIS,
                                  sizeof(DIMOUSESTATE),
                                  7,
                                  const_cast<LPDIOBJECTDATAFORMAT>(kMouseObjects)};

namespace dinput_test {

CooperativeLevel mouse_cooperative_level() { return g_levels[static_cast<int>(Kind::Mouse)]; }
CooperativeLevel keyboard_cooperative_level() { return g_levels[static_cast<int>(Kind::Keyboard)]; }
int live_devices() { return g_live_devices; }

}  // namespace dinput_test

HRESULT WINAPI DirectInput8Create(HINSTANCE hinst, DWORD dwVersion, REFIID riidltf, LPVOID* ppvOut,
                                  LPUNKNOWN punkOuter) {
  if (!ppvOut) return DIERR_INVALIDPARAM;
  *ppvOut = nullptr;
  if (fault_point::fails(fault_point::kDirectInput8Create)) return fault_point::kDirectInput8Create.result;
  if (punkOuter) return DIERR_NOAGGREGATION;
  if (!hinst) return DIERR_INVALIDPARAM;
  if (dwVersion < 0x0800) return DIERR_OLDDIRECTINPUTVERSION;
  if (dwVersion > 0x0800) return DIERR_BETADIRECTINPUTVERSION;
  if (riidltf != IID_IDirectInput8A) return DIERR_NOINTERFACE;
  // The program's controllers' key table, shipped in the folder it runs in.
  pad_keys::load_table("controllers.txt");
  *ppvOut = static_cast<IDirectInput8A*>(new DirectInput());
  return DI_OK;
}

// The Direct3D object: checks the presentation parameters and makes the
// software device. One adapter, whose only display mode is whatever the
// program asks for: a full-screen device shows the window full-screen
// (the picture scaled to the display), never changing the display mode.
#include "d3d9.h"
#include "platform/backend.h"
#include "platform/fault_points.h"
#include "platform/com_object.h"
#include "platform/d3d9/device.h"
#include "platform/d3d9/test_queries.h"

namespace d3d9sw {
namespace {

constexpr GUID kIidIDirect3D9{0x81BDCBCA, 0x64D4, 0x426D, {0xAE, 0x8D, 0xAD, 0x01, 0x47, 0xF4, 0x27, 0x5C}};

constexpr DWORD kVertexProcessing = D3DCREATE_SOFTWARE_VERTEXPROCESSING |
                                    D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_MIXED_VERTEXPROCESSING;

}  // namespace

HRESULT settle_parameters(D3DPRESENT_PARAMETERS& pp, HWND focus_window, DeviceSettings& settings) {
  const bool windowed = pp.Windowed != FALSE;
  if (pp.hDeviceWindow == nullptr && focus_window == nullptr) return D3DERR_INVALIDCALL;
  if (!windowed && focus_window == nullptr) return D3DERR_INVALIDCALL;
  // The back buffer's size is always given: there is no display mode or
  // window size to take it from.
  if (pp.BackBufferWidth == 0 || pp.BackBufferHeight == 0 || pp.BackBufferWidth > kMaxDimension ||
      pp.BackBufferHeight > kMaxDimension) {
    return D3DERR_INVALIDCALL;
  }
  switch (pp.BackBufferFormat) {
    case D3DFMT_X8R8G8B8:
    case D3DFMT_A8R8G8B8:
      break;
    case D3DFMT_UNKNOWN:
      if (!windowed) return D3DERR_INVALIDCALL;
      pp.BackBufferFormat = D3DFMT_X8R8G8B8;
      break;
    default:
      return D3DERR_NOTAVAILABLE;
  }
  if (pp.BackBufferCount > 1) return D3DERR_INVALIDCALL;  // one back buffer
  if (pp.BackBufferCount == 0) pp.BackBufferCount = 1;
  if (pp.MultiSampleType != D3DMULTISAMPLE_NONE) return D3DERR_NOTAVAILABLE;
  if (pp.SwapEffect != D3DSWAPEFFECT_DISCARD && pp.SwapEffect != D3DSWAPEFFECT_FLIP &&
      pp.SwapEffect != D3DSWAPEFFECT_COPY) {
    return D3DERR_INVALIDCALL;
  }
  settings.depth_buffer = false;
  settings.stencil_buffer = false;
  if (pp.EnableAutoDepthStencil) {
    if (pp.AutoDepthStencilFormat == D3DFMT_D16) {
      settings.depth_buffer = true;
    } else if (pp.AutoDepthStencilFormat == D3DFMT_D24S8) {
      settings.depth_buffer = true;
      settings.stencil_buffer = true;
    } else {
      return D3DERR_NOTAVAILABLE;
    }
  }
  settings.focus_window = focus_window;
  settings.width = static_cast<int>(pp.BackBufferWidth);
  settings.height = static_cast<int>(pp.BackBufferHeight);
  settings.fullscreen = !windowed;
  settings.swap_effect = pp.SwapEffect;
  return D3D_OK;
}

namespace {

class Direct3D final : public com::Object<IDirect3D9> {
 public:
  Direct3D() : com::Object<IDirect3D9>(kIidIDirect3D9) {}

  // Presentation intervals are accepted as given; Present never waits.
  HRESULT STDMETHODCALLTYPE CreateDevice(UINT Adapter, D3DDEVTYPE DeviceType, HWND hFocusWindow,
                                         DWORD BehaviorFlags, D3DPRESENT_PARAMETERS* pPresentationParameters,
                                         IDirect3DDevice9** ppReturnedDeviceInterface) override {
    if (ppReturnedDeviceInterface == nullptr || pPresentationParameters == nullptr) return D3DERR_INVALIDCALL;
    *ppReturnedDeviceInterface = nullptr;
    d3d9_test::note_device_request(
        {Adapter, DeviceType, hFocusWindow, BehaviorFlags, *pPresentationParameters});
    if (fault_point::fails(fault_point::kCreateDevice)) return fault_point::kCreateDevice.result;
    if (Adapter != D3DADAPTER_DEFAULT) return D3DERR_INVALIDCALL;
    if (DeviceType != D3DDEVTYPE_HAL && DeviceType != D3DDEVTYPE_REF && DeviceType != D3DDEVTYPE_SW) {
      return D3DERR_INVALIDCALL;
    }
    const DWORD processing = BehaviorFlags & kVertexProcessing;
    if (processing != D3DCREATE_SOFTWARE_VERTEXPROCESSING &&
        processing != D3DCREATE_HARDWARE_VERTEXPROCESSING && processing != D3DCREATE_MIXED_VERTEXPROCESSING) {
      return D3DERR_INVALIDCALL;
    }
    D3DPRESENT_PARAMETERS pp = *pPresentationParameters;
    DeviceSettings settings;
    const HRESULT checked = settle_parameters(pp, hFocusWindow, settings);
    if (FAILED(checked)) return checked;
    Device* device = Device::create(this, settings);
    if (device == nullptr) return D3DERR_OUTOFVIDEOMEMORY;
    *pPresentationParameters = pp;
    *ppReturnedDeviceInterface = device;
    return D3D_OK;
  }
};

}  // namespace
}  // namespace d3d9sw

IDirect3D9* WINAPI Direct3DCreate9(UINT SDKVersion) {
  // The top bit asks for the debug runtime, which is the same one here.
  if ((SDKVersion & 0x7FFFFFFFu) != D3D_SDK_VERSION) return nullptr;
  if (fault_point::fails(fault_point::kDirect3DCreate9)) return nullptr;
  try {
    return new d3d9sw::Direct3D();
  } catch (...) {
    return nullptr;
  }
}

// Every COM object of the stand-in, whatever its family, answers
// QueryInterface the same way: IUnknown and its own interfaces give the
// object itself with one reference more, anything else E_NOINTERFACE and a
// null pointer, a null out pointer E_POINTER.
#include <gtest/gtest.h>

#include <d3d9.h>
#include <d3dx9.h>
#include <dinput.h>
#include <dsound.h>

#include <vector>

#include "device_settings.h"
#include "platform/headless/headless.h"

namespace {

const IID kIUnknown{0, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID kForeign{1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};

struct Object {
  const char* name;
  IUnknown* object;
  std::vector<const IID*> own;  // besides IUnknown
};

void ExpectAnswers(const Object& o) {
  SCOPED_TRACE(o.name);
  ASSERT_NE(o.object, nullptr);
  const ULONG held = o.object->AddRef() - 1;
  o.object->Release();
  std::vector<const IID*> answered = o.own;
  answered.push_back(&kIUnknown);
  for (const IID* iid : answered) {
    void* out = nullptr;
    ASSERT_EQ(o.object->QueryInterface(*iid, &out), S_OK);
    EXPECT_EQ(out, static_cast<void*>(o.object));
    EXPECT_EQ(o.object->Release(), held);
  }
  void* out = &out;
  EXPECT_EQ(o.object->QueryInterface(kForeign, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(o.object->QueryInterface(kIUnknown, nullptr), E_POINTER);
  EXPECT_EQ(o.object->AddRef(), held + 1);
  EXPECT_EQ(o.object->Release(), held);
}

TEST(ComObjects, EveryFamilyAnswersIUnknownAndItsOwnInterfaces) {
  headless::reset();
  const HWND window = reinterpret_cast<HWND>(0x1000);

  IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
  ASSERT_NE(d3d, nullptr);
  D3DPRESENT_PARAMETERS pp = WindowedDeviceSettings(window, 8, 8);
  IDirect3DDevice9* device = nullptr;
  ASSERT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                              &pp, &device),
            D3D_OK);
  IDirect3DSurface9* surface = nullptr;
  ASSERT_EQ(device->CreateOffscreenPlainSurface(4, 4, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &surface, nullptr),
            D3D_OK);
  ID3DXSprite* sprite = nullptr;
  ASSERT_EQ(D3DXCreateSprite(device, &sprite), D3D_OK);

  IDirectSound8* sound = nullptr;
  ASSERT_EQ(DirectSoundCreate8(nullptr, &sound, nullptr), DS_OK);
  ASSERT_EQ(sound->SetCooperativeLevel(window, DSSCL_PRIORITY), DS_OK);
  DSBUFFERDESC primary_desc{};
  primary_desc.dwSize = sizeof primary_desc;
  primary_desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
  IDirectSoundBuffer* primary = nullptr;
  ASSERT_EQ(sound->CreateSoundBuffer(&primary_desc, &primary, nullptr), DS_OK);
  WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, 22050, 44100, 2, 16, 0};
  DSBUFFERDESC secondary_desc{};
  secondary_desc.dwSize = sizeof secondary_desc;
  secondary_desc.dwBufferBytes = 64;
  secondary_desc.lpwfxFormat = &format;
  IDirectSoundBuffer* secondary = nullptr;
  ASSERT_EQ(sound->CreateSoundBuffer(&secondary_desc, &secondary, nullptr), DS_OK);

  IDirectInput8A* input = nullptr;
  ASSERT_EQ(DirectInput8Create(GetModuleHandleA(nullptr), DIRECTINPUT_VERSION, IID_IDirectInput8A,
                               reinterpret_cast<void**>(&input), nullptr),
            DI_OK);
  IDirectInputDevice8A* keyboard = nullptr;
  ASSERT_EQ(input->CreateDevice(GUID_SysKeyboard, &keyboard, nullptr), DI_OK);

  const Object objects[] = {
      {"Direct3D object", d3d, {}},
      {"device", device, {}},
      {"surface", surface, {}},
      {"sprite handler", sprite, {}},
      {"DirectSound device", sound, {&IID_IDirectSound8, &IID_IDirectSound}},
      {"primary buffer", primary, {&IID_IDirectSoundBuffer}},
      {"secondary buffer", secondary, {&IID_IDirectSoundBuffer}},
      {"DirectInput object", input, {&IID_IDirectInput8A}},
      {"keyboard", keyboard, {&IID_IDirectInputDevice8A}},
  };
  for (const Object& o : objects) ExpectAnswers(o);

  // The last Release answers 0; objects that hold others go first.
  for (IUnknown* o :
       {static_cast<IUnknown*>(keyboard), static_cast<IUnknown*>(input), static_cast<IUnknown*>(secondary),
        static_cast<IUnknown*>(primary), static_cast<IUnknown*>(sound), static_cast<IUnknown*>(sprite),
        static_cast<IUnknown*>(surface), static_cast<IUnknown*>(device), static_cast<IUnknown*>(d3d)})
    EXPECT_EQ(o->Release(), 0u);
}

}  // namespace
